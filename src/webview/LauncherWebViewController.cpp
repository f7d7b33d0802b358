#include "LauncherWebViewController.h"

#include "BridgeMessageTransport.h"
#include "PageDialogPresenter.h"
#include "PageReports.h"
#include "PageScriptCall.h"
#include "PreferredLanguages.h"
#include "WebKitRefTraits.h"
#include "WebProcessExtensions.h"
#include "WebViewNavigationDelegate.h"
#include "bridge/LauncherBridgeHost.h"

#include <utility>
#include <webkit/webkit.h>

namespace quorin {

using glib::adoptGRef;
using glib::GRef;
using glib::SignalConnection;

std::shared_ptr<LauncherWebViewController> LauncherWebViewController::create(LauncherWebViewControllerOptions options)
{
    std::shared_ptr<LauncherWebViewController> controller(new LauncherWebViewController(std::move(options)));
    controller->setUp();
    return controller;
}

LauncherWebViewController::LauncherWebViewController(LauncherWebViewControllerOptions options)
    : m_options(std::move(options))
{
}

LauncherWebViewController::~LauncherWebViewController() = default;

static GRef<WebKitWebContext> makeWebContext(const LauncherWebViewControllerOptions& options, std::vector<std::string> languages)
{
    auto context = adoptGRef(webkit_web_context_new());
    useWebProcessExtensions(context.get(), options.webProcessExtensionsDirectory, options.webUIBundle.rootURL.filePath(), options.writesPageConsole);
    // The page sees only the web UI folder, read-only.
    webkit_web_context_add_path_to_sandbox(context.get(), options.webUIBundle.rootURL.filePath().c_str(), TRUE);

    // With a C locale navigator.language would be empty; fall back to English.
    if (languages.empty())
        languages.push_back("en-US");
    std::vector<const char*> languageList;
    for (const auto& language : languages)
        languageList.push_back(language.c_str());
    languageList.push_back(nullptr);
    webkit_web_context_set_preferred_languages(context.get(), languageList.data());

    if (const auto& handler = options.gameSchemeHandler) {
        using Start = std::function<void(WebKitURISchemeRequest*)>;
        webkit_web_context_register_uri_scheme(context.get(), handler->scheme.c_str(),
            [](WebKitURISchemeRequest* request, gpointer start) { (*static_cast<Start*>(start))(request); },
            new Start(handler->start), [](gpointer start) { delete static_cast<Start*>(start); });
    }
    return context;
}

static GRef<WebKitNetworkSession> makeNetworkSession(const WebsiteDataStore& store)
{
    if (!store.dataDirectory)
        return adoptGRef(webkit_network_session_new_ephemeral());
    return adoptGRef(webkit_network_session_new(store.dataDirectory->c_str(), store.cacheDirectory ? store.cacheDirectory->c_str() : nullptr));
}

static GRef<WebKitSettings> makeSettings(bool allowsInspection)
{
    auto settings = adoptGRef(webkit_settings_new());
    webkit_settings_set_javascript_can_open_windows_automatically(settings.get(), FALSE);
    webkit_settings_set_enable_javascript(settings.get(), TRUE);
    webkit_settings_set_media_playback_requires_user_gesture(settings.get(), FALSE);
    webkit_settings_set_enable_developer_extras(settings.get(), allowsInspection);
    webkit_settings_set_allow_file_access_from_file_urls(settings.get(), FALSE);
    webkit_settings_set_allow_universal_access_from_file_urls(settings.get(), FALSE);
    return settings;
}

static GRef<WebKitUserContentManager> makeUserContentManager(const std::vector<std::string>& documentStartScripts)
{
    auto manager = adoptGRef(webkit_user_content_manager_new());
    for (const auto& source : documentStartScripts) {
        auto script = adoptGRef(webkit_user_script_new(source.c_str(), WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
            WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr));
        webkit_user_content_manager_add_script(manager.get(), script.get());
    }
    return manager;
}

void LauncherWebViewController::setUp()
{
    auto languages = preferredLanguages();
    auto context = makeWebContext(m_options, languages);
    auto session = makeNetworkSession(m_options.websiteDataStore);
    auto settings = makeSettings(m_options.allowsInspection);
    auto contentManager = makeUserContentManager(m_options.documentStartScripts);

    m_webView = glib::adoptFloatingGRef(WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", context.get(),
        "network-session", session.get(), "settings", settings.get(), "user-content-manager", contentManager.get(), nullptr)));

    m_navigationDelegate = std::make_unique<WebViewNavigationDelegate>(m_options.navigationPolicy, m_options.openExternal);
    m_dialogPresenter = std::make_unique<PageDialogPresenter>(std::move(languages));

    auto connect = [this](const char* signal, GCallback handler) {
        m_webViewSignals.push_back(SignalConnection::connect(m_webView.get(), signal, handler, this));
    };
    connect("decide-policy", G_CALLBACK(+[](WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type, LauncherWebViewController* self) -> gboolean {
        return self->m_navigationDelegate->decidePolicy(decision, type);
    }));
    connect("load-changed", G_CALLBACK(+[](WebKitWebView* webView, WebKitLoadEvent event, LauncherWebViewController* self) {
        // The main frame may only show what the policy allows for it: a sub-frame-only target
        // is stopped before it commits, or replaced by the web UI if it committed already.
        if ((event == WEBKIT_LOAD_STARTED || event == WEBKIT_LOAD_COMMITTED)
            && self->m_navigationDelegate->mainFrameLoadMustStop(webkit_web_view_get_uri(webView))) {
            if (event == WEBKIT_LOAD_STARTED) {
                self->m_navigationDelegate->markSelfCancelledMainFrameLoad();
                webkit_web_view_stop_loading(webView);
            } else {
                self->retry();
            }
            return;
        }
        // A load that never commits leaves the document, and its report, as they were.
        if (event == WEBKIT_LOAD_COMMITTED)
            self->m_extensionReported = false;
        if (event == WEBKIT_LOAD_STARTED) {
            self->setState(LauncherWebViewState::loading());
        } else if (event == WEBKIT_LOAD_FINISHED && self->m_state.stateCase() != LauncherWebViewState::Case::Failed) {
            if (self->m_extensionReported)
                self->setState(LauncherWebViewState::ready());
            else
                self->failWithoutExtension();
        }
    }));
    connect("load-failed", G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent, char* failingURI, GError*, LauncherWebViewController* self) -> gboolean {
        // A load we stopped, or one the main frame was never allowed to show, leaves the page as it was.
        bool cancelledByPolicy = self->m_navigationDelegate->takeSelfCancelledMainFrameLoad()
            || self->m_navigationDelegate->mainFrameLoadMustStop(failingURI);
        if (!cancelledByPolicy)
            self->setState(LauncherWebViewState::failed(LauncherWebViewFailure::navigationFailed()));
        return TRUE; // no engine error page
    }));
    connect("web-process-terminated", G_CALLBACK(+[](WebKitWebView*, WebKitWebProcessTerminationReason, LauncherWebViewController* self) {
        if (std::exchange(self->m_terminatingWebProcess, false))
            return;
        self->setState(LauncherWebViewState::failed(LauncherWebViewFailure::webContentProcessTerminated()));
    }));
    connect("create", G_CALLBACK(+[](WebKitWebView*, WebKitNavigationAction*, LauncherWebViewController*) -> GtkWidget* {
        return nullptr; // never a second web view
    }));
    connect("script-dialog", G_CALLBACK(+[](WebKitWebView* webView, WebKitScriptDialog* dialog, LauncherWebViewController* self) -> gboolean {
        return self->m_dialogPresenter->present(webView, dialog);
    }));

    m_pageReports = std::make_unique<PageReports>(m_webView.get(), m_options.writesPageConsole, [this] { m_extensionReported = true; });

    if (auto host = m_options.bridgeHost) {
        m_bridgeTransport = std::make_unique<BridgeMessageTransport>(m_webView.get(),
            [host](std::string body, bool isMainFrame, std::optional<std::string> documentURL, std::function<void(std::string)> reply) {
                host->handleMessage(body, isMainFrame, std::move(documentURL), std::move(reply));
            });
    }
}

// A page that loaded without the extension has no bridge and, worse, no file filter: it is a
// failed page, and its web process ends so none of its scripts keep running.
void LauncherWebViewController::failWithoutExtension()
{
    setState(LauncherWebViewState::failed(LauncherWebViewFailure::navigationFailed()));
    m_terminatingWebProcess = true;
    webkit_web_view_terminate_web_process(m_webView.get());
}

void LauncherWebViewController::setStateObserver(std::function<void(const LauncherWebViewState&)> observer)
{
    m_stateObserver = std::move(observer);
}

void LauncherWebViewController::setState(LauncherWebViewState state)
{
    if (m_state == state)
        return;
    m_state = state;
    if (m_stateObserver)
        m_stateObserver(m_state);
}

void LauncherWebViewController::load()
{
    auto current = m_state.stateCase();
    if (current == LauncherWebViewState::Case::Loading || current == LauncherWebViewState::Case::Ready)
        return;
    setState(LauncherWebViewState::loading());
    webkit_web_view_load_uri(m_webView.get(), m_options.webUIBundle.indexURL.string().c_str());
}

void LauncherWebViewController::retry()
{
    if (webkit_web_view_is_loading(m_webView.get())) {
        m_navigationDelegate->markSelfCancelledMainFrameLoad();
        webkit_web_view_stop_loading(m_webView.get());
    }
    setState(LauncherWebViewState::idle());
    load();
}

void LauncherWebViewController::dispatchNativeEvent(const std::string& name, const BridgeValue& payload, std::function<void(bool succeeded)> completion)
{
    callPageScript(m_webView.get(), "window.__quorinNativeDispatch?.(eventName, payload);",
        { { "eventName", BridgeValue::string(name) }, { "payload", payload } }, m_pageScripts, std::move(completion));
}

} // namespace quorin
