#include "Url.h"

#include "Hex.h"

#include "glib/GError.h"
#include "glib/GUniquePtr.h"

#include <glib.h>

#include <filesystem>
#include <system_error>

namespace quorin {

namespace {

constexpr GUriFlags uriFlags = GUriFlags(G_URI_FLAGS_ENCODED | G_URI_FLAGS_HAS_PASSWORD);

// Characters left as they are inside one path segment, besides the unreserved ones.
constexpr std::string_view segmentCharacters = "!$&'()*+,;=:@";
// The same for a whole path, where "/" separates segments.
constexpr std::string_view pathCharacters = "!$&'()*+,;=:@/";

struct Components {
    std::optional<std::string> scheme;
    std::optional<std::string> user;
    std::optional<std::string> password;
    std::optional<std::string> host;
    std::optional<int> port;
    std::string path;
    std::optional<std::string> query;
    std::optional<std::string> fragment;

    bool operator==(const Components&) const = default;
};

std::optional<std::string> takeOptional(gchar* text)
{
    if (!text)
        return std::nullopt;
    return glib::takeString(text);
}

const char* cString(const std::optional<std::string>& text)
{
    return text ? text->c_str() : nullptr;
}

std::optional<Components> split(const std::string& text)
{
    gchar* scheme = nullptr;
    gchar* user = nullptr;
    gchar* password = nullptr;
    gchar* host = nullptr;
    gint port = -1;
    gchar* path = nullptr;
    gchar* query = nullptr;
    gchar* fragment = nullptr;
    // GLib's message adds nothing to "not a URL".
    glib::GErrorOut error;
    if (!g_uri_split_with_user(text.c_str(), uriFlags, &scheme, &user, &password, nullptr, &host, &port,
            &path, &query, &fragment, error.out()))
        return std::nullopt;

    Components components;
    components.scheme = takeOptional(scheme);
    components.user = takeOptional(user);
    components.password = takeOptional(password);
    components.host = takeOptional(host);
    if (port >= 0)
        components.port = port;
    components.path = glib::takeString(path);
    components.query = takeOptional(query);
    components.fragment = takeOptional(fragment);
    return components;
}

std::string join(const Components& components)
{
    return glib::takeString(g_uri_join_with_user(uriFlags, cString(components.scheme), cString(components.user),
        cString(components.password), nullptr, cString(components.host), components.port.value_or(-1),
        components.path.c_str(), cString(components.query), cString(components.fragment)));
}

bool isUnreserved(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.'
        || c == '_' || c == '~';
}

std::string percentEncoded(std::string_view text, std::string_view allowed)
{
    std::string encoded;
    encoded.reserve(text.size());
    for (unsigned char c : text) {
        if (isUnreserved(c) || allowed.find(char(c)) != std::string_view::npos) {
            encoded.push_back(char(c));
            continue;
        }
        encoded.push_back('%');
        hex::appendByte(encoded, c, hex::upperDigits);
    }
    return encoded;
}

bool holdsEncodedNul(std::string_view path)
{
    return path.find("%00") != std::string_view::npos;
}

// RFC 3986 section 5.2.4, on the encoded path. GUri has already turned "%2E" into ".".
std::string removingDotSegments(std::string_view input)
{
    std::string output;
    auto dropLastSegment = [&output] {
        auto slash = output.rfind('/');
        output.erase(slash == std::string::npos ? 0 : slash);
    };
    while (!input.empty()) {
        if (input.starts_with("../"))
            input.remove_prefix(3);
        else if (input.starts_with("./"))
            input.remove_prefix(2);
        else if (input.starts_with("/./"))
            input.remove_prefix(2);
        else if (input == "/.")
            input = "/";
        else if (input.starts_with("/../")) {
            input.remove_prefix(3);
            dropLastSegment();
        } else if (input == "/..") {
            input = "/";
            dropLastSegment();
        } else if (input == "." || input == "..")
            input = {};
        else {
            auto end = input.find('/', 1);
            if (end == std::string_view::npos)
                end = input.size();
            output.append(input.substr(0, end));
            input.remove_prefix(end);
        }
    }
    return output;
}

} // namespace

std::string percentDecoded(std::string_view text)
{
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            int high = hex::digitValue(text[i + 1]);
            int low = hex::digitValue(text[i + 2]);
            if (high >= 0 && low >= 0) {
                decoded.push_back(char(high * 16 + low));
                i += 2;
                continue;
            }
        }
        decoded.push_back(text[i]);
    }
    return decoded;
}

std::optional<Url> Url::parse(std::string_view text)
{
    // GUri reads a C string: an embedded NUL would silently cut the text short.
    if (text.find('\0') != std::string_view::npos)
        return std::nullopt;
    auto components = split(std::string(text));
    if (!components || !components->scheme)
        return std::nullopt;
    // A decoded NUL in the path would cut file-system paths short behind our checks.
    if (holdsEncodedNul(components->path))
        return std::nullopt;
    // GUri decodes escapes in the host; refuse hosts that would then read differently.
    if (split(join(*components)) != components)
        return std::nullopt;

    Url url;
    url.m_scheme = std::move(*components->scheme);
    url.m_user = std::move(components->user);
    url.m_password = std::move(components->password);
    url.m_host = std::move(components->host);
    url.m_port = components->port;
    url.m_path = std::move(components->path);
    url.m_query = std::move(components->query);
    url.m_fragment = std::move(components->fragment);
    return url;
}

Url Url::fileURL(std::string_view absolutePath)
{
    std::string path(absolutePath);
    if (!path.starts_with('/')) {
        std::error_code error;
        auto directory = std::filesystem::current_path(error);
        path = (error ? std::string("/") : directory.string() + "/") + path;
    }
    Url url;
    url.m_scheme = "file";
    url.m_host = "";
    url.m_path = percentEncoded(path, pathCharacters);
    return url;
}

std::string Url::path() const
{
    return percentDecoded(m_path);
}

Url Url::standardized() const
{
    Url url = *this;
    url.m_path = removingDotSegments(m_path);
    return url;
}

Url Url::appendingPathComponent(std::string_view component) const
{
    Url url = *this;
    if (!url.m_path.ends_with('/'))
        url.m_path.push_back('/');
    url.m_path += percentEncoded(component, segmentCharacters);
    return url;
}

std::string Url::string() const
{
    Components components { m_scheme, m_user, m_password, m_host, m_port, m_path, m_query, m_fragment };
    return join(components);
}

} // namespace quorin
