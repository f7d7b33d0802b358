#include "UpdateRelease.h"

#include "SemanticUpdateVersion.h"

#include "core/PlatformValues.h"

namespace quorin {

Result<bool, LauncherUpdateError> UpdateRelease::isNewer(std::string_view other) const
{
    auto own = TRY(SemanticUpdateVersion::parse(version));
    return own > TRY(SemanticUpdateVersion::parse(other));
}

std::string releaseArchiveName(std::string_view version)
{
    return "Quorin42-" + std::string(version) + std::string(PlatformValues::releaseArchiveSuffix);
}

} // namespace quorin
