#pragma once

// The update helper's work: checks the job the launcher handed over and both bundles, answers
// with the ready signal, waits for the launcher to quit, swaps the bundles with rollback,
// starts the new version and leaves "result.json" next to the job. Sequential, on the
// calling thread.

#include "updater/UpdateTrustedKeys.h"

#include <chrono>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quorin {

inline constexpr int updateHelperUsageExitStatus = 64;

struct UpdateHelperSettings {
    UpdateTrustedKeys keys;
    std::chrono::milliseconds quitWait { 30000 }; // for the launcher to exit after "ready"
    std::chrono::milliseconds liveness { 1000 };  // the new version must still run after this
};

// The job file of the one accepted command line, "--job" and an absolute path; nullopt for
// anything else.
std::optional<std::string> updateHelperJobPath(std::span<const std::string_view> arguments);

// Installs the job at `jobPath`; returns the exit status: 0 when the new version is installed
// and running, 1 otherwise.
int runUpdateHelper(const std::string& jobPath, const UpdateHelperSettings& settings);

} // namespace quorin
