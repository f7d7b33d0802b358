#pragma once

// Real web UI folders on disk for tests: a private temporary directory, a valid sample folder
// and its matching manifest, and small helpers to break it in one place.

#include "webui/RuntimeManifest.h"
#include "webui/WebUIBundleValidator.h"

#include "core/Sha256.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <variant>

namespace quorin::testing {

namespace fs = std::filesystem;

// The temporary directory as a path, for joining with "/".
inline fs::path pathOf(const TemporaryDirectory& directory)
{
    return directory.path();
}

inline void writeFile(const fs::path& path, const std::string& content)
{
    fs::create_directories(path.parent_path());
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    stream << content;
    ASSERT_TRUE(stream.good()) << path;
}

inline std::string readFile(const fs::path& path)
{
    std::ifstream stream(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
}

// A manifest listing every regular file under renderer/ and assets/ with its real digest.
inline RuntimeManifest manifestOfFolder(const fs::path& root)
{
    RuntimeManifest manifest;
    for (const char* folder : { "renderer", "assets" }) {
        if (!fs::is_directory(root / folder))
            continue;
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            if (entry.is_regular_file() && !entry.is_symlink())
                manifest.runtimeSHA256[entry.path().lexically_relative(root).string()] = sha256Hex(readFile(entry.path()));
        }
    }
    manifest.runtimeFileCount = static_cast<std::int64_t>(manifest.runtimeSHA256.size());
    return manifest;
}

inline void writeManifest(const fs::path& root, const RuntimeManifest& manifest)
{
    writeFile(root / "upstream.json", manifest.encode().value());
}

// A folder that passes every check: the entry page, a script, a style sheet, an asset.
inline void writeValidWebUI(const fs::path& root)
{
    writeFile(root / "renderer/index.html", "<!doctype html><title>t</title><script src=\"dist/js/app.js\"></script>\n");
    writeFile(root / "renderer/dist/js/app.js", "console.log('ready');\n");
    writeFile(root / "renderer/dist/css/app.css", "body { margin: 0; }\n");
    writeFile(root / "assets/logo.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\"/>\n");
    writeManifest(root, manifestOfFolder(root));
}

// "ok", the refusal as "caseName(payload)", or "io(<errno text>)" for a file-system error.
inline std::string outcomeOf(const Result<WebUIBundle, WebUIBundleLoadError>& result)
{
    if (result.hasValue())
        return "ok";
    if (const auto* refusal = std::get_if<WebUIBundleValidationError>(&result.error()))
        return refusal->description();
    return "io(" + std::get<FileSystemError>(result.error()).code.message() + ")";
}

} // namespace quorin::testing
