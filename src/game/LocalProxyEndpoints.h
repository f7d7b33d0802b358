#pragma once

// The launcher's game sockets: each configured socket checked as a socket proxy
// configuration, and served by a LocalWebSocketProxy of its own on every open.

#include "LauncherGameError.h"
#include "SocketProxy.h"
#include "core/LauncherConfiguration.h"
#include "core/Result.h"

#include <vector>

namespace quorin {

// In the configured order; the first socket the proxy rules refuse decides the error.
Result<std::vector<GameSocketEndpoint>, LauncherGameError> localProxyEndpoints(const std::vector<LauncherConfiguration::GameSocket>& sockets);

} // namespace quorin
