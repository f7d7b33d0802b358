#include "LocalWebSocketProxy.h"

#include "core/glib/GError.h"
#include "core/glib/MainLoop.h"
#include "game/MainLoopTimer.h"
#include "game/SocketWaits.h"
#include "game/WebSocketCodec.h"

#include <netinet/in.h>
#include <netinet/tcp.h>

#include <deque>
#include <vector>

namespace quorin {

namespace {

constexpr std::size_t maxPeers = 4;
constexpr gsize readSize = 16384;
constexpr std::size_t clientBufferLimit = 1024 * 1024 + 16 * 1024;
// Relay steps one main-loop turn may take in a row when the sockets need no waiting, so a busy
// pair neither pays a turn per read and write nor holds the loop for long.
constexpr int stepsPerTurn = 64;
using Clock = std::chrono::steady_clock;

// What the socket has now, read into `chunk`: its bytes (none at its end or after an error),
// or nullopt when it has nothing yet.
std::optional<std::string_view> readWithoutWaiting(GSocketConnection* connection, std::vector<char>& chunk)
{
    glib::GErrorOut error;
    gssize count = g_pollable_input_stream_read_nonblocking(G_POLLABLE_INPUT_STREAM(g_io_stream_get_input_stream(G_IO_STREAM(connection))),
        chunk.data(), chunk.size(), nullptr, error.out());
    if (error.matches(G_IO_ERROR, G_IO_ERROR_WOULD_BLOCK))
        return std::nullopt;
    return std::string_view(chunk.data(), count > 0 ? static_cast<std::size_t>(count) : 0);
}

// How much of `bytes` the socket took without waiting, or nullopt after an error.
std::optional<std::size_t> writeWithoutWaiting(GSocketConnection* connection, std::string_view bytes)
{
    glib::GErrorOut error;
    gssize count = g_pollable_output_stream_write_nonblocking(G_POLLABLE_OUTPUT_STREAM(g_io_stream_get_output_stream(G_IO_STREAM(connection))),
        bytes.data(), bytes.size(), nullptr, error.out());
    if (count >= 0)
        return static_cast<std::size_t>(count);
    if (error.matches(G_IO_ERROR, G_IO_ERROR_WOULD_BLOCK))
        return 0;
    return std::nullopt;
}

// Small relayed messages should not wait for the acknowledgement of the previous one.
void sendWithoutDelay(GSocketConnection* connection)
{
    g_socket_set_option(g_socket_connection_get_socket(connection), IPPROTO_TCP, TCP_NODELAY, 1, nullptr);
}

void closeSocket(GSocketConnection* connection)
{
    if (connection)
        g_socket_close(g_socket_connection_get_socket(connection), nullptr);
}

Status<LauncherGameError> refuse()
{
    return fail(LauncherGameError::socketUnavailable());
}

} // namespace

struct LocalWebSocketProxy::Peer {
    Peer(std::function<void()> turn, std::function<void()> broken)
        : waits(std::move(turn), std::move(broken))
    {
    }

    struct Outgoing {
        std::shared_ptr<const std::string> bytes;
        std::function<void()> next;
    };

    glib::GRef<GSocketConnection> local;
    glib::GRef<GSocketConnection> remote;
    SocketWaits waits; // Local and Remote, in that order
    std::string buffer; // client bytes not yet consumed
    bool upgraded { false };
    std::optional<std::int64_t> fragmentedBytes; // size so far of a fragmented message in progress
    Clock::time_point lastActivity { Clock::now() };
    MainLoopTimer watchdog;
    std::deque<Outgoing> toClient; // the front is being written
    glib::AsyncScope scope; // cancels the server connection in progress when the peer closes

    GSocketConnection* connection(Side side) const { return side == Local ? local.get() : remote.get(); }

    ~Peer()
    {
        closeSocket(local.get());
        closeSocket(remote.get());
    }
};

LocalWebSocketProxy::LocalWebSocketProxy(const SocketProxyConfiguration& configuration)
    : LocalWebSocketProxy(configuration.port(), [configuration](ResolveCompletion completion) { configuration.resolve(std::move(completion)); }, Durations {})
{
}

LocalWebSocketProxy::LocalWebSocketProxy(std::uint16_t destinationPort, ResolveAddress resolveAddress, Durations durations)
    : m_destinationPort(destinationPort)
    , m_resolveAddress(std::move(resolveAddress))
    , m_durations(durations)
    , m_client(glib::adoptGRef(g_socket_client_new()))
{
    // Game traffic goes straight to the resolved address, never through a configured proxy.
    g_socket_client_set_enable_proxy(m_client.get(), FALSE);
    m_chunk.resize(readSize);
}

LocalWebSocketProxy::~LocalWebSocketProxy()
{
    m_ready = nullptr;
    stop();
}

void LocalWebSocketProxy::start(StartCompletion completion)
{
    if (m_listener || m_webSocketURL) {
        glib::runOnMainLoop(m_scope.guarded([completion = std::move(completion)] { completion(fail(LauncherGameError::socketUnavailable())); }));
        return;
    }
    if (auto superseded = std::exchange(m_ready, nullptr))
        superseded(fail(LauncherGameError::socketUnavailable()));
    Uuid generation = m_generation = Uuid::random();
    m_ready = std::move(completion);
    // The hop keeps the completion out of start() even when the address comes at once.
    m_resolveAddress(m_scope.guarded([this, generation](ResolvedAddress address) {
        glib::runOnMainLoop(m_scope.guarded([this, generation, address = std::move(address)] { listen(generation, address); }));
    }));
}

void LocalWebSocketProxy::listen(const Uuid& generation, ResolvedAddress address)
{
    if (m_generation != generation) // stopped or started again meanwhile: that start failed already
        return;
    if (address.isError())
        return finishStart(fail(address.error()));
    m_address = address.value();
    // Built apart and moved in: GCC 12 at -O3 misreads copying text into this member as an
    // overlapping copy.
    std::string capabilityPath(1, '/');
    capabilityPath += Uuid::random().lowerString();
    capabilityPath += Uuid::random().lowerString();
    m_capabilityPath = std::move(capabilityPath);
    if (auto opened = openListener(); opened.isError()) {
        stop();
        return;
    }
    auto url = Url::parse("ws://127.0.0.1:" + std::to_string(m_port) + m_capabilityPath);
    if (!url) {
        stop();
        return;
    }
    m_webSocketURL = url;
    finishStart(*url);
}

Status<LauncherGameError> LocalWebSocketProxy::openListener()
{
    auto service = glib::adoptGRef(g_socket_service_new());
    auto loopback = glib::adoptGRef(g_inet_socket_address_new_from_string("127.0.0.1", 0));
    GSocketAddress* bound = nullptr;
    glib::GErrorOut error;
    g_socket_listener_add_address(G_SOCKET_LISTENER(service.get()), loopback.get(), G_SOCKET_TYPE_STREAM,
        G_SOCKET_PROTOCOL_TCP, nullptr, &bound, error.out());
    auto boundAddress = glib::adoptGRef(bound);
    if (error)
        return refuse();
    m_port = g_inet_socket_address_get_port(G_INET_SOCKET_ADDRESS(boundAddress.get()));
    m_listener = std::move(service);
    m_incoming = glib::SignalConnection::connect(m_listener.get(), "incoming",
        G_CALLBACK(+[](GSocketService*, GSocketConnection* connection, GObject*, gpointer proxy) -> gboolean {
            static_cast<LocalWebSocketProxy*>(proxy)->accept(connection);
            return TRUE;
        }),
        this);
    g_socket_service_start(m_listener.get());
    return Ok {};
}

void LocalWebSocketProxy::finishStart(Result<Url, LauncherGameError> outcome)
{
    if (auto ready = std::exchange(m_ready, nullptr))
        ready(std::move(outcome));
}

void LocalWebSocketProxy::stop()
{
    m_generation = Uuid::random();
    auto ready = std::exchange(m_ready, nullptr);
    m_incoming.disconnect();
    if (auto listener = std::exchange(m_listener, nullptr)) {
        g_socket_service_stop(listener.get());
        g_socket_listener_close(G_SOCKET_LISTENER(listener.get()));
    }
    m_port = 0;
    m_peers.clear();
    m_webSocketURL.reset();
    m_capabilityPath.clear();
    m_address.clear();
    if (ready)
        ready(fail(LauncherGameError::socketUnavailable()));
}

LocalWebSocketProxy::Peer* LocalWebSocketProxy::peer(PeerID id)
{
    auto found = m_peers.find(id);
    return found == m_peers.end() ? nullptr : found->second.get();
}

void LocalWebSocketProxy::close(PeerID id)
{
    m_peers.erase(id);
}

void LocalWebSocketProxy::accept(GSocketConnection* connection)
{
    // Refused connections close when the service lets go of them.
    if (m_peers.size() >= maxPeers || !m_listener)
        return;
    PeerID id = ++m_lastPeerID;
    auto turn = [this] { m_stepsThisTurn = 0; };
    auto& added = *m_peers.emplace(id, std::make_unique<Peer>(turn, [this, id] { close(id); })).first->second;
    added.local = glib::retainGRef(connection);
    added.waits.add(g_socket_connection_get_socket(connection));
    sendWithoutDelay(connection);
    added.watchdog = MainLoopTimer(m_durations.handshakeTimeout, [this, id] { handshakeDeadline(id); });
    receiveLocal(id);
}

// Until the upgrade the watchdog waits for it; after, it checks for silence.
void LocalWebSocketProxy::handshakeDeadline(PeerID id)
{
    Peer* current = peer(id);
    if (!current->upgraded)
        return close(id);
    current->watchdog = MainLoopTimer(m_durations.idleCheckInterval, [this, id] {
        if (Clock::now() - peer(id)->lastActivity > m_durations.idleLimit)
            close(id);
    });
}

bool LocalWebSocketProxy::mayStepWithoutWaiting()
{
    return m_stepsThisTurn++ < stepsPerTurn;
}

// The next bytes of one side of the pair: at once when its socket has them, else once it does.
void LocalWebSocketProxy::receive(PeerID id, Side side, Received received)
{
    Peer& reader = *peer(id);
    if (mayStepWithoutWaiting()) {
        if (auto bytes = readWithoutWaiting(reader.connection(side), m_chunk))
            return (this->*received)(id, *bytes);
    }
    reader.waits.wait(side, SocketWaits::Read, [this, id, side, received] { receive(id, side, received); });
}

// Writes `bytes` from `offset` on to one side, at once as far as its socket takes them, then
// goes on with `written`; a failed write ends the pair.
void LocalWebSocketProxy::send(PeerID id, Side side, std::shared_ptr<const std::string> bytes, std::size_t offset, std::function<void()> written)
{
    Peer& writer = *peer(id);
    if (mayStepWithoutWaiting()) {
        auto taken = writeWithoutWaiting(writer.connection(side), std::string_view(*bytes).substr(offset));
        if (!taken)
            return close(id);
        offset += *taken;
        if (offset == bytes->size())
            return written();
    }
    writer.waits.wait(side, SocketWaits::Write, [this, id, side, bytes, offset, written] { send(id, side, bytes, offset, written); });
}

void LocalWebSocketProxy::receiveLocal(PeerID id)
{
    receive(id, Local, &LocalWebSocketProxy::receivedLocal);
}

void LocalWebSocketProxy::receivedLocal(PeerID id, std::string_view bytes)
{
    Peer& reader = *peer(id);
    if (bytes.empty())
        return close(id);
    reader.lastActivity = Clock::now();
    reader.buffer.append(bytes);
    if (reader.buffer.size() > clientBufferLimit)
        return close(id);
    if (reader.upgraded)
        return forwardFrames(id);
    readHandshake(id);
}

void LocalWebSocketProxy::readHandshake(PeerID id)
{
    Peer& reader = *peer(id);
    auto end = reader.buffer.find("\r\n\r\n");
    if (end == std::string::npos) {
        if (reader.buffer.size() > WebSocketCodec::handshakeLimit)
            return close(id);
        return receiveLocal(id);
    }
    end += 4;
    auto response = WebSocketCodec::handshake(std::string_view(reader.buffer).substr(0, end), m_capabilityPath, m_port);
    if (response.isError())
        return close(id);
    reader.buffer.erase(0, end); // a first frame sent along with the request stays for the relay
    openRemote(id, response.releaseValue());
}

// Client bytes are not read while the server connection is being made.
void LocalWebSocketProxy::openRemote(PeerID id, std::string response)
{
    auto server = glib::adoptGRef(g_inet_socket_address_new_from_string(m_address.c_str(), m_destinationPort));
    if (!server)
        return close(id);
    auto call = peer(id)->scope.call([this, id, response = std::move(response)](GObject* client, GAsyncResult* result) {
        auto remote = glib::adoptGRef(g_socket_client_connect_finish(G_SOCKET_CLIENT(client), result, nullptr));
        if (!remote)
            return close(id);
        sendWithoutDelay(remote.get());
        Peer& connected = *peer(id);
        connected.waits.add(g_socket_connection_get_socket(remote.get()));
        connected.remote = std::move(remote);
        sendToClient(id, response, [this, id] { upgrade(id); });
    });
    g_socket_client_connect_async(m_client.get(), G_SOCKET_CONNECTABLE(server.get()), call.cancellable, call.callback, call.data);
}

void LocalWebSocketProxy::upgrade(PeerID id)
{
    peer(id)->upgraded = true;
    receiveRemote(id);
    forwardFrames(id);
}

void LocalWebSocketProxy::forwardFrames(PeerID id)
{
    if (forwardNextFrame(id).isError())
        close(id);
}

// One client frame at a time: the next is decoded only once this one's bytes were written.
Status<LauncherGameError> LocalWebSocketProxy::forwardNextFrame(PeerID id)
{
    using namespace WebSocketCodec;
    Peer& relay = *peer(id);
    for (;;) {
        auto decoded = TRY(decode(relay.buffer));
        if (!decoded) {
            receiveLocal(id);
            return Ok {};
        }
        Frame frame = std::move(*decoded);
        relay.buffer.erase(0, static_cast<std::size_t>(frame.length));
        switch (frame.opcode) {
        case Close:
            sendToClient(id, encode(closeReply(frame.payload), Close), [this, id] { close(id); });
            return Ok {};
        case Ping:
            sendToClient(id, encode(frame.payload, Pong), [this, id] { forwardFrames(id); });
            return Ok {};
        case Pong:
            continue;
        case Continuation:
            if (!relay.fragmentedBytes)
                return refuse();
            break;
        default: // binary
            if (relay.fragmentedBytes)
                return refuse();
            if (!frame.fin)
                relay.fragmentedBytes = 0;
        }
        if (relay.fragmentedBytes) {
            auto size = *relay.fragmentedBytes + static_cast<std::int64_t>(frame.payload.size());
            if (size > payloadLimit)
                return refuse();
            relay.fragmentedBytes = frame.fin ? std::nullopt : std::optional(size);
        }
        m_bytesToServer += frame.payload.size();
        send(id, Remote, std::make_shared<const std::string>(std::move(frame.payload)), 0, [this, id] { forwardFrames(id); });
        return Ok {};
    }
}

void LocalWebSocketProxy::receiveRemote(PeerID id)
{
    receive(id, Remote, &LocalWebSocketProxy::receivedRemote);
}

void LocalWebSocketProxy::receivedRemote(PeerID id, std::string_view bytes)
{
    if (bytes.empty())
        return close(id);
    peer(id)->lastActivity = Clock::now();
    m_bytesFromServer += bytes.size();
    sendToClient(id, WebSocketCodec::encode(bytes, WebSocketCodec::Binary), [this, id] { receiveRemote(id); });
}

// Both relay directions write to the client (frames from the server, pongs and the close
// echo), and a stream takes one write at a time: writes queue up in order.
void LocalWebSocketProxy::sendToClient(PeerID id, std::string bytes, std::function<void()> next)
{
    Peer& writer = *peer(id);
    writer.toClient.push_back({ std::make_shared<const std::string>(std::move(bytes)), std::move(next) });
    if (writer.toClient.size() == 1)
        writeNextToClient(id);
}

void LocalWebSocketProxy::writeNextToClient(PeerID id)
{
    Peer& writer = *peer(id);
    send(id, Local, writer.toClient.front().bytes, 0, [this, id] { wroteToClient(id); });
}

void LocalWebSocketProxy::wroteToClient(PeerID id)
{
    Peer& writer = *peer(id);
    auto next = std::move(writer.toClient.front().next);
    writer.toClient.pop_front();
    if (!writer.toClient.empty())
        writeNextToClient(id);
    if (peer(id)) // a queued write that finished at once may have ended the peer
        next();
}

} // namespace quorin
