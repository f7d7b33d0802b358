#include "e2e/LauncherPage.h"

#include "bridge/BridgeBootstrapScript.h"
#include "bridge/DefaultLauncherBridgeService.h"
#include "bridge/LauncherBridgeHost.h"
#include "support/PageScriptRunner.h"

#include <gtest/gtest.h>

#ifndef QUORIN_WEB_EXTENSION_DIR
#error "QUORIN_WEB_EXTENSION_DIR must name the folder of the built web-process extension"
#endif

namespace quorin::test {

bool runUntil(const std::function<bool()>& predicate)
{
    bool held = PageScriptRunner::runUntil(predicate, timeout);
    EXPECT_TRUE(held) << "timed out after " << timeout.count() << " ms";
    return held;
}

static std::string valueOrFailure(Result<std::string, std::string> result, const std::string& script)
{
    if (result.isError()) {
        ADD_FAILURE() << "script failed: " << result.error() << "\n" << script;
        return "<error: " + result.error() + ">";
    }
    return result.releaseValue();
}

std::string pageValue(WebKitWebView* webView, const std::string& script)
{
    return valueOrFailure(PageScriptRunner(webView).evaluate(script, timeout), script);
}

std::string awaitedValue(WebKitWebView* webView, const std::string& asyncBody)
{
    return valueOrFailure(PageScriptRunner(webView).callAsync(asyncBody, timeout), asyncBody);
}

glib::GRef<GtkWindow> showInWindow(GtkWidget* child)
{
    auto window = glib::retainGRef(GTK_WINDOW(gtk_window_new()));
    gtk_window_set_default_size(window.get(), 800, 600);
    gtk_window_set_child(window.get(), child);
    gtk_window_present(window.get());
    return window;
}

static std::shared_ptr<LauncherWebViewController> makeController(const testing::TemporaryDirectory& folder, const LauncherPage::Setup& setup,
    std::vector<std::string>& externallyOpened)
{
    folder.write(setup.indexPath, setup.indexHTML);
    auto folderURL = [&](const std::string& relative) { return Url::fileURL(relative.empty() ? folder.path() : folder.pathOf(relative)); };
    BridgeValue::Object runtimeConfig { { "apiBaseUrl", BridgeValue::string("https://api.quorin42.test/api") }, { "isPackaged", BridgeValue::boolean(true) }, { "missingKeys", BridgeValue::array({}) } };
    BridgeValue::Object nativeHost { { "kind", BridgeValue::string("linux") }, { "version", BridgeValue::string("9.9.9") }, { "applicationId", BridgeValue::string("com.quorin42.desktop") } };
    auto service = DefaultLauncherBridgeService::create(runtimeConfig, "9.9.9");
    WebUIBundle bundle { folderURL(setup.bundleRoot), folderURL(setup.indexPath), 1 };
    return LauncherWebViewController::create({
        .webUIBundle = bundle,
        .navigationPolicy = LauncherNavigationPolicy(bundle.rootURL, *Url::parse("https://login.quorin42.test"), { *Url::parse("https://play.quorin42.test") }),
        .documentStartScripts = { MUST(BridgeBootstrapScript::make(runtimeConfig, nativeHost)) },
        .bridgeHost = std::make_shared<LauncherBridgeHost>(std::make_shared<BridgeDispatcher>(service), folderURL(setup.bridgeRoot)),
        .gameSchemeHandler = setup.gameSchemeHandler,
        .allowsInspection = false,
        .writesPageConsole = setup.writesPageConsole,
        .websiteDataStore = setup.persistentWebsiteData ? WebsiteDataStore::persistent(folder.pathOf("data"), folder.pathOf("cache"))
                                                        : WebsiteDataStore::ephemeral(),
        .openExternal = [&externallyOpened](const Url& url) { externallyOpened.push_back(url.string()); },
        .webProcessExtensionsDirectory = setup.extensionsFolder ? folder.makeDirectory(*setup.extensionsFolder) : QUORIN_WEB_EXTENSION_DIR,
    });
}

LauncherPage::LauncherPage(const Setup& setup)
    : controller(makeController(folder, setup, externallyOpened))
    , window(showInWindow(GTK_WIDGET(controller->webView())))
{
}

LauncherPage::~LauncherPage()
{
    gtk_window_destroy(window.get());
    window.reset();
    controller.reset();
    // Let the engine see the view go before the next test starts a new one.
    PageScriptRunner::runFor(std::chrono::milliseconds(10));
}

bool LauncherPage::load()
{
    controller->load();
    return runUntil([this] { return controller->state() == LauncherWebViewState::ready(); });
}

} // namespace quorin::test
