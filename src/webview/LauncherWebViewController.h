#pragma once

// Owns the one web view of the main window: builds its configuration, loads the web UI's
// index page, judges every navigation with the navigation policy, answers page dialogs,
// tracks the load state the window shows, and delivers native events to the page.
// Main thread only.

#include "webui/LauncherNavigationPolicy.h"
#include "LauncherWebViewState.h"
#include "webui/WebUIBundle.h"
#include "bridge/BridgeValue.h"
#include "core/glib/AsyncScope.h"
#include "core/glib/GRef.h"
#include "core/glib/SignalConnection.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitURISchemeRequest WebKitURISchemeRequest;

namespace quorin {

class LauncherBridgeHost;
class BridgeMessageTransport;
class WebViewNavigationDelegate;
class PageDialogPresenter;
class PageReports;

// Where cookies, local storage and caches live; no directories means nothing is kept.
struct WebsiteDataStore {
    std::optional<std::string> dataDirectory;
    std::optional<std::string> cacheDirectory;

    static WebsiteDataStore ephemeral() { return {}; }
    static WebsiteDataStore persistent(std::string dataDirectory, std::string cacheDirectory)
    {
        return { std::move(dataDirectory), std::move(cacheDirectory) };
    }
};

// A URL scheme the host answers itself (the game pages): `start` answers or fails each request.
struct WebViewSchemeHandler {
    std::string scheme;
    std::function<void(WebKitURISchemeRequest*)> start;
};

struct LauncherWebViewControllerOptions {
    WebUIBundle webUIBundle;
    LauncherNavigationPolicy navigationPolicy;
    std::vector<std::string> documentStartScripts;
    std::shared_ptr<LauncherBridgeHost> bridgeHost;
    std::optional<WebViewSchemeHandler> gameSchemeHandler;
    bool allowsInspection { false };
    // Writes every console message of the page to standard output, for web UI authors.
    bool writesPageConsole { false };
    WebsiteDataStore websiteDataStore;
    std::function<void(const Url&)> openExternal;
    // Folder holding the web-process extension that gives frames their bridge post function.
    std::string webProcessExtensionsDirectory;
};

class LauncherWebViewController : public std::enable_shared_from_this<LauncherWebViewController> {
public:
    static std::shared_ptr<LauncherWebViewController> create(LauncherWebViewControllerOptions options);
    ~LauncherWebViewController();

    LauncherWebViewController(const LauncherWebViewController&) = delete;
    LauncherWebViewController& operator=(const LauncherWebViewController&) = delete;

    WebKitWebView* webView() const { return m_webView.get(); }
    const LauncherWebViewState& state() const { return m_state; }

    // Called after every state change.
    void setStateObserver(std::function<void(const LauncherWebViewState&)> observer);

    // Loads the index page unless a load is under way or done.
    void load();
    // Stops any load, returns to idle and loads again.
    void retry();

    // Runs window.__quorinNativeDispatch?.(eventName, payload) in the page. The completion,
    // if any, learns whether the script ran without failing; it never runs once the
    // controller is gone.
    void dispatchNativeEvent(const std::string& name, const BridgeValue& payload, std::function<void(bool succeeded)> completion = {});

private:
    explicit LauncherWebViewController(LauncherWebViewControllerOptions options);
    void setUp();
    void setState(LauncherWebViewState state);
    void failWithoutExtension();

    LauncherWebViewControllerOptions m_options;
    LauncherWebViewState m_state { LauncherWebViewState::idle() };
    std::function<void(const LauncherWebViewState&)> m_stateObserver;
    glib::GRef<WebKitWebView> m_webView;
    std::unique_ptr<BridgeMessageTransport> m_bridgeTransport;
    std::unique_ptr<WebViewNavigationDelegate> m_navigationDelegate;
    std::unique_ptr<PageDialogPresenter> m_dialogPresenter;
    std::unique_ptr<PageReports> m_pageReports;
    // Whether the document being loaded reported in from the web-process extension.
    bool m_extensionReported { false };
    bool m_terminatingWebProcess { false };
    // The page scripts in flight; their completions never run after the controller is gone.
    glib::AsyncScope m_pageScripts;
    // Declared last: the web view may outlive us inside the widget tree, and its signals must
    // not reach a controller that is being destroyed.
    std::vector<glib::SignalConnection> m_webViewSignals;
};

} // namespace quorin
