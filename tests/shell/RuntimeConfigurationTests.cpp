#include "shell/RuntimeConfiguration.h"

#include "ShellTestConfiguration.h"

#include <gtest/gtest.h>

namespace quorin {
namespace {

using testing::configurationJSON;
using testing::decodedConfiguration;

TEST(RuntimeConfigurationTests, HoldsExactlyTheTenEntries)
{
    auto runtime = RuntimeConfiguration::make(decodedConfiguration());

    const BridgeValue::Object expected = {
        { "apiBaseUrl", BridgeValue::string("https://api.quorin42.test/api") },
        { "authBridgeBaseUrl", BridgeValue::string("https://auth.quorin42.test/") },
        { "googleLauncherRedirect", BridgeValue::string("quorin42://auth") },
        { "publicIpApiUrl", BridgeValue::string("https://api.ipify.org?format=json") },
        { "useFlashObjectHost", BridgeValue::boolean(false) },
        { "discordClientId", BridgeValue::string("") },
        { "hasRequiredConfig", BridgeValue::boolean(true) },
        { "missingKeys", BridgeValue::array({}) },
        { "configFiles", BridgeValue::array({}) },
        { "isPackaged", BridgeValue::boolean(true) },
    };
    EXPECT_EQ(runtime.size(), 10u);
    EXPECT_EQ(BridgeValue::object(runtime), BridgeValue::object(expected)) << BridgeValue::object(runtime).jsonText();
}

TEST(RuntimeConfigurationTests, ApiBaseUrlIsTheOriginPlusApi)
{
    struct Case {
        std::string apiOrigin;
        std::string expected;
    };
    const std::vector<Case> cases = {
        { "https://api.quorin42.test", "https://api.quorin42.test/api" },
        { "https://api.quorin42.test/", "https://api.quorin42.test/api" },
        { "HTTPS://api.quorin42.test/", "https://api.quorin42.test/api" },
        { "https://api.quorin42.test:8443", "https://api.quorin42.test:8443/api" },
        { "https://api.quorin42.test:8443/", "https://api.quorin42.test:8443/api" },
        { "https://10.0.0.7", "https://10.0.0.7/api" },
    };
    for (const auto& c : cases) {
        auto runtime = RuntimeConfiguration::make(decodedConfiguration(configurationJSON(c.apiOrigin)));
        ASSERT_TRUE(runtime.contains("apiBaseUrl")) << c.apiOrigin;
        EXPECT_EQ(runtime.at("apiBaseUrl"), BridgeValue::string(c.expected)) << c.apiOrigin;
    }
}

TEST(RuntimeConfigurationTests, AuthBridgeBaseUrlIsTheAuthOriginAsWritten)
{
    for (std::string origin : { "https://auth.quorin42.test", "https://auth.quorin42.test/", "https://auth.quorin42.test:4443" }) {
        auto runtime = RuntimeConfiguration::make(decodedConfiguration(configurationJSON("https://api.quorin42.test", origin)));
        EXPECT_EQ(runtime.at("authBridgeBaseUrl"), BridgeValue::string(origin));
    }
}

TEST(RuntimeConfigurationTests, NativeHostDescriptionNamesThePlatformVersionAndConfiguredIdentifier)
{
    auto configuration = decodedConfiguration(configurationJSON("https://api.quorin42.test", "https://auth.quorin42.test", "org.example.custom-id"));
    for (std::string version : { "4.2.0", "0.1.0" }) {
        auto description = RuntimeConfiguration::nativeHostDescription(configuration, version);
        const BridgeValue::Object expected = {
            { "kind", BridgeValue::string("linux") },
            { "version", BridgeValue::string(version) },
            { "applicationId", BridgeValue::string("org.example.custom-id") },
        };
        EXPECT_EQ(BridgeValue::object(description), BridgeValue::object(expected)) << BridgeValue::object(description).jsonText();
    }
}

} // namespace
} // namespace quorin
