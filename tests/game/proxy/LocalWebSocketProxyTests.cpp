#include "core/glib/AsyncScope.h"
#include "core/glib/GRef.h"
#include "core/glib/SignalConnection.h"
#include "game/LocalWebSocketProxy.h"
#include "game/WebSocketClientFrame.h"
#include "game/proxy/TcpServer.h"
#include "support/PageScriptRunner.h"

#include <gtest/gtest.h>
#include <libsoup/soup.h>

#include <filesystem>
#include <fstream>
#include <sys/socket.h>
#include <unistd.h>

namespace quorin {
namespace {

using namespace std::chrono_literals;
namespace ws = WebSocketCodec;
using glib::adoptGRef;

const auto runUntil = [](const std::function<bool()>& condition, std::chrono::milliseconds timeout = 5s) { return PageScriptRunner::runUntil(condition, timeout); };

// A client that writes exactly the bytes it is given and reads without interpreting them.
struct RawClient {
    explicit RawClient(const Url& url)
        : connection(adoptGRef(g_socket_client_connect(client.get(), G_SOCKET_CONNECTABLE(adoptGRef(g_inet_socket_address_new_from_string("127.0.0.1", static_cast<guint>(*url.port()))).get()), nullptr, nullptr)))
        , socket(g_socket_connection_get_socket(connection.get()))
        , handshake("GET " + url.percentEncodedPath() + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(*url.port())
              + "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Version: 13\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n\r\n")
    {
        g_socket_set_blocking(socket, FALSE);
    }
    void send(std::string_view bytes)
    {
        while (!bytes.empty() && runUntil([&] { return g_socket_condition_check(socket, G_IO_OUT) != 0; }))
            bytes.remove_prefix(static_cast<std::size_t>(std::max<gssize>(0, g_socket_send(socket, bytes.data(), bytes.size(), nullptr, nullptr))));
    }
    // Reads until `size` bytes arrived (or 5 s passed); false once the connection ended.
    bool read(std::size_t size)
    {
        char chunk[65536];
        for (gssize count = 1; received.size() < size; received.append(chunk, static_cast<std::size_t>(count))) {
            if (!runUntil([&] { return g_socket_condition_check(socket, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR)) != 0; }))
                return true;
            if ((count = g_socket_receive(socket, chunk, sizeof chunk, nullptr, nullptr)) <= 0)
                return false;
        }
        return true;
    }
    bool upgrade(std::string_view firstFrames = {})
    {
        send(handshake + std::string(firstFrames));
        return read(129) && received.starts_with("HTTP/1.1 101 Switching Protocols\r\n") && (received.erase(0, 129), true);
    }
    bool dropped() { return !read(received.size() + 1); }

    glib::GRef<GSocketClient> client = adoptGRef(g_socket_client_new());
    glib::GRef<GSocketConnection> connection;
    GSocket* socket;
    std::string handshake, received;
};

struct LocalWebSocketProxyTest : testing::Test {
    void start(Server serving = Server::Echoes, LocalWebSocketProxy::Durations durations = {})
    {
        server = std::make_unique<TcpServer>(serving);
        proxy = std::make_unique<LocalWebSocketProxy>(server->port, [](ResolveCompletion done) { done(std::string("127.0.0.1")); }, durations);
        std::optional<Result<Url, LauncherGameError>> started;
        proxy->start([&](auto outcome) { started = outcome; });
        ASSERT_TRUE(runUntil([&] { return started.has_value(); }) && started->hasValue());
        url = started->value();
    }
    std::unique_ptr<TcpServer> server;
    std::unique_ptr<LocalWebSocketProxy> proxy;
    Url url = *Url::parse("ws://127.0.0.1/");
};

TEST_F(LocalWebSocketProxyTest, SoupClientRelaysBinaryBothWaysAndClosesCleanly)
{
    start();
    EXPECT_EQ(url.string().size(), std::string("ws://127.0.0.1:").size() + std::to_string(*url.port()).size() + 73);
    auto session = adoptGRef(soup_session_new());
    auto message = adoptGRef(soup_message_new("GET", url.string().c_str()));
    glib::AsyncScope scope;
    glib::GRef<SoupWebsocketConnection> socket;
    auto call = scope.call([&](GObject* source, GAsyncResult* result) { socket = adoptGRef(soup_session_websocket_connect_finish(SOUP_SESSION(source), result, nullptr)); });
    soup_session_websocket_connect_async(session.get(), message.get(), nullptr, nullptr, G_PRIORITY_DEFAULT, call.cancellable, call.callback, call.data);
    ASSERT_TRUE(runUntil([&] { return bool(socket); }));

    std::string echoed, sent = std::string(70000, 'a') + "bc";
    auto onMessage = glib::SignalConnection::connect(socket.get(), "message", G_CALLBACK(+[](SoupWebsocketConnection*, gint, GBytes* bytes, std::string* into) {
        into->append(static_cast<const char*>(g_bytes_get_data(bytes, nullptr)), g_bytes_get_size(bytes));
    }), &echoed);
    soup_websocket_connection_send_binary(socket.get(), sent.data(), 70000);
    soup_websocket_connection_send_binary(socket.get(), sent.data() + 70000, 2);
    ASSERT_TRUE(runUntil([&] { return echoed.size() == sent.size(); }));
    EXPECT_TRUE(echoed == sent && proxy->bytesToServer() == sent.size() && proxy->bytesFromServer() == sent.size());

    soup_websocket_connection_close(socket.get(), SOUP_WEBSOCKET_CLOSE_NORMAL, "done");
    EXPECT_TRUE(runUntil([&] { return soup_websocket_connection_get_close_code(socket.get()) == SOUP_WEBSOCKET_CLOSE_NORMAL && proxy->activeConnectionCount() == 0; }));
}

TEST_F(LocalWebSocketProxyTest, FrameWithTheHandshakePingAndCloseOnTheRawWire)
{
    start();
    RawClient client(url);
    ASSERT_TRUE(client.upgrade(maskedFrame(ws::encode("first", ws::Binary))));
    ASSERT_TRUE(client.read(7));
    client.send(maskedFrame(ws::encode("abc", ws::Ping)) + maskedFrame(ws::encode("\x03\xED", ws::Close)));
    EXPECT_FALSE(client.read(7 + 5 + 4 + 1));
    EXPECT_EQ(client.received, ws::encode("first", ws::Binary) + ws::encode("abc", ws::Pong) + ws::encode("\x03\xEA", ws::Close));
    EXPECT_EQ(proxy->bytesToServer(), 5u);
}

TEST_F(LocalWebSocketProxyTest, ProtocolFaultsDropTheClient)
{
    start(Server::Swallows);
    std::string half = maskedFrame(ws::encode("ab", ws::Binary), 0x02);
    for (std::string fault : { maskedFrame(ws::encode("text", 1)), ws::encode("unmasked", ws::Binary), maskedFrame(ws::encode("c", 0)),
             half + maskedFrame(ws::encode("again", ws::Binary)) }) {
        RawClient client(url);
        ASSERT_TRUE(client.upgrade());
        client.send(fault);
        EXPECT_TRUE(client.dropped()) << testing::PrintToString(fault);
    }
    // A message of 1 MiB and one byte: the first fragments are relayed before the drop.
    RawClient client(url);
    ASSERT_TRUE(client.upgrade());
    std::string fragment(ws::payloadLimit / 2, 'x');
    client.send(maskedFrame(ws::encode(fragment, ws::Binary), 0x02) + maskedFrame(ws::encode(fragment, 0), 0x00) + maskedFrame(ws::encode("x", 0), 0x80));
    EXPECT_TRUE(client.dropped());
    EXPECT_EQ(proxy->bytesToServer(), 2 + ws::payloadLimit);
}

TEST_F(LocalWebSocketProxyTest, FifthClientRefusedUntilOneLeaves)
{
    start();
    std::vector<std::unique_ptr<RawClient>> clients;
    for (int i = 0; i < 4; ++i) {
        clients.push_back(std::make_unique<RawClient>(url));
        ASSERT_TRUE(clients.back()->upgrade());
    }
    RawClient fifth(url);
    EXPECT_TRUE(fifth.dropped());
    clients.pop_back();
    ASSERT_TRUE(runUntil([&] { return proxy->activeConnectionCount() == 3; }));
    EXPECT_TRUE(RawClient(url).upgrade());
}

// The slow client keeps sending its handshake a byte at a time; the silent one sends nothing.
TEST_F(LocalWebSocketProxyTest, SilentAndSlowHandshakesAndIdlePairDroppedAtTheirDeadlines)
{
    start(Server::Echoes, { 300ms, 100ms, 900ms });
    RawClient silent(url), slow(url), idle(url);
    ASSERT_TRUE(idle.upgrade());
    auto begin = std::chrono::steady_clock::now();
    auto elapsed = [&] { return std::chrono::steady_clock::now() - begin; };
    for (std::size_t sent = 0; sent < slow.handshake.size() && !g_socket_condition_check(slow.socket, G_IO_IN); ++sent) {
        EXPECT_FALSE(elapsed() < 250ms && g_socket_condition_check(silent.socket, G_IO_IN)) << sent;
        slow.send(slow.handshake.substr(sent, 1));
        PageScriptRunner::runFor(50ms);
    }
    EXPECT_TRUE(slow.dropped() && silent.dropped());
    auto handshakeTime = elapsed();
    EXPECT_TRUE(idle.dropped());
    EXPECT_TRUE(handshakeTime >= 250ms && handshakeTime < 2s && elapsed() >= 800ms && elapsed() < 3s)
        << std::chrono::duration_cast<std::chrono::milliseconds>(handshakeTime).count();
}

TEST_F(LocalWebSocketProxyTest, StartRefusalsAndStopDuringStart)
{
    std::vector<std::string> outcomes;
    auto record = [&](Result<Url, LauncherGameError> outcome) { outcomes.push_back(outcome ? outcome->string() : outcome.error().code()); };
    ResolveCompletion pending;
    LocalWebSocketProxy waiting(25565, [&](ResolveCompletion done) { pending = done; }, {});
    waiting.start(record);
    waiting.stop();
    pending(std::string("127.0.0.1"));
    LocalWebSocketProxy refused(25565, [](ResolveCompletion done) { done(fail(LauncherGameError::socketConfigurationInvalid())); }, {});
    refused.start(record);
    start();
    proxy->start(record);
    ASSERT_TRUE(runUntil([&] { return outcomes.size() == 3; }, 1s));
    EXPECT_EQ(outcomes, (std::vector<std::string> { "GAME_SOCKET_UNAVAILABLE", "GAME_SOCKET_CONFIGURATION_INVALID", "GAME_SOCKET_UNAVAILABLE" }));
    EXPECT_FALSE(runUntil([&] { return outcomes.size() > 3 || waiting.webSocketURL(); }, 100ms));
}

// Dropped long before the 10-second deadline: at the size limit without the empty line, and by the codec with it.
TEST_F(LocalWebSocketProxyTest, OversizedHandshakeDroppedAtOnce)
{
    start();
    for (std::string end : { "", "\r\n" }) {
        RawClient client(url);
        client.send(client.handshake.substr(0, client.handshake.size() - 2) + "X-Padding: " + std::string(ws::handshakeLimit, 'p') + "\r\n" + end);
        EXPECT_TRUE(client.dropped()) << end.size();
    }
}

// Each ping waits for its pong to be written before the next is read, and none reaches the server.
TEST_F(LocalWebSocketProxyTest, PingFloodAnsweredInOrderAndNeverRelayed)
{
    start();
    RawClient client(url);
    ASSERT_TRUE(client.upgrade());
    std::string pings, pongs;
    for (int i = 0; i < 10000; ++i) {
        pings += maskedFrame(ws::encode(std::to_string(i), ws::Ping));
        pongs += ws::encode(std::to_string(i), ws::Pong);
        if (i % 100 == 99) {
            client.send(std::exchange(pings, {}));
            ASSERT_TRUE(client.read(pongs.size())) << i;
        }
    }
    EXPECT_TRUE(client.received == pongs && proxy->bytesToServer() == 0 && proxy->activeConnectionCount() == 1);
}

// The proxy reads the next 16 KiB from the server only once the last ones were written to the
// client, so a client that never reads stops the server, and the proxy holds one read at most.
TEST_F(LocalWebSocketProxyTest, ClientThatNeverReadsHoldsTheServerBackNotTheProxysMemory)
{
    // Each file's third number: the most a loopback socket buffers in the kernel.
    std::uint64_t pages = 0, residentAtStart = 0, residentAtEnd = 0, smallest = 0, initial = 0, readLimit = 0, writeLimit = 0;
    std::ifstream("/proc/sys/net/ipv4/tcp_rmem") >> smallest >> initial >> readLimit;
    std::ifstream("/proc/sys/net/ipv4/tcp_wmem") >> smallest >> initial >> writeLimit;
    start(Server::Floods);
    RawClient client(url);
    ASSERT_TRUE(client.upgrade());
    std::ifstream("/proc/self/statm") >> pages >> residentAtStart;
    std::uint64_t relayed = 0;
    for (int check = 0; check < 50 && (check < 2 || relayed != proxy->bytesFromServer()); ++check) {
        relayed = proxy->bytesFromServer();
        PageScriptRunner::runFor(300ms);
    }
    EXPECT_EQ(proxy->bytesFromServer(), relayed);
    EXPECT_LT(server->flooded, 256u << 20);
    EXPECT_LE(relayed, readLimit + writeLimit + 16384 + client.received.size());
    std::ifstream("/proc/self/statm") >> pages >> residentAtEnd;
    EXPECT_LT(residentAtEnd, residentAtStart + (64u << 20) / static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE)));
    EXPECT_EQ(proxy->activeConnectionCount(), 1u);
    // A server reset while the relay waits to write to the client still ends the pair at once.
    GSocket* serverSide = g_socket_connection_get_socket(server->latest.get());
    linger reset { 1, 0 };
    setsockopt(g_socket_get_fd(serverSide), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    g_socket_close(serverSide, nullptr);
    EXPECT_TRUE(runUntil([&] { return proxy->activeConnectionCount() == 0; }, 1s));
}

TEST_F(LocalWebSocketProxyTest, TenThousandConnectionsLeaveNoDescriptorOrPeer)
{
    start();
    auto openDescriptors = [] { return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}); };
    auto connectAndLeave = [&](int i) { return i % 2 || RawClient(url).upgrade(); }; // odd ones leave during the handshake
    ASSERT_TRUE(connectAndLeave(0)); // GLib keeps what it opens on first use (wake-up descriptors) for the process
    ASSERT_TRUE(runUntil([&] { return proxy->activeConnectionCount() == 0; }));
    PageScriptRunner::runFor(300ms);
    auto before = openDescriptors();
    for (int i = 0; i < 10000; ++i)
        ASSERT_TRUE(connectAndLeave(i)) << i;
    EXPECT_TRUE(runUntil([&] { return proxy->activeConnectionCount() == 0 && openDescriptors() == before; })) << openDescriptors() << " " << before;
}

} // namespace
} // namespace quorin
