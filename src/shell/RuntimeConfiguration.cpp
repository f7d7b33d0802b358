#include "RuntimeConfiguration.h"

#include "core/PlatformValues.h"

namespace quorin {

BridgeValue::Object RuntimeConfiguration::make(const LauncherConfiguration& configuration)
{
    return {
        { "apiBaseUrl", BridgeValue::string(configuration.apiOrigin().appendingPathComponent("api").string()) },
        { "authBridgeBaseUrl", BridgeValue::string(configuration.authOrigin().string()) },
        { "googleLauncherRedirect", BridgeValue::string(std::string(googleLauncherRedirect)) },
        { "publicIpApiUrl", BridgeValue::string(std::string(publicIpApiUrl)) },
        { "useFlashObjectHost", BridgeValue::boolean(false) },
        { "discordClientId", BridgeValue::string("") },
        { "hasRequiredConfig", BridgeValue::boolean(true) },
        { "missingKeys", BridgeValue::array({}) },
        { "configFiles", BridgeValue::array({}) },
        { "isPackaged", BridgeValue::boolean(true) },
    };
}

BridgeValue::Object RuntimeConfiguration::nativeHostDescription(const LauncherConfiguration& configuration, std::string_view applicationVersion)
{
    return {
        { "kind", BridgeValue::string(std::string(PlatformValues::nativeHostKind)) },
        { "version", BridgeValue::string(std::string(applicationVersion)) },
        { "applicationId", BridgeValue::string(configuration.product().bundleIdentifier) },
    };
}

} // namespace quorin
