#pragma once

#include "WebUIBundle.h"
#include "WebUIBundleValidationError.h"

#include "core/FileSystemError.h"
#include "core/Result.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

namespace quorin {

// A refusal, or an error of the file system itself (attributes that cannot be read, a listed
// file that cannot be opened or read while hashing) passed on unchanged.
using WebUIBundleLoadError = std::variant<WebUIBundleValidationError, FileSystemError>;

// Proves that a web UI folder is what was shipped: the entry points are there, nothing from a
// desktop-shell build or a checkout has leaked in, no symbolic link exists inside it, and every
// file its manifest lists has the recorded SHA-256 digest. The first failing check, in a fixed
// order, decides the error. Only reads; any thread; a refusal leaves nothing behind.
class WebUIBundleValidator {
public:
    static constexpr std::string_view manifestPath = "upstream.json";
    static constexpr std::string_view indexPath = "renderer/index.html";
    static constexpr std::size_t maximumManifestSize = 4194304;
    static constexpr std::array<std::string_view, 5> forbiddenPaths { "main.js", "preload.js", "launcher.env", "node_modules", "plugins" };
    static constexpr std::array<std::string_view, 2> requiredFiles { indexPath, manifestPath };
    static constexpr std::array<std::string_view, 3> requiredDirectories { "renderer/dist/js", "renderer/dist/css", "assets" };
    static constexpr std::array<std::string_view, 2> runtimeFolders { "renderer/", "assets/" };

    static Result<WebUIBundle, WebUIBundleLoadError> validate(const std::string& root);

    // The steps before the manifest is read, for tools that write a folder's manifest and
    // must refuse the same folders.

    // The root made absolute, normalised and with symbolic links in its path resolved; it
    // must be a directory. invalidRoot otherwise.
    static Result<std::string, WebUIBundleLoadError> resolveRoot(const std::string& root);
    static Status<WebUIBundleLoadError> checkForbiddenPaths(const std::string& resolvedRoot);
    enum class IncludeManifest { Yes, No };
    static Status<WebUIBundleLoadError> checkRequiredPaths(const std::string& resolvedRoot, IncludeManifest);
    // Walks the whole tree without following links, hidden entries included; the first link
    // (in name order, a folder's own entries before those of its sub-folders) is reported
    // by its path relative to the root.
    static Status<WebUIBundleLoadError> checkNoSymbolicLinks(const std::string& resolvedRoot);

    // Not empty, no leading "/", no backslash or NUL, no empty, "." or ".." piece between
    // slashes, and inside "renderer/" or "assets/".
    static bool isSafeRuntimePath(std::string_view path);
};

} // namespace quorin
