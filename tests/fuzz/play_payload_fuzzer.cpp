#include "bridge/BridgeRequest.h"
#include "game/PlaySessionAdapter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

// The payload of "game.open" as the bridge delivers it. An accepted payload reads back as the
// same session when rebuilt from that session.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using quorin::BridgeValue;
    static const quorin::PlaySessionAdapter adapter({ *quorin::Url::parse("https://play.quorin42.net"), *quorin::Url::parse("https://cdn.quorin42.net") });
    auto request = quorin::BridgeRequest::decode(R"({"schemaVersion":1,"requestId":"f","method":"game.open","arguments":[)"
        + std::string(reinterpret_cast<const char*>(data), size) + "]}");
    if (request.isError() || request->arguments().empty() || !request->arguments().front().isObject())
        return 0;
    const quorin::GameTime now { std::chrono::hours(500000) };
    auto session = adapter.adapt(request->arguments().front().asObject(), now, now);
    if (session.isError())
        return 0;
    auto parameter = [&](const char* name) { return BridgeValue::string(session->parameters.at(name)); };
    BridgeValue::Object rebuilt { { "serverId", BridgeValue::string(session->serverID) }, { "locale", parameter("locale") },
        { "flash", BridgeValue::string(session->baseURL.string()) }, { "config", parameter("config") }, { "user", parameter("user") }, { "key", parameter("key") } };
    if (adapter.adapt(rebuilt, now, now).value() != *session)
        std::abort();
    return 0;
}
