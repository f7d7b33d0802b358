#pragma once

// The value rules of the launcher's preferences, shared by the preferences store and the
// in-memory preferences the page gets while there is no store.

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorin::PreferenceValueRules {

inline constexpr std::size_t maximumThemes = 128;
inline constexpr std::size_t maximumServerIDBytes = 256;
inline constexpr std::size_t maximumThemeURLBytes = 2048;

using ThemeMap = std::map<std::string, std::string, std::less<>>;

// Exactly "en" or "tr".
bool isSupportedLocale(std::string_view locale);

// Trimmed of surrounding whitespace; 1 to 256 bytes.
std::optional<std::string> serverID(std::string_view text);

// Trimmed of surrounding whitespace; 1 to 2,048 bytes, a URL whose scheme is http or https
// in any letter case.
std::optional<std::string> themeURL(std::string_view text);

// Entries in ascending key order, each value a string or absent (not a string). Invalid
// entries are skipped; keys that normalise alike keep the later value; keys are taken until
// the map holds 128 entries.
ThemeMap themeMap(const std::vector<std::pair<std::string, std::optional<std::string>>>& sortedEntries);

} // namespace quorin::PreferenceValueRules
