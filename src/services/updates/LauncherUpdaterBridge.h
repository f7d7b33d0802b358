#pragma once

// The updater behind the bridge: the state in its page form (eight keys, always all present)
// as the reply of "launcherUpdates.getState" and the payload of "updateStateChanged", and
// the three actions passed through. Main thread only.

#include "bridge/UpdaterBridgePort.h"
#include "updater/NativeLauncherUpdater.h"

#include <memory>

namespace quorin {

// "status", "currentVersion", "version" (or null), "progress" ({"percent"} or null), "error"
// ({"code"} or null), "canCheck", "canDownload", "canInstall".
BridgeValue updateStateValue(const NativeUpdateState& state);

class LauncherUpdaterBridge final : public UpdaterBridgePort {
public:
    explicit LauncherUpdaterBridge(std::shared_ptr<NativeLauncherUpdater> updater);

    BridgeServiceResult state() const override;
    void check(std::function<void()> done) override;
    void download(std::function<void()> done) override;
    void install(std::function<void()> done) override;
    void onStateChanged(std::function<void()> observer) override;

private:
    std::shared_ptr<NativeLauncherUpdater> m_updater;
};

} // namespace quorin
