#pragma once

// The updater's feed fetch step: the feed downloaded into a private folder of its own under
// the updates directory (at most 65,536 bytes) and read back; the folder is removed whatever
// happens. Main thread only.

#include "UpdateHTTPClient.h"

#include "updater/NativeLauncherUpdater.h"

#include <functional>
#include <string>

namespace quorin {

// Only an https URL with a host and without user or password is fetched; anything else fails
// with network before any request. `completion` runs once, in a later turn of the main loop.
void fetchUpdateFeed(const std::string& updatesDirectory, const Url& feedURL, const UpdateHTTPSettings& http,
    std::function<void(UpdateStepResult<std::string>)> completion);

} // namespace quorin
