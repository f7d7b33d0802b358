#pragma once

#include "core/BuildConfig.h"

#include <string_view>

namespace quorin {

// True when the whole host is "server" + a number 1 to 999 without leading zero + "." +
// the domain, compared case-sensitively and with the domain's dots taken literally.
bool isGameServerHost(std::string_view host, std::string_view domain = BuildConfig::gameServerDomain);

} // namespace quorin
