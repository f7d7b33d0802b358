#pragma once

// An absolute URL as a value. Parsing and joining go through GLib's GUri (RFC 3986);
// GLib stays out of this header. Components are kept as they appear in the text, with
// percent-escapes left encoded, so a URL round-trips through string(). GUri normalises on
// the way in: characters that must be escaped are escaped ("a b" -> "a%20b"), escaped
// unreserved characters are decoded ("%2E" -> "."), escaped hosts are decoded and
// non-ASCII hosts become their "xn--" form. Dot segments are kept until standardized().

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorin {

class Url {
public:
    // Parses an absolute URL ("scheme:..."); nullopt when GUri refuses it (no scheme,
    // bad escape, bad port or IPv6 literal), when the path holds "%00", or when the decoded
    // host would read differently once written out again ("https://a%2Fb/").
    // "https://" parses with the empty host.
    static std::optional<Url> parse(std::string_view text);
    // A file URL ("file:///...") for a file-system path, percent-encoded as needed; a
    // relative path is taken from the current directory.
    static Url fileURL(std::string_view absolutePath);

    // Scheme as written, lower-cased.
    const std::string& scheme() const { return m_scheme; }
    const std::optional<std::string>& user() const { return m_user; }
    const std::optional<std::string>& password() const { return m_password; }
    // Host as written (IPv6 literals without brackets); nullopt when the URL has no authority
    // host (for example "mailto:a@b" or "about:blank"). "file:///x" has the empty host "".
    const std::optional<std::string>& host() const { return m_host; }
    // The explicit port; nullopt when none is written ("https://a" and "https://a:443" differ).
    std::optional<int> port() const { return m_port; }
    // Percent-encoded path exactly as written: "" for "https://a", "/" for "https://a/".
    const std::string& percentEncodedPath() const { return m_path; }
    // The path with percent-escapes decoded.
    std::string path() const;
    // nullopt when absent; "" for a trailing "?" or "#".
    const std::optional<std::string>& query() const { return m_query; }
    const std::optional<std::string>& fragment() const { return m_fragment; }

    bool hasHost() const { return m_host.has_value() && !m_host->empty(); }
    bool isFileURL() const { return m_scheme == "file"; }
    // Decoded path of a file URL. "%2F" decodes to "/", so a ".." hidden behind it survives
    // standardized(): containment checks normalise the decoded path.
    std::string filePath() const { return path(); }

    // Removes "." and ".." segments from the path (RFC 3986 section 5.2.4); ".." never
    // climbs above the root ("/a/../.." -> "/").
    Url standardized() const;
    // Appends one path component, inserting "/" when the path does not end with one
    // ("https://a" + "api" -> "https://a/api", "https://a/" + "api" -> "https://a/api").
    // The component is percent-encoded as a path segment, so a "/" in it becomes "%2F".
    // Query and fragment are kept.
    Url appendingPathComponent(std::string_view component) const;

    // The absolute URL text.
    std::string string() const;

    bool operator==(const Url&) const = default;

private:
    Url() = default;

    std::string m_scheme;
    std::optional<std::string> m_user;
    std::optional<std::string> m_password;
    std::optional<std::string> m_host;
    std::optional<int> m_port;
    std::string m_path;
    std::optional<std::string> m_query;
    std::optional<std::string> m_fragment;
};

// Decodes every well-formed "%XX" escape; anything else stays as written ("+" stays "+").
std::string percentDecoded(std::string_view text);

} // namespace quorin
