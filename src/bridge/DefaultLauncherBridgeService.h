#pragma once

// The service behind every bridge method. Components the launcher could not build are
// absent, and each method then answers with its fixed fallback instead of failing the bridge;
// preferences are kept in memory while there is no preferences store. Main thread only.

#include "DeepLinkAccepting.h"
#include "LauncherBridgeServicing.h"

#include <functional>
#include <memory>
#include <string>

namespace quorin {

class DefaultLauncherBridgeService final : public LauncherBridgeServicing, public DeepLinkAccepting {
public:
    using EventSink = std::function<void(const std::string& eventName, const BridgeValue& payload)>;

    DefaultLauncherBridgeService(BridgeValue::Object runtimeConfig, std::string appVersion);

    void handle(const BridgeRequest& request, BridgeServiceCompletion completion) override;
    bool acceptDeepLink(const Url& url) override;

    // Replaces the event sink; events raised while there is none are dropped.
    void setEventSink(EventSink sink) { m_eventSink = std::move(sink); }

private:
    BridgeValue appInfo() const;
    BridgeValue fallbackPreferenceSnapshot() const;
    BridgeValue fallbackUpdateState() const;
    BridgeServiceResult handlePreferencesInMemory(const BridgeRequest& request);
    void applyLegacyPreferences(const BridgeValue& legacy);

    BridgeValue::Object m_runtimeConfig;
    std::string m_appVersion;
    EventSink m_eventSink;

    // Used only while there is no preferences store.
    std::string m_locale { "tr" };
    bool m_audioMuted { false };
    BridgeValue::Object m_themes;
};

} // namespace quorin
