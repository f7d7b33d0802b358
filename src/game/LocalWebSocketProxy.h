#pragma once

// A WebSocket server on 127.0.0.1 (a port the system picks, behind a secret 73-character
// path) that relays the payloads of binary messages from the game page's emulator into a TCP
// connection to one game server, and the server's bytes back as binary frames. At most 4
// clients at once; a client must finish its handshake within 10 seconds and is dropped after
// 180 seconds without traffic (checked every 30 seconds). Any protocol fault drops that
// client only; no failure of a client is reported.
//
// Runs on GIO sockets driven by the main loop; main thread only. Relay is strictly sequential
// in each direction (read at most 16 KiB, write it, wait, repeat), so a slow side throttles
// the other through its unread socket. Destroying the proxy closes everything at once without
// calling a pending start completion.

#include "core/Uuid.h"
#include "core/glib/AsyncScope.h"
#include "core/glib/GRef.h"
#include "core/glib/SignalConnection.h"
#include "game/SocketProxy.h"
#include "game/SocketProxyConfiguration.h"

#include <gio/gio.h>

#include <chrono>
#include <map>
#include <memory>

namespace quorin {

class LocalWebSocketProxy final : public SocketProxy {
public:
    // Fixed in the launcher; tests shorten them.
    struct Durations {
        std::chrono::milliseconds handshakeTimeout { std::chrono::seconds(10) };
        std::chrono::milliseconds idleCheckInterval { std::chrono::seconds(30) };
        std::chrono::milliseconds idleLimit { std::chrono::seconds(180) };
    };
    // Yields the IPv4 address every connection of one start goes to.
    using ResolveAddress = std::function<void(ResolveCompletion)>;

    // The launcher's proxy for one configured game server: resolved by the configuration.
    explicit LocalWebSocketProxy(const SocketProxyConfiguration& configuration);
    LocalWebSocketProxy(std::uint16_t destinationPort, ResolveAddress resolveAddress, Durations durations);
    ~LocalWebSocketProxy() override;
    LocalWebSocketProxy(const LocalWebSocketProxy&) = delete;
    LocalWebSocketProxy& operator=(const LocalWebSocketProxy&) = delete;

    // Resolves the server, then listens and completes with "ws://127.0.0.1:PORT/PATH". The
    // completion runs once, never before start returns: with the resolution's error, or
    // socketUnavailable when the proxy is already running or starting again, when the
    // listener cannot be made, or when stop() comes first (then from inside stop()).
    void start(StartCompletion completion) override;
    // Closes the listener and every client; any time, more than once. The proxy can start again.
    void stop() override;

    std::optional<Url> webSocketURL() const override { return m_webSocketURL; }
    std::size_t activeConnectionCount() const override { return m_peers.size(); }
    // Payload bytes relayed each way, never reset.
    std::uint64_t bytesToServer() const override { return m_bytesToServer; }
    std::uint64_t bytesFromServer() const override { return m_bytesFromServer; }

private:
    struct Peer;
    using PeerID = std::uint64_t;
    enum Side : std::size_t { Local, Remote }; // the client and the server of a pair

    void listen(const Uuid& generation, ResolvedAddress address);
    Status<LauncherGameError> openListener();
    void finishStart(Result<Url, LauncherGameError> outcome);
    void accept(GSocketConnection* connection);
    Peer* peer(PeerID id);
    void handshakeDeadline(PeerID id);
    using Received = void (LocalWebSocketProxy::*)(PeerID, std::string_view);
    void receive(PeerID id, Side side, Received received);
    void send(PeerID id, Side side, std::shared_ptr<const std::string> bytes, std::size_t offset, std::function<void()> written);
    void receiveLocal(PeerID id);
    void receivedLocal(PeerID id, std::string_view bytes);
    void readHandshake(PeerID id);
    void openRemote(PeerID id, std::string response);
    void upgrade(PeerID id);
    void forwardFrames(PeerID id);
    Status<LauncherGameError> forwardNextFrame(PeerID id);
    void receiveRemote(PeerID id);
    void receivedRemote(PeerID id, std::string_view bytes);
    void sendToClient(PeerID id, std::string bytes, std::function<void()> next);
    void writeNextToClient(PeerID id);
    void wroteToClient(PeerID id);
    bool mayStepWithoutWaiting();
    void close(PeerID id);

    std::uint16_t m_destinationPort;
    ResolveAddress m_resolveAddress;
    Durations m_durations;
    glib::GRef<GSocketClient> m_client;
    glib::GRef<GSocketService> m_listener;
    glib::SignalConnection m_incoming;
    std::uint16_t m_port { 0 };
    std::map<PeerID, std::unique_ptr<Peer>> m_peers;
    PeerID m_lastPeerID { 0 };
    StartCompletion m_ready;
    Uuid m_generation { Uuid::random() };
    std::string m_address;
    std::string m_capabilityPath;
    std::optional<Url> m_webSocketURL;
    std::uint64_t m_bytesToServer { 0 };
    std::uint64_t m_bytesFromServer { 0 };
    int m_stepsThisTurn { 0 }; // relay steps taken without waiting since the main loop last ran one of ours
    std::vector<char> m_chunk; // what one read takes; used up before the next read
    glib::AsyncScope m_scope; // last: cancelled first, before anything its callbacks touch goes
};

} // namespace quorin
