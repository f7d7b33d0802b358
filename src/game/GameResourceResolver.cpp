#include "GameResourceResolver.h"

#include "core/FilePath.h"
#include "core/Uuid.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace quorin {

namespace {

struct RequestTarget {
    Uuid session;
    std::string relativePath;
};

// Steps 1 to 5: method and body, the URL's parts, escapes, then the session prefix.
Result<RequestTarget, LauncherGameError> targetOf(const GameResourceRequest& request, const GameSessionStore& sessions)
{
    auto denied = fail(LauncherGameError::resourceDenied());
    if ((request.method && *request.method != "GET") || request.hasBody || !request.url)
        return denied;
    auto url = Url::parse(*request.url);
    if (!url || url->scheme() != GameResourceResolver::scheme || url->host() != "app" || url->user() || url->password()
        || url->port() || url->query() || url->fragment())
        return denied;
    if (url->percentEncodedPath().find('%') != std::string::npos || url->path().find('\\') != std::string::npos)
        return denied;

    std::vector<std::string_view> pieces;
    for (auto piece : filePath::components(url->percentEncodedPath()))
        if (!piece.empty())
            pieces.push_back(piece);
    auto session = pieces.size() >= 3 ? Uuid::parse(pieces.front()) : std::nullopt;
    if (!session || !sessions.isActive(*session))
        return fail(LauncherGameError::sessionUnavailable());
    std::string relativePath;
    for (std::size_t index = 1; index < pieces.size(); ++index)
        relativePath = filePath::joined(relativePath, pieces[index]);
    return RequestTarget { *session, std::move(relativePath) };
}

bool isPlainHTTPSOrigin(const Url& url)
{
    return url.scheme() == "https" && url.hasHost() && !url.user() && !url.password() && (!url.port() || url.port() == 443)
        && !url.query() && !url.fragment() && (url.percentEncodedPath().empty() || url.percentEncodedPath() == "/");
}

std::string joinedWithSpaces(const std::vector<std::string>& items)
{
    std::string text;
    for (const auto& item : items)
        text += (text.empty() ? "" : " ") + item;
    return text;
}

} // namespace

std::string_view GameResourceResponse::bytes() const
{
    if (auto* file = std::get_if<MappedFile>(&data))
        return file->bytes();
    return std::get<std::string>(data);
}

GameResourceResolver::GameResourceResolver(std::shared_ptr<const GameSessionStore> sessions,
    std::shared_ptr<const RuffleRuntimeManifest> runtime, const std::vector<Url>& networkOrigins, GameClock clock)
    : m_sessions(std::move(sessions))
    , m_runtime(std::move(runtime))
    , m_clock(std::move(clock))
{
    for (const auto& origin : networkOrigins)
        if (isPlainHTTPSOrigin(origin))
            m_networkOrigins.push_back("https://" + *origin.host());
}

Result<GameResourceResponse, RuffleRuntimeError> GameResourceResolver::resolve(const GameResourceRequest& request) const
{
    auto target = TRY(targetOf(request, *m_sessions));
    GameResourceResponse response { .data = std::string(), .mimeType = {}, .headers = { { "Cache-Control", "no-store" }, { "X-Content-Type-Options", "nosniff" } } };
    if (target.relativePath == sessionDescriptionPath) {
        response.data = TRY(sessionDescription(target.session));
        response.mimeType = "application/json";
    } else {
        response.data = TRY(m_runtime->read(target.relativePath));
        response.mimeType = RuffleRuntimeManifest::mimeType(target.relativePath);
    }
    if (target.relativePath == RuffleRuntimeManifest::hostPagePath)
        response.headers["Content-Security-Policy"] = TRY(contentSecurityPolicy(target.session));
    return response;
}

// Compact, keys sorted at every level, each "/" written "\/" as the usual platform writers do.
Result<std::string, LauncherGameError> GameResourceResolver::sessionDescription(const Uuid& id) const
{
    auto session = TRY(m_sessions->session(id, m_clock()));
    auto socketProxy = nlohmann::json::array();
    for (const auto& mapping : TRY(m_sessions->socketMappings(id)))
        socketProxy.push_back({ { "host", mapping.host }, { "port", mapping.port }, { "proxyUrl", mapping.proxyURL.string() } });
    nlohmann::json description { { "baseURL", session.baseURL.string() }, { "movieURL", session.movieURL.string() },
        { "parameters", session.parameters }, { "socketProxy", std::move(socketProxy) } };
    std::string text;
    try {
        text = description.dump();
    } catch (const nlohmann::json::type_error&) { // a value that is not UTF-8 cannot be described
        return fail(LauncherGameError::invalidSession());
    }
    std::string escaped;
    for (char c : text)
        escaped += c == '/' ? std::string_view("\\/") : std::string_view(&c, 1);
    return escaped;
}

Result<std::string, LauncherGameError> GameResourceResolver::contentSecurityPolicy(const Uuid& id) const
{
    auto session = TRY(m_sessions->session(id, m_clock()));
    std::vector<std::string> origins = m_networkOrigins;
    if (session.baseURL.hasHost())
        origins.push_back("https://" + *session.baseURL.host());
    std::sort(origins.begin(), origins.end());
    origins.erase(std::unique(origins.begin(), origins.end()), origins.end());
    auto connectSources = joinedWithSpaces(origins);

    std::vector<std::string> sockets;
    for (const auto& mapping : TRY(m_sessions->socketMappings(id)))
        if (auto port = mapping.proxyURL.port())
            sockets.push_back("ws://127.0.0.1:" + std::to_string(*port));
    auto socketSources = joinedWithSpaces(sockets);

    const std::string directives[] = {
        "default-src 'none'",
        "script-src 'self' 'wasm-unsafe-eval' 'unsafe-eval'",
        "connect-src 'self' " + connectSources + (socketSources.empty() ? "" : " " + socketSources),
        "style-src 'self' 'unsafe-inline'",
        "img-src 'self' data: blob: " + connectSources,
        "media-src 'self' blob: " + connectSources,
        "font-src 'self' data:",
        "worker-src 'self' blob:",
        "object-src 'none'",
        "base-uri 'none'",
        "form-action 'none'",
        "frame-src 'none'",
    };
    std::string policy;
    for (const auto& directive : directives)
        policy += (policy.empty() ? "" : "; ") + directive;
    return policy;
}

} // namespace quorin
