#pragma once

// Unpacks a release archive whose structure has already passed UpdateZIPDirectory into a
// folder with libarchive: plain files and folders only, never outside the folder, permissions
// as archived without set-id bits or write access for others. Blocks the calling thread, at
// most for `bound` (checked between blocks of data).

#include "updater/LauncherUpdateError.h"

#include "core/Result.h"

#include <chrono>
#include <string>

namespace quorin {

// Every failure, the time bound included, is invalidArchive; what was unpacked stays.
Status<LauncherUpdateError> extractUpdateArchive(const std::string& archive, const std::string& folder, std::chrono::steady_clock::duration bound);

} // namespace quorin
