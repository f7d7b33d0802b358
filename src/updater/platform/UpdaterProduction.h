#pragma once

// The launcher's updater with its real steps: the feed over HTTPS, staging of the release in
// a private folder under "<storage root>/updates", and the hand-off to the update helper,
// which ends with `quit` once the helper has signalled that it took the job. Main thread only.

#include "UpdateHTTPClient.h"

#include "updater/NativeLauncherUpdater.h"
#include "updater/UpdateBundleVerifier.h"

#include "core/Url.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace quorin {

struct UpdaterProductionSettings {
    std::string currentVersion;
    Url feedURL;
    std::string currentApp;  // the running bundle, ".../Quorin 4.2.app"
    std::string storageRoot; // the launcher's private storage folder
    std::function<void()> quit;
    UpdateBundleVerifier verifier; // production: UpdateBundleVerifier(UpdateTrustedKeys::production())
    UpdateHTTPSettings http {};    // tests pass a TLS database trusting their local server
    std::chrono::milliseconds readyWait { std::chrono::seconds(45) };
};

std::shared_ptr<NativeLauncherUpdater> makeProductionUpdater(UpdaterProductionSettings settings);

} // namespace quorin
