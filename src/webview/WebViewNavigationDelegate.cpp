#include "WebViewNavigationDelegate.h"

namespace quorin {

WebViewNavigationDelegate::WebViewNavigationDelegate(LauncherNavigationPolicy policy, std::function<void(const Url&)> openExternal)
    : m_policy(std::move(policy))
    , m_openExternal(std::move(openExternal))
{
}

LauncherNavigationDecision WebViewNavigationDelegate::judge(const Url& url, bool isMainFrame, bool isUserInitiated, bool isNewWindow) const
{
    return m_policy.decision(LauncherNavigationRequest { url, isMainFrame, isUserInitiated, isNewWindow });
}

static std::optional<Url> requestURL(WebKitURIRequest* request)
{
    const char* uri = request ? webkit_uri_request_get_uri(request) : nullptr;
    if (!uri || !*uri)
        return std::nullopt;
    return Url::parse(uri);
}

// A link a person clicked. Script-made clicks (a.click(), dispatched events, timers) are also
// "link clicked" navigations, but carry no user gesture.
static bool carriesUserGesture(WebKitNavigationAction* action)
{
    return webkit_navigation_action_get_navigation_type(action) == WEBKIT_NAVIGATION_TYPE_LINK_CLICKED
        && webkit_navigation_action_is_user_gesture(action);
}

gboolean WebViewNavigationDelegate::decidePolicy(WebKitPolicyDecision* decision, WebKitPolicyDecisionType type)
{
    switch (type) {
    case WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION:
        return decideNavigationAction(decision);
    case WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION:
        return decideNewWindowAction(decision);
    case WEBKIT_POLICY_DECISION_TYPE_RESPONSE:
        return decideResponse(decision);
    }
    webkit_policy_decision_ignore(decision);
    return TRUE;
}

gboolean WebViewNavigationDelegate::decideNavigationAction(WebKitPolicyDecision* decision)
{
    auto* action = webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
    auto url = requestURL(webkit_navigation_action_get_request(action));
    if (!url) {
        webkit_policy_decision_ignore(decision);
        return TRUE;
    }
    bool userInitiated = carriesUserGesture(action);
    auto asMainFrame = judge(*url, true, userInitiated, false);
    auto asSubFrame = judge(*url, false, userInitiated, false);

    // Differing answers mean a sub-frame-only target; it is checked again once the frame is known.
    if (asMainFrame != asSubFrame || asMainFrame == LauncherNavigationDecision::Allow) {
        webkit_policy_decision_use(decision);
        return TRUE;
    }
    if (asMainFrame == LauncherNavigationDecision::OpenExternal && m_openExternal)
        m_openExternal(*url);
    webkit_policy_decision_ignore(decision);
    return TRUE;
}

gboolean WebViewNavigationDelegate::decideNewWindowAction(WebKitPolicyDecision* decision)
{
    auto* action = webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
    auto url = requestURL(webkit_navigation_action_get_request(action));
    if (url) {
        if (judge(*url, true, carriesUserGesture(action), true) == LauncherNavigationDecision::OpenExternal && m_openExternal)
            m_openExternal(*url);
    }
    // A second web view is never created.
    webkit_policy_decision_ignore(decision);
    return TRUE;
}

gboolean WebViewNavigationDelegate::decideResponse(WebKitPolicyDecision* decision)
{
    auto* responseDecision = WEBKIT_RESPONSE_POLICY_DECISION(decision);
    bool isMainFrame = webkit_response_policy_decision_is_main_frame_main_resource(responseDecision);
    auto url = requestURL(webkit_response_policy_decision_get_request(responseDecision));
    bool allowed = url && judge(*url, isMainFrame, false, false) == LauncherNavigationDecision::Allow;
    // Nothing is ever downloaded to disk on the page's behalf.
    if (!allowed || !webkit_response_policy_decision_is_mime_type_supported(responseDecision)) {
        if (isMainFrame)
            markSelfCancelledMainFrameLoad();
        webkit_policy_decision_ignore(decision);
        return TRUE;
    }
    webkit_policy_decision_use(decision);
    return TRUE;
}

bool WebViewNavigationDelegate::mainFrameLoadMustStop(const char* uri) const
{
    auto url = uri ? Url::parse(uri) : std::nullopt;
    return !url || judge(*url, true, false, false) != LauncherNavigationDecision::Allow;
}

bool WebViewNavigationDelegate::takeSelfCancelledMainFrameLoad()
{
    if (m_selfCancelledMainFrameLoads == 0)
        return false;
    m_selfCancelledMainFrameLoads--;
    return true;
}

} // namespace quorin
