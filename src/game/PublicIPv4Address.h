#pragma once

// Which resolved addresses a game socket may reach: public IPv4 only, so a game server's
// name can never point the proxy at the player's own machine or network.

#include "core/Result.h"
#include "game/LauncherGameError.h"

#include <string>
#include <string_view>
#include <vector>

namespace quorin {

// True for a canonical dotted-decimal IPv4 address outside the private, loopback,
// link-local, shared, benchmarking, documentation, multicast and reserved ranges.
bool isPublicIPv4Address(std::string_view dotted);

// The first of a lookup's addresses when every one of them is public: socketUnavailable for
// none, socketConfigurationInvalid when any is not public.
Result<std::string, LauncherGameError> firstPublicAddress(const std::vector<std::string>& addresses);

} // namespace quorin
