#pragma once

// What the game scheme answers, decided without the web engine: every request under
// "quorin-game://app/<session id>/" is checked in a fixed order against the one active
// session and becomes the session description, the host page with its Content-Security-Policy,
// or a digest-checked runtime file; anything else is refused. Main thread only (the session
// store is main-thread state).

#include "GameSessionStore.h"
#include "PlaySession.h"
#include "RuffleRuntimeManifest.h"

#include "core/MappedFile.h"
#include "core/Url.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quorin {

struct GameResourceRequest {
    std::optional<std::string> url;    // absent when the engine gives none
    std::optional<std::string> method; // absent when the request names none
    bool hasBody { false };            // an empty body counts
};

struct GameResourceResponse {
    // A runtime file stays the mapping it was checked in; the description is made here.
    std::variant<std::string, MappedFile> data;
    std::string mimeType;
    std::map<std::string, std::string> headers;

    std::string_view bytes() const;
};

class GameResourceResolver {
public:
    static constexpr std::string_view scheme = "quorin-game";
    static constexpr std::string_view sessionDescriptionPath = "host/session.json";

    // `networkOrigins` are the configured game origins; only plain "https://host[:443][/]" ones
    // are kept, as written, in order.
    GameResourceResolver(std::shared_ptr<const GameSessionStore> sessions, std::shared_ptr<const RuffleRuntimeManifest> runtime,
        const std::vector<Url>& networkOrigins, GameClock clock);

    // resourceDenied, sessionUnavailable, expiredSession or runtimeInvalid for every refusal;
    // a runtime file's file-system error is passed on.
    Result<GameResourceResponse, RuffleRuntimeError> resolve(const GameResourceRequest& request) const;

private:
    Result<std::string, LauncherGameError> sessionDescription(const Uuid& id) const;
    Result<std::string, LauncherGameError> contentSecurityPolicy(const Uuid& id) const;

    std::shared_ptr<const GameSessionStore> m_sessions;
    std::shared_ptr<const RuffleRuntimeManifest> m_runtime;
    std::vector<std::string> m_networkOrigins;
    GameClock m_clock;
};

} // namespace quorin
