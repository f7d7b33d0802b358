#pragma once

// Strict readers over nlohmann::json. Each returns nullopt when the value is of the wrong
// kind; callers decide the error. Booleans are never numbers.

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorin::json {

// Parses a complete JSON text; nullopt on any syntax error or trailing data. Never throws.
std::optional<nlohmann::json> parse(std::string_view text);

// A JSON number (not a boolean) whose value is exactly a signed 64-bit integer:
// 1 and 1.0 pass; 1.5, true, NaN and values beyond the 64-bit range do not.
std::optional<std::int64_t> integerValue(const nlohmann::json& value);

// A JSON string.
std::optional<std::string> stringValue(const nlohmann::json& value);

// A JSON boolean.
std::optional<bool> booleanValue(const nlohmann::json& value);

// A JSON array whose every element is a string, in order.
std::optional<std::vector<std::string>> stringArray(const nlohmann::json& value);

// The member `key` of an object, or nullptr when absent or when `object` is not an object.
const nlohmann::json* member(const nlohmann::json& object, std::string_view key);

// True when the string, trimmed of white space and line breaks at both ends, is non-empty
// and equal to itself untrimmed.
bool isTrimmedNonEmpty(std::string_view text);

// The text of one of the launcher's own JSON files: keys sorted (objects keep them so), two
// spaces of indent, "/" not escaped, one final newline. nullopt when a string is not UTF-8.
std::optional<std::string> fileText(const nlohmann::json& document);

} // namespace quorin::json
