#include "LocalProxyEndpoints.h"

#include "LocalWebSocketProxy.h"

namespace quorin {

Result<std::vector<GameSocketEndpoint>, LauncherGameError> localProxyEndpoints(const std::vector<LauncherConfiguration::GameSocket>& sockets, SocketProxyFactory makeProxy)
{
    if (!makeProxy)
        makeProxy = [](const SocketProxyConfiguration& configuration) { return std::make_shared<LocalWebSocketProxy>(configuration); };
    std::vector<GameSocketEndpoint> endpoints;
    for (const auto& socket : sockets) {
        auto configuration = TRY(SocketProxyConfiguration::create(socket.host, socket.port));
        endpoints.push_back({ configuration.host(), configuration.port(), [configuration, makeProxy] { return makeProxy(configuration); } });
    }
    return endpoints;
}

} // namespace quorin
