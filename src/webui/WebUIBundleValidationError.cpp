#include "WebUIBundleValidationError.h"

namespace quorin {

bool WebUIBundleValidationError::hasPayload(Case errorCase)
{
    switch (errorCase) {
    case Case::missingRequiredPath:
    case Case::forbiddenPath:
    case Case::symbolicLinkNotAllowed:
    case Case::missingManifestFile:
    case Case::checksumMismatch:
        return true;
    case Case::invalidRoot:
    case Case::invalidManifest:
    case Case::unsafeManifestPath:
        return false;
    }
    return false;
}

std::string WebUIBundleValidationError::caseName(Case errorCase)
{
    switch (errorCase) {
    case Case::missingRequiredPath:
        return "missingRequiredPath";
    case Case::forbiddenPath:
        return "forbiddenPath";
    case Case::symbolicLinkNotAllowed:
        return "symbolicLinkNotAllowed";
    case Case::missingManifestFile:
        return "missingManifestFile";
    case Case::checksumMismatch:
        return "checksumMismatch";
    case Case::invalidRoot:
        return "invalidRoot";
    case Case::invalidManifest:
        return "invalidManifest";
    case Case::unsafeManifestPath:
        return "unsafeManifestPath";
    }
    return "unknown";
}

std::string WebUIBundleValidationError::description() const
{
    if (!hasPayload(m_case))
        return caseName(m_case);
    return caseName(m_case) + "(" + m_path + ")";
}

} // namespace quorin
