#pragma once

#include "game/SocketProxy.h"

namespace quorin {

// At ws://127.0.0.1:<port>/p; starts only when the test says so, unless made started. A stop
// fails a pending start, as the real proxy does.
struct FakeSocketProxy final : SocketProxy {
    explicit FakeSocketProxy(std::size_t port, bool started = false) : url("ws://127.0.0.1:" + std::to_string(port) + "/p"), running(started) { }
    void start(StartCompletion completion) override { pending = std::move(completion); }
    void stop() override { stopped = true; finish(fail(LauncherGameError::socketUnavailable())); }
    std::optional<Url> webSocketURL() const override { return running ? Url::parse(url) : std::nullopt; }
    std::size_t activeConnectionCount() const override { return 0; }
    std::uint64_t bytesToServer() const override { return 0; }
    std::uint64_t bytesFromServer() const override { return 0; }
    void finish(Result<Url, LauncherGameError> result) { running = result.hasValue(); if (pending) std::exchange(pending, {})(std::move(result)); }
    void succeed() { finish(*Url::parse(url)); }

    std::string url;
    StartCompletion pending;
    bool running { false }, stopped { false };
};

} // namespace quorin
