#pragma once

// Applies the navigation policy to the engine's decisions. The engine does not say which
// frame a navigation action targets, so rules that depend on it are enforced in three places:
// actions whose answer is the same for every frame are decided at once; actions that only a
// sub-frame may take (about:blank, the game page) are let through and stopped later if they
// turn out to target the main frame, either at the response decision (which carries the
// main-frame flag) or when the main frame starts loading them (main-frame only signal).

#include "webui/LauncherNavigationPolicy.h"

#include <functional>
#include <webkit/webkit.h>

namespace quorin {

class WebViewNavigationDelegate {
public:
    WebViewNavigationDelegate(LauncherNavigationPolicy policy, std::function<void(const Url&)> openExternal);

    // decide-policy; returns TRUE when the decision was taken.
    gboolean decidePolicy(WebKitPolicyDecision* decision, WebKitPolicyDecisionType type);
    // The main frame started a provisional load of `uri`; true when the load must be stopped.
    bool mainFrameLoadMustStop(const char* uri) const;
    // Whether a main-frame load failure was caused by our own cancellation and must not
    // count as a page failure. Consumes the mark.
    bool takeSelfCancelledMainFrameLoad();
    void markSelfCancelledMainFrameLoad() { m_selfCancelledMainFrameLoads++; }

private:
    gboolean decideNavigationAction(WebKitPolicyDecision* decision);
    gboolean decideNewWindowAction(WebKitPolicyDecision* decision);
    gboolean decideResponse(WebKitPolicyDecision* decision);
    LauncherNavigationDecision judge(const Url& url, bool isMainFrame, bool isUserInitiated, bool isNewWindow) const;

    LauncherNavigationPolicy m_policy;
    std::function<void(const Url&)> m_openExternal;
    int m_selfCancelledMainFrameLoads { 0 };
};

} // namespace quorin
