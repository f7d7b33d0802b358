#pragma once

// The launcher's game sockets: each configured socket checked as a socket proxy
// configuration, and served by a proxy of its own on every open.

#include "LauncherGameError.h"
#include "SocketProxy.h"
#include "SocketProxyConfiguration.h"
#include "core/LauncherConfiguration.h"
#include "core/Result.h"

#include <functional>
#include <memory>
#include <vector>

namespace quorin {

// Makes the proxy of one configured socket.
using SocketProxyFactory = std::function<std::shared_ptr<SocketProxy>(const SocketProxyConfiguration&)>;

// In the configured order; the first socket the proxy rules refuse decides the error. Without
// a factory, each socket gets a LocalWebSocketProxy that reaches the host's public address.
Result<std::vector<GameSocketEndpoint>, LauncherGameError> localProxyEndpoints(const std::vector<LauncherConfiguration::GameSocket>& sockets, SocketProxyFactory makeProxy = {});

} // namespace quorin
