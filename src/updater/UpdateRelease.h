#pragma once

// One release as the feed describes it for this platform: what the download, the integrity
// check, staging and the install job work from.

#include "LauncherUpdateError.h"

#include "core/Result.h"
#include "core/Url.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quorin {

struct UpdateRelease {
    std::string version; // always a valid SemanticUpdateVersion
    Url url;             // absolute https URL of the archive
    std::string sha512;  // canonical Base64 of the archive's SHA-512 (88 characters)
    std::int64_t size;   // exact archive size, 5 to 268435456 bytes

    // Whether this release's version is strictly greater than `version`; invalidFeed when
    // either version does not parse.
    Result<bool, LauncherUpdateError> isNewer(std::string_view version) const;

    bool operator==(const UpdateRelease&) const = default;
};

// The name of this platform's archive of a version: "Quorin42-<version>-linux-<machine>.zip".
std::string releaseArchiveName(std::string_view version);

} // namespace quorin
