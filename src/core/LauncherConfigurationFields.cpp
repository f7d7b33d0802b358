#include "LauncherConfigurationFields.h"

#include "JsonReaders.h"

#include <algorithm>

namespace quorin::LauncherConfigurationFields {

namespace {

using Error = LauncherConfigurationError;

Error invalidValue(std::string_view key)
{
    return Error::invalidValue(std::string(key));
}

bool hasOnlyHostAndPath(const Url& url)
{
    return !url.user() && !url.password() && !url.query() && !url.fragment();
}

bool isRootPath(const Url& url)
{
    return url.percentEncodedPath().empty() || url.percentEncodedPath() == "/";
}

} // namespace

Read<const nlohmann::json*> object(std::string_view key, const nlohmann::json& in)
{
    const auto* value = json::member(in, key);
    if (!value || !value->is_object())
        return fail(invalidValue(key));
    return value;
}

Read<std::int64_t> integer(std::string_view key, const nlohmann::json& in)
{
    const auto* value = json::member(in, key);
    auto number = value ? json::integerValue(*value) : std::nullopt;
    if (!number)
        return fail(invalidValue(key));
    return *number;
}

Read<std::string> nonemptyString(std::string_view key, const nlohmann::json& in)
{
    const auto* value = json::member(in, key);
    auto text = value ? json::stringValue(*value) : std::nullopt;
    if (!text || !json::isTrimmedNonEmpty(*text))
        return fail(invalidValue(key));
    return std::move(*text);
}

Read<std::vector<std::string>> stringArray(std::string_view key, const nlohmann::json& in)
{
    const auto* value = json::member(in, key);
    auto strings = value ? json::stringArray(*value) : std::nullopt;
    if (!strings)
        return fail(invalidValue(key));
    return std::move(*strings);
}

Status<LauncherConfigurationError> rejectUnknownKeys(const nlohmann::json& in,
    std::initializer_list<std::string_view> allowed, std::string_view prefix)
{
    for (const auto& [key, value] : in.items()) {
        if (std::find(allowed.begin(), allowed.end(), key) != allowed.end())
            continue;
        if (prefix.empty())
            return fail(Error::unknownKey(key));
        return fail(Error::unknownKey(std::string(prefix) + "." + key));
    }
    return Ok {};
}

Read<Url> parsedHTTPSURL(std::string_view value, std::string_view key)
{
    auto url = Url::parse(value);
    if (!url || !url->hasHost())
        return fail(invalidValue(key));
    // Url keeps the scheme lower-cased, so "HTTPS" passes here.
    if (url->scheme() != "https")
        return fail(Error::insecureURL(std::string(key)));
    return std::move(*url);
}

Read<Url> secureOrigin(std::string_view value, std::string_view key)
{
    auto url = TRY(parsedHTTPSURL(value, key));
    if (!hasOnlyHostAndPath(url) || !isRootPath(url))
        return fail(Error::invalidOrigin(std::string(key)));
    return url;
}

Read<Url> secureURL(std::string_view key, const nlohmann::json& in)
{
    auto text = TRY(nonemptyString(key, in));
    auto url = TRY(parsedHTTPSURL(text, key));
    if (!hasOnlyHostAndPath(url) || isRootPath(url))
        return fail(invalidValue(key));
    return url;
}

} // namespace quorin::LauncherConfigurationFields
