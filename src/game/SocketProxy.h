#pragma once

// What play sessions need of one local WebSocket-to-TCP proxy: start it, learn its URL, stop
// it, read its counters. The launcher's proxies are LocalWebSocketProxy; tests use fakes.
// Main thread only.

#include "LauncherGameError.h"
#include "core/Result.h"
#include "core/Url.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace quorin {

class SocketProxy {
public:
    // Called once, on the main thread, with the proxy's WebSocket URL or why it could not start.
    using StartCompletion = std::function<void(Result<Url, LauncherGameError>)>;

    virtual ~SocketProxy() = default;

    virtual void start(StartCompletion completion) = 0;
    // Ends everything; any time, more than once. A stop during start fails the start.
    virtual void stop() = 0;

    // Known once the proxy runs.
    virtual std::optional<Url> webSocketURL() const = 0;
    virtual std::size_t activeConnectionCount() const = 0;
    virtual std::uint64_t bytesToServer() const = 0;
    virtual std::uint64_t bytesFromServer() const = 0;
};

// One configured game socket: where its proxy leads, and how to make a new proxy for it.
struct GameSocketEndpoint {
    std::string host;
    std::int64_t port;
    std::function<std::shared_ptr<SocketProxy>()> makeProxy;
};

} // namespace quorin
