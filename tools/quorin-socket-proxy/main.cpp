// quorin-socket-proxy: runs the launcher's local WebSocket proxy for one game server, for game
// developers and benchmarks.
//
//     quorin-socket-proxy HOST [--connect-to IPV4:PORT]
//
// HOST must be an allowed game-server host (port 25565). `--connect-to` replaces the name
// lookup and its public-address rule with that address, which may be loopback: for local
// testing only, the launcher never does this. Output contract: the proxy's
// "ws://127.0.0.1:PORT/PATH" as the first line, then, after SIGINT or SIGTERM, the lines
// "bytesToServer N" and "bytesFromServer N" and exit 0. A refused host or a failed start
// prints its code (such as GAME_SOCKET_CONFIGURATION_INVALID) and exits 1; bad usage prints
// the usage to standard error and exits 64.

#include "core/glib/GRef.h"
#include "game/LocalWebSocketProxy.h"

#include <glib-unix.h>

#include <cstdio>
#include <csignal>
#include <optional>
#include <string>

namespace {

using namespace quorin;

constexpr int usageExitStatus = 64;

struct Destination {
    std::string address;
    std::uint16_t port;
};

// "IPV4:PORT" with a dotted IPv4 address and a port 1 to 65535.
std::optional<Destination> parseDestination(const std::string& text)
{
    auto colon = text.rfind(':');
    if (colon == std::string::npos)
        return std::nullopt;
    std::string address = text.substr(0, colon);
    auto parsed = glib::adoptGRef(g_inet_address_new_from_string(address.c_str()));
    std::string port = text.substr(colon + 1);
    if (!parsed || g_inet_address_get_family(parsed.get()) != G_SOCKET_FAMILY_IPV4 || port.empty() || port.size() > 5
        || port.find_first_not_of("0123456789") != std::string::npos || std::stoi(port) < 1 || std::stoi(port) > 65535)
        return std::nullopt;
    return Destination { address, static_cast<std::uint16_t>(std::stoi(port)) };
}

std::unique_ptr<LocalWebSocketProxy> makeProxy(const SocketProxyConfiguration& configuration, const std::optional<Destination>& destination)
{
    if (!destination)
        return std::make_unique<LocalWebSocketProxy>(configuration);
    return std::make_unique<LocalWebSocketProxy>(destination->port,
        [address = destination->address](ResolveCompletion completion) { completion(address); }, LocalWebSocketProxy::Durations {});
}

int run(const SocketProxyConfiguration& configuration, const std::optional<Destination>& destination)
{
    std::unique_ptr<GMainLoop, decltype(&g_main_loop_unref)> owner(g_main_loop_new(nullptr, FALSE), g_main_loop_unref);
    GMainLoop* loop = owner.get();
    auto proxy = makeProxy(configuration, destination);
    int status = 0;
    proxy->start([&](Result<Url, LauncherGameError> started) {
        if (started.isError()) {
            std::printf("%s\n", started.error().code().c_str());
            status = 1;
            g_main_loop_quit(loop);
            return;
        }
        std::printf("%s\n", started->string().c_str());
        std::fflush(stdout);
    });
    auto quit = +[](gpointer mainLoop) -> gboolean {
        g_main_loop_quit(static_cast<GMainLoop*>(mainLoop));
        return G_SOURCE_CONTINUE;
    };
    guint interrupt = g_unix_signal_add(SIGINT, quit, loop);
    guint terminate = g_unix_signal_add(SIGTERM, quit, loop);
    g_main_loop_run(loop);
    g_source_remove(interrupt);
    g_source_remove(terminate);
    if (status != 0)
        return status;
    proxy->stop();
    std::printf("bytesToServer %llu\nbytesFromServer %llu\n", static_cast<unsigned long long>(proxy->bytesToServer()),
        static_cast<unsigned long long>(proxy->bytesFromServer()));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::optional<Destination> destination;
    bool connectsTo = argc == 4 && std::string(argv[2]) == "--connect-to";
    if (connectsTo)
        destination = parseDestination(argv[3]);
    if ((argc != 2 && !connectsTo) || (connectsTo && !destination)) {
        std::fprintf(stderr, "usage: quorin-socket-proxy HOST [--connect-to IPV4:PORT]\n");
        return usageExitStatus;
    }
    auto configuration = SocketProxyConfiguration::create(argv[1], SocketProxyConfiguration::gameServerPort);
    if (configuration.isError()) {
        std::printf("%s\n", configuration.error().code().c_str());
        return 1;
    }
    return run(configuration.value(), destination);
}
