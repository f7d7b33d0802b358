#include "PreferenceValueRules.h"

#include "AsciiCase.h"
#include "Url.h"
#include "WhiteSpace.h"

namespace quorin::PreferenceValueRules {

bool isSupportedLocale(std::string_view locale)
{
    return locale == "en" || locale == "tr";
}

std::optional<std::string> serverID(std::string_view text)
{
    auto id = trimmedWhiteSpace(text);
    if (id.empty() || id.size() > maximumServerIDBytes)
        return std::nullopt;
    return std::string(id);
}

std::optional<std::string> themeURL(std::string_view text)
{
    auto candidate = trimmedWhiteSpace(text);
    if (candidate.empty() || candidate.size() > maximumThemeURLBytes)
        return std::nullopt;
    auto url = Url::parse(candidate);
    auto scheme = url ? asciiLowercased(url->scheme()) : std::string();
    if (scheme != "http" && scheme != "https")
        return std::nullopt;
    return std::string(candidate);
}

ThemeMap themeMap(const std::vector<std::pair<std::string, std::optional<std::string>>>& sortedEntries)
{
    ThemeMap themes;
    for (const auto& [key, value] : sortedEntries) {
        if (themes.size() >= maximumThemes)
            break;
        auto id = serverID(key);
        auto url = value ? themeURL(*value) : std::nullopt;
        if (id && url)
            themes.insert_or_assign(std::move(*id), std::move(*url));
    }
    return themes;
}

} // namespace quorin::PreferenceValueRules
