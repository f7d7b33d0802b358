#include "game/WebSocketClientFrame.h"
#include "game/WebSocketCodec.h"

#include <gtest/gtest.h>

namespace quorin {
namespace {

namespace ws = WebSocketCodec;

const std::string sampleRequest = "GET /p HTTP/1.1\r\nHost: 127.0.0.1:4000\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                                  "Sec-WebSocket-Version: 13\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n\r\n";

TEST(WebSocketCodec, HandshakeChecksInOrder)
{
    struct Case { std::string from, to; bool accepted; };
    const Case cases[] = {
        { "", "", true },
        { "Connection: Upgrade", "Connection: keep-alive, Upgrade", true },
        { "Upgrade: websocket", "Upgrade: WebSocket\r\nOrigin: quorin-game://app", true },
        { "Upgrade: websocket", "Upgrade: websocket\r\nX: " + std::string(8100, 'a'), false },
        { "Upgrade: websocket", "Upgrade: websocket\r\nX: \xC3\xA9", false },
        { "==\r\n\r\n", "==\r\n", false },
        { "GET /p HTTP/1.1", "GET /p?x HTTP/1.1", false },
        { "Upgrade: websocket", "Upgrade: websocket\r\nX-Broken", false },
        { "Upgrade: websocket", "Upgrade: websocket\r\nsec-websocket-key: dGhlIHNhbXBsZSBub25jZQ==", false },
        { "127.0.0.1:4000", "localhost:4000", false },
        { "Upgrade: websocket", "Upgrade: h2c", false },
        { "Connection: Upgrade", "Connection: keep-alive", false },
        { "Version: 13", "Version: 8", false },
        { "dGhlIHNhbXBsZSBub25jZQ==", "dGhlIHNhbXBsZSBub25jZQ", false },
        { "Upgrade: websocket", "Upgrade: websocket\r\nOrigin: https://quorin42.net", false },
    };
    for (const auto& [from, to, accepted] : cases) {
        std::string request = sampleRequest;
        request.replace(request.find(from), from.size(), to);
        auto response = ws::handshake(request, "/p", 4000);
        ASSERT_EQ(response.hasValue(), accepted) << to;
        if (accepted) // RFC 6455 section 1.3's sample key and accept value
            EXPECT_TRUE(response->ends_with("\r\nSec-WebSocket-Accept: s3pPLMBiTxaQ9kYGzzhZRbK+xOo=\r\n\r\n")) << to;
        else
            EXPECT_EQ(response.error(), LauncherGameError::socketUnavailable()) << to;
    }
}

TEST(WebSocketCodec, DecodeTellsMissingBytesFromMalformedFrames)
{
    std::string ping = maskedFrame(ws::encode("hi", ws::Ping));
    std::string binary = maskedFrame(ws::encode(std::string(300, 'x'), ws::Binary));
    enum Outcome { NeedsMore, Fails, Decodes };
    struct Case { std::string bytes; Outcome outcome; };
    const Case cases[] = {
        { "\x82", NeedsMore },
        { binary.substr(0, 3), NeedsMore },
        { std::string("\x82\xFF\0\0\0\0\0\x01\0", 9), NeedsMore },
        { binary.substr(0, binary.size() - 1), NeedsMore },
        { binary + ping.substr(0, 3), Decodes },
        { maskedFrame(ws::encode("\x03\xE8", ws::Close)), Decodes },
        { "\xC2" + binary.substr(1), Fails },
        { ws::encode("hi", ws::Binary), Fails },
        { "\x81" + binary.substr(1), Fails },
        { maskedFrame(ws::encode(std::string(126, 'p'), ws::Ping)), Fails },
        { maskedFrame(ws::encode("x", ws::Close)), Fails },
        { std::string("\x82\xFE\x00\x64", 4), Fails },
        { std::string("\x82\xFF\0\0\0\0\0\0\xFF\xFF", 10), Fails },
        { std::string("\x82\xFF\0\0\0\0\0\x10\0\x01", 10), Fails },
    };
    for (const auto& [bytes, outcome] : cases) {
        auto frame = ws::decode(bytes);
        ASSERT_EQ(frame.isError(), outcome == Fails) << testing::PrintToString(bytes);
        if (outcome != Fails) {
            EXPECT_EQ(frame->has_value(), outcome == Decodes) << testing::PrintToString(bytes);
        }
    }
    EXPECT_EQ(ws::decode(binary + ping.substr(0, 3)).value()->length, static_cast<std::int64_t>(binary.size()));
}

TEST(WebSocketCodec, RoundTripsAtTheLengthBoundaries)
{
    const std::pair<std::size_t, std::size_t> cases[] = { { 125, 2 }, { 126, 4 }, { 65535, 4 }, { 65536, 10 }, { 1048576, 10 } };
    for (auto [size, headerSize] : cases) {
        std::string payload(size, '\0');
        for (std::size_t i = 0; i < size; ++i)
            payload[i] = static_cast<char>(i * 7);
        std::string frame = ws::encode(payload, ws::Binary);
        EXPECT_EQ(frame.size(), headerSize + size);
        auto decoded = ws::decode(maskedFrame(frame));
        ASSERT_TRUE(decoded.hasValue() && decoded->has_value()) << size;
        EXPECT_EQ(**decoded, (ws::Frame { true, ws::Binary, payload, static_cast<std::int64_t>(headerSize + 4 + size) }));
    }
}

} // namespace
} // namespace quorin
