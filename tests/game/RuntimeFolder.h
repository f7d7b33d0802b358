#pragma once

// A game runtime folder of 8 small package files and the host page, pinned by its own
// manifest, for the tests of the runtime manifest and the game scheme.

#include "game/RuffleRuntimeManifest.h"

#include "core/Sha256.h"
#include "support/TemporaryDirectory.h"

#include <nlohmann/json.hpp>

#include <string>

namespace quorin::testing {

struct RuntimeFolder {
    TemporaryDirectory directory;
    nlohmann::json manifest { { "package", "@ruffle-rs/ruffle@0.6.0" }, { "files", nlohmann::json::array() } };

    RuntimeFolder()
    {
        for (int index = 0; index < 8; ++index) {
            auto name = "core" + std::to_string(index) + ".js";
            directory.write("ruffle/" + name, "file " + std::to_string(index));
            manifest["files"].push_back({ { "path", name }, { "sha256", sha256Hex("file " + std::to_string(index)) } });
        }
        directory.write("host/index.html", "<html>");
        directory.write("host/ruffle-host.js", "start();");
    }
    Result<RuffleRuntimeManifest, RuffleRuntimeError> load(const std::string& manifestSuffix = "")
    {
        auto text = manifest.dump();
        directory.write("ruffle-manifest.json", text + manifestSuffix);
        return RuffleRuntimeManifest::load(directory.path(), sha256Hex(text));
    }
};

// The error of a result, or a case no runtime check raises when there is none.
RuffleRuntimeError errorOf(const auto& result)
{
    return result.isError() ? RuffleRuntimeError(result.error()) : RuffleRuntimeError(LauncherGameError::invalidSession());
}

} // namespace quorin::testing
