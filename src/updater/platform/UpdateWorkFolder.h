#pragma once

// The private folders of one update run under "<storage root>/updates": one per feed fetch
// (removed after it) and one per release (kept as the install job's folder once staged).

#include "core/FileSystemError.h"
#include "core/Result.h"

#include <string>

namespace quorin {

// "<storage root>/updates".
std::string updatesDirectory(const std::string& storageRoot);

// Creates `updatesDirectory` where missing (0700, parents too), then a new child named by a
// random UUID in upper case, also 0700. Any thread.
Result<std::string, FileSystemError> makeUpdateWorkFolder(const std::string& updatesDirectory);

// Removes a work folder and all it holds; a failure to remove is ignored.
void removeUpdateWorkFolder(const std::string& folder);

} // namespace quorin
