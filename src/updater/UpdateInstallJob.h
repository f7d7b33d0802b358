#pragma once

// The install job the launcher hands to the update helper: "install-job.json" in the job
// directory (the release's private staging folder), and the "ready" file with which the helper
// tells the launcher it accepted this very job and the launcher may quit. Both programs apply
// the same rules to the same file, so neither trusts what it did not check itself.

#include "LauncherUpdateError.h"

#include "core/Result.h"
#include "core/Url.h"

#include <cstdint>
#include <string>

namespace quorin {

struct UpdateInstallJob {
    std::int32_t parentPID;  // the launcher that wrote the job
    Url target;              // the installed bundle to replace
    Url candidate;           // the verified new bundle, "unpacked/Quorin 4.2.app" in the job directory
    std::string currentVersion;
    std::string version;
    std::string nonce; // a random UUID in upper case, new for every job

    static constexpr std::size_t maximumFileSize = 8192;

    // A job with a fresh nonce.
    static UpdateInstallJob create(std::int32_t parentPID, Url target, Url candidate, std::string currentVersion, std::string version);

    // Reads a job file (a regular file of at most 8192 bytes, not a link), decodes it and
    // validates it against its own location. install, or what validate() fails with.
    static Result<UpdateInstallJob, UpdateFailure> read(const std::string& jobPath);

    // In order: the job directory's attributes (their error as it is), the pid, the nonce, the
    // file's name, a directory of the user's own with permissions 0700, the candidate at its
    // fixed place, a ".app" target outside the directory (all install), then both versions
    // (invalidFeed) and a newer version (install).
    Status<UpdateFailure> validate(const std::string& jobPath) const;

    // Validates, then writes the nonce atomically to "ready" beside the job file.
    Status<UpdateFailure> signalReady(const std::string& jobPath) const;
    // Whether "ready" beside the job file holds exactly this job's nonce.
    bool isReady(const std::string& jobPath) const;

    // Compact JSON, as read() takes it.
    std::string encoded() const;
};

} // namespace quorin
