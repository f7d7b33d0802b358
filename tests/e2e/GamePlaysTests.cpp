// A movie plays in the real launcher: the test web UI calls "game.open", puts the host page
// in a frame, Ruffle starts the test movie from a local HTTPS game origin, the movie's
// flash.net.Socket reaches a TCP echo server through the session's socket proxy, and the
// movie reports back through ExternalInterface to the host page and on to the web UI.

#include "core/BuildConfig.h"
#include "e2e/LauncherPage.h"
#include "game/LocalWebSocketProxy.h"
#include "game/RuffleRuntimePreload.h"
#include "game/proxy/TcpServer.h"
#include "shell/ServiceAssembly.h"

#include <gtest/gtest.h>
#include <libsoup/soup.h>

namespace quorin::test {
namespace {

const std::string gameServer = "server1." + std::string(BuildConfig::gameServerDomain);

// The game origin https://127.0.0.1 (port 443, as game origins are), serving the movie and
// its configuration, which names the game server, to any page; its certificate is made for
// this run and trusted by this test's web view only.
struct LocalGameOrigin {
    explicit LocalGameOrigin(const testing::TemporaryDirectory& folder)
    {
        folder.write("config.xml", gameServer + " 25565");
        configPath = folder.pathOf("config.xml");
        auto certificatePath = folder.pathOf("certificate.pem"), keyPath = folder.pathOf("key.pem");
        auto command = "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 1 -subj /CN=127.0.0.1"
                       " -addext subjectAltName=IP:127.0.0.1 -keyout " + keyPath + " -out " + certificatePath + " 2>/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0);
        certificate = glib::adoptGRef(g_tls_certificate_new_from_files(certificatePath.c_str(), keyPath.c_str(), nullptr));
        server = glib::adoptGRef(static_cast<SoupServer*>(g_object_new(SOUP_TYPE_SERVER, "tls-certificate", certificate.get(), nullptr)));
        auto serve = +[](SoupServer*, SoupServerMessage* message, const char* path, GHashTable*, gpointer file) {
            gchar* contents = nullptr;
            gsize size = 0;
            g_file_get_contents(static_cast<const char*>(file), &contents, &size, nullptr);
            soup_message_headers_replace(soup_server_message_get_response_headers(message), "Access-Control-Allow-Origin", "*");
            soup_server_message_set_response(message, g_str_has_suffix(path, ".swf") ? "application/x-shockwave-flash" : "text/plain", SOUP_MEMORY_TAKE, contents, size);
            soup_server_message_set_status(message, 200, nullptr);
        };
        soup_server_add_handler(server.get(), "/flash/Loading.swf", serve, const_cast<char*>(QUORIN_TEST_MOVIE), nullptr);
        soup_server_add_handler(server.get(), "/flash/config.xml", serve, configPath.data(), nullptr);
        listening = soup_server_listen_local(server.get(), 443, SoupServerListenOptions(SOUP_SERVER_LISTEN_HTTPS | SOUP_SERVER_LISTEN_IPV4_ONLY), nullptr);
    }

    std::string configPath;
    glib::GRef<GTlsCertificate> certificate;
    glib::GRef<SoupServer> server;
    bool listening { false };
};

// Records the host page's messages, and opens the game in a frame when asked.
constexpr auto testPage = R"(<!doctype html><script>
window.reports = [];
addEventListener('message', (event) => reports.push(event.data));
async function play(payload) {
  const opened = await electronAPI.game.open(payload);
  document.body.append(Object.assign(document.createElement('iframe'), { src: opened.hostURL }));
  return opened.ok;
}
</script>)";

TEST(GamePlays, TheMovieStartsAndItsSocketReachesTheGameServerThroughTheProxy)
{
    testing::TemporaryDirectory folder;
    LocalGameOrigin origin(folder);
    if (!origin.listening)
        GTEST_SKIP() << "127.0.0.1:443 is taken or needs privileges this run does not have";
    folder.write("WebUI/renderer/index.html", testPage);
    WebUIBundle bundle { Url::fileURL(folder.pathOf("WebUI")), Url::fileURL(folder.pathOf("WebUI/renderer/index.html")), 1 };
    auto configuration = LauncherConfiguration::decode(R"({"schemaVersion": 1, "product": { "displayName": "Quorin 4.2 Test", "bundleIdentifier": "com.quorin42.test" },
      "window": { "initialWidth": 1440, "initialHeight": 800, "minimumWidth": 1024, "minimumHeight": 640 }, "apiOrigin": "https://api.quorin42.net",
      "authOrigin": "https://login.quorin42.net", "gameOrigins": ["https://127.0.0.1"],
      "gameSockets": [{ "host": ")" + gameServer + R"(", "port": 25565 }], "updateFeedURL": "https://updates.quorin42.net/feed.yml"})");
    ServiceAssemblyEnvironment environment;
    environment.webProcessExtensionsDirectory = QUORIN_WEB_EXTENSION_DIR;
    environment.gameRuntime = std::make_shared<RuffleRuntimePreload>(QUORIN_BUNDLE_DIR "/Contents/Resources");
    environment.storagePlatform.environmentVariable = [storage = folder.pathOf("storage")](const std::string& name) -> std::optional<std::string> {
        return name == "QUORIN_TESTING" ? "1" : name == "QUORIN_TEST_APP_SUPPORT_DIRECTORY" ? std::optional(storage) : std::nullopt;
    };
    environment.websiteDataStore = WebsiteDataStore::ephemeral();
    // The launcher's own proxy, whose lookup of the game server leads to the echo server.
    TcpServer echoServer(Server::Echoes);
    environment.makeGameSocketProxy = [port = echoServer.port](const SocketProxyConfiguration&) {
        return std::make_shared<LocalWebSocketProxy>(port, [](ResolveCompletion done) { done(std::string("127.0.0.1")); }, LocalWebSocketProxy::Durations {});
    };
    auto assembly = assembleServices(configuration.value(), bundle, [](const Url&) {}, environment);
    ASSERT_TRUE(assembly.hasValue());
    auto* webView = assembly->controller->webView();
    std::unique_ptr<GtkWindow, void (*)(GtkWindow*)> window(showInWindow(GTK_WIDGET(webView)).get(), gtk_window_destroy);
    webkit_network_session_allow_tls_certificate_for_host(webkit_web_view_get_network_session(webView), origin.certificate.get(), "127.0.0.1");
    assembly->controller->load();
    ASSERT_TRUE(runUntil([&] { return assembly->controller->state() == LauncherWebViewState::ready(); }));

    EXPECT_EQ(awaitedValue(webView, R"(return await play({ serverId: "s1", locale: "tr", flash: "https://127.0.0.1/flash/", config: "https://127.0.0.1/flash/config.xml", user: "player", key: "k" });)"), "true");
    runUntil([&] { return pageValue(webView, "reports.length") == "2"; });
    EXPECT_EQ(pageValue(webView, "reports.map((report) => [report.type, report.name, report.detail])"),
        R"([["quorinGameEvent","started","player tr"],["quorinGameEvent","echoed","hello from the movie"]])");
}

} // namespace
} // namespace quorin::test
