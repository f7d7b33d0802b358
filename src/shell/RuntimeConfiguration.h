#pragma once

// The two dictionaries that describe the host to the page: the runtime configuration
// (returned by the page's runtime-configuration request and baked into the bootstrap
// script) and the native host description (bootstrap script only).

#include "bridge/BridgeValue.h"
#include "core/LauncherConfiguration.h"

#include <string_view>

namespace quorin {

class RuntimeConfiguration {
public:
    // An HTTPS endpoint that answers with the caller's public address as JSON.
    static constexpr std::string_view publicIpApiUrl = "https://api.ipify.org?format=json";
    static constexpr std::string_view googleLauncherRedirect = "quorin42://auth";

    // The ten entries; "apiBaseUrl" is the API origin plus the path component "api".
    static BridgeValue::Object make(const LauncherConfiguration& configuration);
    // "kind" (the platform), "version" and "applicationId" (the configured bundle identifier).
    static BridgeValue::Object nativeHostDescription(const LauncherConfiguration& configuration, std::string_view applicationVersion);
};

} // namespace quorin
