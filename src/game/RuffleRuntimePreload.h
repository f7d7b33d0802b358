#pragma once

// The packaged emulator runtime, verified on a thread of its own from the moment the
// launcher starts: hashing its 30 MB is then done by the time the start reaches the runtime,
// instead of holding up the web view behind it. The first take() hands over that
// verification; any later one (a retried start) verifies again. Main thread only.

#include "game/RuffleRuntimeManifest.h"

#include <future>
#include <optional>
#include <string>

namespace quorin {

class RuffleRuntimePreload {
public:
    explicit RuffleRuntimePreload(std::optional<std::string> resourcesDirectory);

    Result<RuffleRuntimeManifest, RuffleRuntimeError> take();

private:
    std::optional<std::string> m_resourcesDirectory;
    std::future<Result<RuffleRuntimeManifest, RuffleRuntimeError>> m_early;
};

} // namespace quorin
