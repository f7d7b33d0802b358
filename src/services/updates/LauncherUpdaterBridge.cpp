#include "LauncherUpdaterBridge.h"

namespace quorin {

namespace {

template<typename T, typename Make>
BridgeValue valueOrNull(const std::optional<T>& value, Make make)
{
    return value ? make(*value) : BridgeValue::null();
}

} // namespace

BridgeValue updateStateValue(const NativeUpdateState& state)
{
    return BridgeValue::object({
        { "status", BridgeValue::string(std::string(NativeUpdateState::statusWord(state.status))) },
        { "currentVersion", BridgeValue::string(state.currentVersion) },
        { "version", valueOrNull(state.version, BridgeValue::string) },
        { "progress", valueOrNull(state.percent, [](double percent) { return BridgeValue::object({ { "percent", BridgeValue::number(percent) } }); }) },
        { "error", valueOrNull(state.error, [](const std::string& code) { return BridgeValue::object({ { "code", BridgeValue::string(code) } }); }) },
        { "canCheck", BridgeValue::boolean(state.canCheck()) },
        { "canDownload", BridgeValue::boolean(state.canDownload()) },
        { "canInstall", BridgeValue::boolean(state.canInstall()) },
    });
}

LauncherUpdaterBridge::LauncherUpdaterBridge(std::shared_ptr<NativeLauncherUpdater> updater)
    : m_updater(std::move(updater))
{
}

BridgeServiceResult LauncherUpdaterBridge::state() const
{
    return updateStateValue(m_updater->state());
}

void LauncherUpdaterBridge::check(std::function<void()> done)
{
    m_updater->check(std::move(done));
}

void LauncherUpdaterBridge::download(std::function<void()> done)
{
    m_updater->download(std::move(done));
}

void LauncherUpdaterBridge::install(std::function<void()> done)
{
    m_updater->install(std::move(done));
}

void LauncherUpdaterBridge::onStateChanged(std::function<void()> observer)
{
    m_updater->setOnStateChanged([observer = std::move(observer)](const NativeUpdateState&) { observer(); });
}

} // namespace quorin
