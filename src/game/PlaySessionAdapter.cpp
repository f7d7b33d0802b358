#include "PlaySessionAdapter.h"

#include "core/AsciiCase.h"

#include <glib.h>

#include <algorithm>
#include <string_view>

namespace quorin {

namespace {

constexpr std::chrono::seconds clockSkewAllowance { 5 };

constexpr std::size_t maximumServerIDBytes = 64;
constexpr std::size_t maximumLocaleBytes = 16;
constexpr std::size_t maximumURLBytes = 2048;
constexpr std::size_t maximumUserBytes = 512;
constexpr std::size_t maximumKeyBytes = 4096;

// True when some code point of the (well-formed) UTF-8 text is one the predicate names.
template<typename Predicate>
bool containsCodePoint(const std::string& text, Predicate predicate)
{
    for (const char* p = text.c_str(); *p; p = g_utf8_next_char(p)) {
        if (predicate(g_utf8_get_char(p)))
            return true;
    }
    return false;
}

bool isControlOrFormat(gunichar c)
{
    auto type = g_unichar_type(c);
    return type == G_UNICODE_CONTROL || type == G_UNICODE_FORMAT;
}

// A string member of 1 to `limit` bytes without control or format characters, as it stands.
Result<std::string, LauncherGameError> text(const BridgeValue::Object& payload, std::string_view name, std::size_t limit)
{
    auto member = payload.find(name);
    if (member == payload.end() || !member->second.isString())
        return fail(LauncherGameError::invalidSession());
    const auto& value = member->second.asString();
    if (value.empty() || value.size() > limit || !g_utf8_validate(value.data(), static_cast<gssize>(value.size()), nullptr)
        || containsCodePoint(value, isControlOrFormat))
        return fail(LauncherGameError::invalidSession());
    return value;
}

bool isServerIDCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '~' || c == '-';
}

bool hasDotSegment(std::string_view path)
{
    while (!path.empty()) {
        auto end = path.find('/');
        auto piece = path.substr(0, end);
        if (piece == "." || piece == "..")
            return true;
        path.remove_prefix(end == std::string_view::npos ? path.size() : end + 1);
    }
    return false;
}

std::optional<std::string> httpsOrigin(const Url& url)
{
    if (url.scheme() != "https" || !url.hasHost() || (url.port() && *url.port() != 443))
        return std::nullopt;
    return "https://" + asciiLowercased(*url.host());
}

} // namespace

PlaySessionAdapter::PlaySessionAdapter(const std::vector<Url>& allowedOrigins)
{
    for (const auto& url : allowedOrigins) {
        if (auto origin = httpsOrigin(url))
            m_allowedOrigins.insert(std::move(*origin));
    }
}

Result<Url, LauncherGameError> PlaySessionAdapter::remoteURL(const std::string& text) const
{
    auto invalid = fail(LauncherGameError::invalidSession());
    auto url = Url::parse(text);
    // The scheme is compared as written: the parsed one is lower-cased.
    if (!url || !text.starts_with("https:"))
        return invalid;
    if (url->user() || url->password() || url->query() || url->fragment())
        return invalid;
    if (url->port() && *url->port() != 443)
        return invalid;
    auto path = url->path();
    if (!path.starts_with('/') || containsCodePoint(text, g_unichar_isspace))
        return invalid;
    if (url->percentEncodedPath().find('%') != std::string::npos || path.find('\\') != std::string::npos)
        return invalid;
    if (hasDotSegment(path))
        return invalid;
    auto origin = httpsOrigin(*url);
    if (!origin || !m_allowedOrigins.contains(*origin))
        return invalid;
    return std::move(*url);
}

Result<PlaySession, LauncherGameError> PlaySessionAdapter::adapt(const BridgeValue::Object& payload, GameTime receivedAt, GameTime now) const
{
    if (receivedAt > now + clockSkewAllowance || now >= receivedAt + PlaySession::lifetime)
        return fail(LauncherGameError::expiredSession());

    auto serverID = TRY(text(payload, "serverId", maximumServerIDBytes));
    if (!std::all_of(serverID.begin(), serverID.end(), isServerIDCharacter))
        return fail(LauncherGameError::invalidSession());
    auto locale = TRY(text(payload, "locale", maximumLocaleBytes));
    if (locale != "en" && locale != "tr")
        return fail(LauncherGameError::invalidSession());
    auto flash = TRY(remoteURL(TRY(text(payload, "flash", maximumURLBytes))));
    if (!flash.string().ends_with('/') || flash.percentEncodedPath().empty() || flash.percentEncodedPath() == "/")
        return fail(LauncherGameError::invalidSession());
    auto config = TRY(remoteURL(TRY(text(payload, "config", maximumURLBytes))));
    auto user = TRY(text(payload, "user", maximumUserBytes));
    auto key = TRY(text(payload, "key", maximumKeyBytes));

    return PlaySession {
        .serverID = std::move(serverID),
        .movieURL = flash.appendingPathComponent("Loading.swf"),
        .baseURL = flash,
        .parameters = {
            { "user", std::move(user) },
            { "key", std::move(key) },
            { "config", config.string() },
            { "lang", locale },
            { "locale", locale },
        },
        .expiresAt = receivedAt + PlaySession::lifetime,
    };
}

} // namespace quorin
