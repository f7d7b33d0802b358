#include "e2e/ControllerFixture.h"

#include "bridge/BridgeBootstrapScript.h"
#include "bridge/BridgeDispatcher.h"
#include "bridge/LauncherBridgeHost.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace quorin::test {

FixtureFolder::FixtureFolder()
{
    std::filesystem::create_directories(QUORIN_E2E_FIXTURE_ROOT);
    std::string pattern = std::string(QUORIN_E2E_FIXTURE_ROOT) + "/controller-XXXXXX";
    if (!g_mkdtemp(pattern.data()))
        ADD_FAILURE() << "cannot create a fixture folder under " << QUORIN_E2E_FIXTURE_ROOT;
    m_path = pattern;
}

FixtureFolder::~FixtureFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string FixtureFolder::write(const std::string& relativePath, const std::string& content) const
{
    std::filesystem::path file = std::filesystem::path(m_path) / relativePath;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary | std::ios::trunc) << content;
    return Url::fileURL(file.string()).string();
}

static BridgeValue::Object testRuntimeConfig()
{
    return {
        { "apiBaseUrl", BridgeValue::string("https://api.quorin42.test/api") },
        { "isPackaged", BridgeValue::boolean(true) },
        { "missingKeys", BridgeValue::array({}) },
    };
}

ControllerFixture::ControllerFixture(const ControllerSetup& setup)
    : m_runtimeConfig(testRuntimeConfig())
    , m_page(nullptr)
{
    m_folder.write("WebUI/renderer/index.html", setup.indexHTML);
    if (setup.indexPath != "WebUI/renderer/index.html")
        m_folder.write(setup.indexPath, setup.indexHTML);
    auto folderURL = [this](const std::string& relative) { return Url::fileURL(m_folder.path() + (relative.empty() ? "" : "/" + relative)); };
    WebUIBundle bundle { folderURL(setup.bundleRoot), folderURL(setup.indexPath), 1 };
    LauncherNavigationPolicy policy(bundle.rootURL, *Url::parse(authOrigin), { *Url::parse(gameOrigin) });

    auto service = DefaultLauncherBridgeService::create(m_runtimeConfig, "9.9.9");
    auto host = std::make_shared<LauncherBridgeHost>(std::make_shared<BridgeDispatcher>(service), folderURL(setup.bridgeRoot));
    BridgeValue::Object nativeHost {
        { "kind", BridgeValue::string("linux") },
        { "version", BridgeValue::string("9.9.9") },
        { "applicationId", BridgeValue::string("com.quorin42.desktop") },
    };
    auto script = BridgeBootstrapScript::make(m_runtimeConfig, nativeHost);
    EXPECT_TRUE(script.hasValue());

    auto opened = m_externallyOpened;
    m_controller = LauncherWebViewController::create(LauncherWebViewControllerOptions {
        .webUIBundle = bundle,
        .navigationPolicy = policy,
        .documentStartScripts = { script.hasValue() ? script.value() : std::string() },
        .bridgeHost = host,
        .allowsInspection = false,
        .websiteDataStore = WebsiteDataStore::ephemeral(),
        .openExternal = [opened](const Url& url) { opened->push_back(url.string()); },
        .webProcessExtensionsDirectory = QUORIN_WEB_EXTENSION_DIR,
    });
    m_page = PageDriver(m_controller->webView());

    m_window = GTK_WINDOW(gtk_window_new());
    gtk_window_set_default_size(m_window, 800, 600);
    gtk_window_set_child(m_window, GTK_WIDGET(m_controller->webView()));
    gtk_window_present(m_window);
}

ControllerFixture::~ControllerFixture()
{
    gtk_window_destroy(m_window);
    m_controller.reset();
    runFor(std::chrono::milliseconds(10));
}

bool ControllerFixture::waitForState(LauncherWebViewState state)
{
    return runUntil([&] { return m_controller->state() == state; });
}

bool ControllerFixture::loadAndWait()
{
    m_controller->load();
    return waitForState(LauncherWebViewState::ready());
}

} // namespace quorin::test
