#pragma once

// The location rule every application bundle passes before it is verified, replaced or
// installed: an absolute path to a real ".app" folder (not a link to one), with no
// "AppTranslocation" part. Free of state; any thread.

#include "LauncherUpdateError.h"

#include "core/Result.h"

#include <string>

namespace quorin {

// Fails with location; an error reading the path's own attributes is passed on as it is.
Status<UpdateFailure> validateUpdateBundleLocation(const std::string& bundlePath);

} // namespace quorin
