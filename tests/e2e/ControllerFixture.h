#pragma once

// A real launcher web view for end-to-end tests: a web UI folder written by the test, the
// real bootstrap script, bridge host and bridge service, shown in a window.

#include "bridge/DefaultLauncherBridgeService.h"
#include "e2e/PageDriver.h"
#include "webview/LauncherWebViewController.h"

#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <vector>

namespace quorin::test {

// A temporary folder under the build tree (the sandboxed engine has a private /tmp).
class FixtureFolder {
public:
    FixtureFolder();
    ~FixtureFolder();
    FixtureFolder(const FixtureFolder&) = delete;
    FixtureFolder& operator=(const FixtureFolder&) = delete;

    const std::string& path() const { return m_path; }
    // Writes a file (path relative to the folder) and returns its file URL text.
    std::string write(const std::string& relativePath, const std::string& content) const;

private:
    std::string m_path;
};

struct ControllerSetup {
    // Page text of "WebUI/renderer/index.html".
    std::string indexHTML;
    // Where the controller loads its index from, relative to the fixture folder.
    std::string indexPath { "WebUI/renderer/index.html" };
    // The web UI folder the controller and its navigation policy are given, relative to the
    // fixture folder.
    std::string bundleRoot { "WebUI" };
    // The folder the bridge host accepts documents from, relative to the fixture folder.
    std::string bridgeRoot { "WebUI" };
};

class ControllerFixture {
public:
    static constexpr const char* authOrigin = "https://login.quorin42.test";
    static constexpr const char* gameOrigin = "https://play.quorin42.test";

    explicit ControllerFixture(const ControllerSetup& setup);
    ~ControllerFixture();

    LauncherWebViewController& controller() { return *m_controller; }
    WebKitWebView* webView() const { return m_controller->webView(); }
    GtkWindow* window() const { return m_window; }
    const PageDriver& page() const { return m_page; }
    const FixtureFolder& folder() const { return m_folder; }
    const BridgeValue::Object& runtimeConfig() const { return m_runtimeConfig; }
    const std::vector<std::string>& externallyOpened() const { return *m_externallyOpened; }

    // Loads the index page and waits until the controller is ready.
    bool loadAndWait();
    // Waits until the state is the given one.
    bool waitForState(LauncherWebViewState state);

private:
    FixtureFolder m_folder;
    BridgeValue::Object m_runtimeConfig;
    std::shared_ptr<std::vector<std::string>> m_externallyOpened { std::make_shared<std::vector<std::string>>() };
    std::shared_ptr<LauncherWebViewController> m_controller;
    GtkWindow* m_window { nullptr };
    PageDriver m_page;
};

} // namespace quorin::test
