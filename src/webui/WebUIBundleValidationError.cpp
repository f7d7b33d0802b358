#include "WebUIBundleValidationError.h"

namespace quorin {

namespace {

using Case = WebUIBundleValidationError::Case;

// The name of the case's constructor.
const char* caseName(Case errorCase)
{
    switch (errorCase) {
    case Case::MissingRequiredPath:
        return "missingRequiredPath";
    case Case::ForbiddenPath:
        return "forbiddenPath";
    case Case::SymbolicLinkNotAllowed:
        return "symbolicLinkNotAllowed";
    case Case::MissingManifestFile:
        return "missingManifestFile";
    case Case::ChecksumMismatch:
        return "checksumMismatch";
    case Case::InvalidRoot:
        return "invalidRoot";
    case Case::InvalidManifest:
        return "invalidManifest";
    case Case::UnsafeManifestPath:
        return "unsafeManifestPath";
    }
    return "unknown";
}

bool carriesPath(Case errorCase)
{
    return errorCase == Case::MissingRequiredPath || errorCase == Case::ForbiddenPath || errorCase == Case::SymbolicLinkNotAllowed
        || errorCase == Case::MissingManifestFile || errorCase == Case::ChecksumMismatch;
}

} // namespace

std::string WebUIBundleValidationError::description() const
{
    std::string text = caseName(errorCase);
    if (carriesPath(errorCase))
        text += "(" + path + ")";
    return text;
}

} // namespace quorin
