#pragma once

// The service behind every bridge method. It reaches each component through its port;
// components the launcher could not build are absent, and their methods then answer with a
// fixed fallback instead of failing the bridge (preferences are kept in memory meanwhile).
// Each method group is implemented in a file of its own. Main thread only.

#include "APIBridgePort.h"
#include "DeepLinkAccepting.h"
#include "DeepLinkBridgePort.h"
#include "InMemoryPreferences.h"
#include "LauncherBridgeServicing.h"
#include "LauncherGameBridgeServicing.h"
#include "PreferencesBridgePort.h"
#include "SavedAccountsBridgePort.h"
#include "SystemBridgePort.h"
#include "UpdaterBridgePort.h"

#include <functional>
#include <memory>
#include <string>

namespace quorin {

// The components start-up could build; any of them may be absent.
struct BridgeServiceComponents {
    std::shared_ptr<APIBridgePort> api {};
    std::shared_ptr<PreferencesBridgePort> preferences {};
    std::shared_ptr<SavedAccountsBridgePort> savedAccounts {};
    std::shared_ptr<SystemBridgePort> system {};
    std::shared_ptr<DeepLinkBridgePort> deepLinks {};
    std::shared_ptr<LauncherGameBridgeServicing> game {};
    std::shared_ptr<UpdaterBridgePort> updater {};
};

class DefaultLauncherBridgeService final : public LauncherBridgeServicing,
                                           public DeepLinkAccepting,
                                           public std::enable_shared_from_this<DefaultLauncherBridgeService> {
public:
    using EventSink = std::function<void(const std::string& eventName, const BridgeValue& payload)>;

    // Registers the service (held weakly) as the updater's state observer.
    static std::shared_ptr<DefaultLauncherBridgeService> create(BridgeValue::Object runtimeConfig, std::string appVersion, BridgeServiceComponents components = {});

    void handle(const BridgeRequest& request, BridgeServiceCompletion completion) override;
    bool acceptDeepLink(const Url& url) override;

    // Replaces the event sink; events raised while there is none are dropped.
    void setEventSink(EventSink sink) { m_eventSink = std::move(sink); }

private:
    DefaultLauncherBridgeService(BridgeValue::Object runtimeConfig, std::string appVersion, BridgeServiceComponents components);

    void sendEvent(const std::string& eventName, const BridgeValue& payload) const;

    void handleHost(const BridgeRequest& request, BridgeServiceCompletion completion) const;
    void handleAPI(const BridgeRequest& request, BridgeServiceCompletion completion);
    void handleGame(const BridgeRequest& request, BridgeServiceCompletion completion);
    void handleUpdates(const BridgeRequest& request, BridgeServiceCompletion completion);
    void handlePreferences(const BridgeRequest& request, BridgeServiceCompletion completion);
    void handleSavedAccounts(const BridgeRequest& request, BridgeServiceCompletion completion);
    void handleDeepLinks(const BridgeRequest& request, BridgeServiceCompletion completion);
    void handleSystem(const BridgeRequest& request, BridgeServiceCompletion completion);

    BridgeValue fallbackUpdateState() const;
    BridgeServiceResult updateState() const;
    BridgeServiceResult preferencesThroughStore(const BridgeRequest& request);

    BridgeValue::Object m_runtimeConfig;
    std::string m_appVersion;
    BridgeServiceComponents m_components;
    EventSink m_eventSink;
    // Used only while there is no preferences store.
    InMemoryPreferences m_inMemoryPreferences;
};

} // namespace quorin
