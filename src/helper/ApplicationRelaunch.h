#pragma once

// Starts the installed application again once the helper has swapped the bundles: its
// executable in a session of its own (so it outlives the helper), then the check that it is
// still up after a moment, which tells a version that cannot start from one that did.

#include "updater/LauncherUpdateError.h"

#include "core/Result.h"

#include <chrono>
#include <string>

namespace quorin {

// A start failure is the system's own error; a process that is not running from `bundle` or
// has ended after `liveness` fails with launch.
Status<UpdateFailure> relaunchApplication(const std::string& bundle, std::chrono::milliseconds liveness);

} // namespace quorin
