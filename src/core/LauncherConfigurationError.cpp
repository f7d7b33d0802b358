#include "LauncherConfigurationError.h"

namespace quorin {

namespace {

const char* caseName(LauncherConfigurationError::Case errorCase)
{
    using Case = LauncherConfigurationError::Case;
    switch (errorCase) {
    case Case::UnknownKey:
        return "unknownKey";
    case Case::InvalidValue:
        return "invalidValue";
    case Case::InsecureURL:
        return "insecureURL";
    case Case::InvalidOrigin:
        return "invalidOrigin";
    case Case::InvalidJSON:
        return "invalidJSON";
    case Case::InvalidWindowBounds:
        return "invalidWindowBounds";
    case Case::UnsupportedSchemaVersion:
        return "unsupportedSchemaVersion";
    case Case::MissingBundledConfiguration:
        return "missingBundledConfiguration";
    }
    return "unknown";
}

bool carriesKey(LauncherConfigurationError::Case errorCase)
{
    using Case = LauncherConfigurationError::Case;
    return errorCase == Case::UnknownKey || errorCase == Case::InvalidValue || errorCase == Case::InsecureURL
        || errorCase == Case::InvalidOrigin;
}

} // namespace

std::string LauncherConfigurationError::description() const
{
    std::string text = caseName(errorCase);
    if (carriesKey(errorCase))
        text += "(" + key + ")";
    return text;
}

} // namespace quorin
