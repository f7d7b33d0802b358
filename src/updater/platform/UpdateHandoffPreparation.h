#pragma once

// What the launcher checks and writes before it hands an install to the update helper: both
// bundles verified, a copy of the installed helper in the job folder (so the helper runs from
// outside the bundle it replaces), and "install-job.json" for this process with a fresh nonce.
// Blocks the calling thread while it hashes the bundles: run it on a worker thread.

#include "updater/LauncherUpdateError.h"
#include "updater/UpdateBundleVerifier.h"

#include "core/Result.h"

#include <string>
#include <string_view>

namespace quorin {

inline constexpr std::string_view updateHelperName = "Quorin42UpdateHelper";

struct UpdateHandoffRequest {
    std::string candidate;      // "<job folder>/unpacked/Quorin 4.2.app"
    std::string currentApp;     // the running bundle
    std::string currentVersion; // the running version
    std::string version;        // the release's version
};

// The job file's path. In order: the location rule for the running bundle, a folder around it
// the process can write (location), the installed bundle genuine at the running version, the
// candidate fully verified, the helper's copy, then the job validated before it is written
// (0600, atomically). Errors of the file system are passed on as they are.
Result<std::string, UpdateFailure> prepareHandoff(const UpdateHandoffRequest& request, const UpdateBundleVerifier& verifier);

} // namespace quorin
