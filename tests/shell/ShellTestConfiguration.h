#pragma once

#include "core/LauncherConfiguration.h"

#include <gtest/gtest.h>

#include <string>

namespace quorin::testing {

// A configuration file's text that the decoder accepts, with the origins given.
inline std::string configurationJSON(const std::string& apiOrigin = "https://api.quorin42.test",
    const std::string& authOrigin = "https://auth.quorin42.test/", const std::string& bundleIdentifier = "net.quorin42.launcher.test")
{
    return R"({
  "schemaVersion": 1,
  "product": { "displayName": "Quorin Test", "bundleIdentifier": ")" + bundleIdentifier + R"(" },
  "window": { "initialWidth": 1440, "initialHeight": 800, "minimumWidth": 1024, "minimumHeight": 640 },
  "apiOrigin": ")" + apiOrigin + R"(",
  "authOrigin": ")" + authOrigin + R"(",
  "gameOrigins": ["https://game.quorin42.test"],
  "updateFeedURL": "https://updates.quorin42.test/feed.yml"
})";
}

inline LauncherConfiguration decodedConfiguration(const std::string& json = configurationJSON())
{
    auto configuration = LauncherConfiguration::decode(json);
    if (configuration.isError())
        ADD_FAILURE() << "test configuration refused: " << configuration.error().description();
    return configuration.releaseValue();
}

} // namespace quorin::testing
