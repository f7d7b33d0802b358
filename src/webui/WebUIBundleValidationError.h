#pragma once

#include <string>

namespace quorin {

// Why a web UI folder was refused. No message text: the start-up reports every case as one
// failure code; `description()` names the case for tools and tests.
struct WebUIBundleValidationError {
    enum class Case {
        MissingRequiredPath,    // path
        ForbiddenPath,          // path
        SymbolicLinkNotAllowed, // path relative to the root
        MissingManifestFile,    // listed path
        ChecksumMismatch,       // listed path
        InvalidRoot,
        InvalidManifest,
        UnsafeManifestPath,
    };
    Case errorCase;
    std::string path;

    static WebUIBundleValidationError missingRequiredPath(std::string path) { return { Case::MissingRequiredPath, std::move(path) }; }
    static WebUIBundleValidationError forbiddenPath(std::string path) { return { Case::ForbiddenPath, std::move(path) }; }
    static WebUIBundleValidationError symbolicLinkNotAllowed(std::string path) { return { Case::SymbolicLinkNotAllowed, std::move(path) }; }
    static WebUIBundleValidationError missingManifestFile(std::string path) { return { Case::MissingManifestFile, std::move(path) }; }
    static WebUIBundleValidationError checksumMismatch(std::string path) { return { Case::ChecksumMismatch, std::move(path) }; }
    static WebUIBundleValidationError invalidRoot() { return { Case::InvalidRoot, {} }; }
    static WebUIBundleValidationError invalidManifest() { return { Case::InvalidManifest, {} }; }
    static WebUIBundleValidationError unsafeManifestPath() { return { Case::UnsafeManifestPath, {} }; }

    // "missingRequiredPath(renderer/index.html)" for the cases with a path, "invalidRoot" otherwise.
    std::string description() const;

    bool operator==(const WebUIBundleValidationError&) const = default;
};

} // namespace quorin
