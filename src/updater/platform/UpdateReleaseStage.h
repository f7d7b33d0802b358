#pragma once

// The updater's stage step: the release's archive downloaded into a new private folder under
// the updates directory (exactly the release's size), then checked, unpacked and verified off
// the main thread. The folder stays on success (it holds the candidate and later the install
// job) and is removed on any failure. Main thread only.

#include "UpdateHTTPClient.h"

#include "updater/NativeLauncherUpdater.h"
#include "updater/UpdateBundleVerifier.h"

#include <functional>
#include <string>

namespace quorin {

struct UpdateStageContext {
    std::string updatesDirectory;
    UpdateBundleVerifier verifier;
    UpdateHTTPSettings http {};
};

// `progress` receives whole percentages of the download. `completion` runs once, in a later
// turn of the main loop, with the candidate bundle's path.
void stageUpdateRelease(const UpdateStageContext& context, const UpdateRelease& release, std::function<void(double)> progress,
    std::function<void(UpdateStepResult<std::string>)> completion);

} // namespace quorin
