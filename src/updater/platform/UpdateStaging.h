#pragma once

// Turns a downloaded release archive in its private staging folder into a verified candidate
// bundle, "<folder>/unpacked/Quorin 4.2.app", or refuses it: the archive's size and digest,
// its ZIP structure, extraction into "unpacked" (at most 30 seconds), exactly one top-level
// bundle of the product's name without links, then the full bundle verification. On any
// failure the whole staging folder is removed, so a refused archive leaves nothing behind.

#include "updater/LauncherUpdateError.h"
#include "updater/UpdateBundleVerifier.h"
#include "updater/UpdateRelease.h"

#include "core/Result.h"

#include <functional>
#include <string>

namespace quorin::UpdateStaging {

using Outcome = Result<std::string, UpdateFailure>;

// The bundle's path. Blocks the calling thread while it hashes, unpacks and verifies.
Outcome prepareNow(const std::string& archive, const UpdateRelease& release, const std::string& folder, const UpdateBundleVerifier& verifier);

// prepareNow on a worker thread; `completion` runs once on the main loop with its outcome.
// Main thread only; a caller that may die first guards the completion.
void prepare(std::string archive, UpdateRelease release, std::string folder, UpdateBundleVerifier verifier, std::function<void(Outcome)> completion);

} // namespace quorin::UpdateStaging
