#pragma once

// The WebSocket protocol (RFC 6455) as the local socket proxy speaks it to the game page's
// emulator, and nothing more: the opening handshake on the loopback host and the proxy's one
// path, masked client frames with minimal length encoding, binary messages of at most 1 MiB.
// Pure and stateless; every refusal is socketUnavailable, which the proxy answers by dropping
// the connection.

#include "core/Result.h"
#include "game/LauncherGameError.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorin::WebSocketCodec {

enum Opcode : std::uint8_t {
    Continuation = 0,
    Binary = 2,
    Close = 8,
    Ping = 9,
    Pong = 10,
};

inline constexpr std::size_t handshakeLimit = 8192;
inline constexpr std::int64_t payloadLimit = 1024 * 1024;
inline constexpr std::int64_t controlPayloadLimit = 125;

// One decoded client frame.
struct Frame {
    bool fin { false };
    std::uint8_t opcode { Binary }; // only the Opcode values
    std::string payload; // unmasked
    std::int64_t length { 0 }; // input bytes the frame occupied: header, mask key and payload

    bool operator==(const Frame&) const = default;
};

// The complete "101 Switching Protocols" response to `request` (the client's bytes up to and
// including its first empty line) for a proxy listening on `port` behind `path`.
Result<std::string, LauncherGameError> handshake(std::string_view request, std::string_view path, std::uint16_t port);

// The frame at the front of `buffer`; none when more bytes are needed to tell.
Result<std::optional<Frame>, LauncherGameError> decode(std::string_view buffer);

// One complete, unmasked server frame with FIN set.
std::string encode(std::string_view payload, std::uint8_t opcode);

// The payload of the close frame that answers a client's close: the same payload when its
// status code may appear on the wire (RFC 6455 section 7.4), else code 1002 (protocol error).
std::string closeReply(std::string_view closePayload);

} // namespace quorin::WebSocketCodec
