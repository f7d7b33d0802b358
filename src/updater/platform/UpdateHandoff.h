#pragma once

// The updater's hand-off step: the install job prepared on a worker thread, the helper's copy
// started with "--job <path>", then the main loop polled every 50 ms (never blocked) until the
// helper signals that it took this job, whereupon `quit` ends the launcher. A helper that exits
// first, or no signal within the wait, fails with install. Main thread only.

#include "UpdateHandoffPreparation.h"

#include "updater/NativeLauncherUpdater.h"
#include "updater/UpdateBundleVerifier.h"

#include <chrono>
#include <functional>
#include <string>

namespace quorin {

struct UpdateHandoffContext {
    std::string currentApp;
    std::string currentVersion;
    UpdateBundleVerifier verifier;
    std::function<void()> quit;
    std::chrono::milliseconds readyWait { std::chrono::seconds(45) };
};

// `completion` runs once on the main loop: Ok after `quit` was called, or the failure.
void handOffUpdate(const UpdateHandoffContext& context, const std::string& candidate, const UpdateRelease& release,
    std::function<void(UpdateStepResult<Ok>)> completion);

} // namespace quorin
