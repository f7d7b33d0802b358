#pragma once

#include <string>

namespace quorin {

// Why a web UI folder was refused. No message text: the start-up reports every case as one
// failure code; `description()` names the case for tools and tests.
class WebUIBundleValidationError {
public:
    enum class Case {
        missingRequiredPath,    // path
        forbiddenPath,          // path
        symbolicLinkNotAllowed, // path relative to the root
        missingManifestFile,    // listed path
        checksumMismatch,       // listed path
        invalidRoot,
        invalidManifest,
        unsafeManifestPath,
    };

    static WebUIBundleValidationError missingRequiredPath(std::string path) { return { Case::missingRequiredPath, std::move(path) }; }
    static WebUIBundleValidationError forbiddenPath(std::string path) { return { Case::forbiddenPath, std::move(path) }; }
    static WebUIBundleValidationError symbolicLinkNotAllowed(std::string path) { return { Case::symbolicLinkNotAllowed, std::move(path) }; }
    static WebUIBundleValidationError missingManifestFile(std::string path) { return { Case::missingManifestFile, std::move(path) }; }
    static WebUIBundleValidationError checksumMismatch(std::string path) { return { Case::checksumMismatch, std::move(path) }; }
    static WebUIBundleValidationError invalidRoot() { return { Case::invalidRoot, {} }; }
    static WebUIBundleValidationError invalidManifest() { return { Case::invalidManifest, {} }; }
    static WebUIBundleValidationError unsafeManifestPath() { return { Case::unsafeManifestPath, {} }; }

    Case errorCase() const { return m_case; }
    // The payload; empty for the cases without one.
    const std::string& path() const { return m_path; }
    static bool hasPayload(Case errorCase);

    static std::string caseName(Case errorCase);
    // "caseName(payload)" for cases with a payload, "caseName" otherwise.
    std::string description() const;

    bool operator==(const WebUIBundleValidationError&) const = default;

private:
    WebUIBundleValidationError(Case errorCase, std::string path)
        : m_case(errorCase)
        , m_path(std::move(path))
    {
    }

    Case m_case;
    std::string m_path;
};

} // namespace quorin
