#pragma once

// What the bridge service needs of the updater. The three actions never fail: their outcome
// is in the state that follows. Main thread only.

#include "LauncherBridgeServicing.h"

#include <functional>

namespace quorin {

class UpdaterBridgePort {
public:
    virtual ~UpdaterBridgePort() = default;
    // The current state in its page form; an uncoded error when it cannot be expressed.
    virtual BridgeServiceResult state() const = 0;
    virtual void check(std::function<void()> done) = 0;
    virtual void download(std::function<void()> done) = 0;
    virtual void install(std::function<void()> done) = 0;
    // The single state-change observer, replacing any earlier one.
    virtual void onStateChanged(std::function<void()> observer) = 0;
};

} // namespace quorin
