#include "WebSocketCodec.h"

#include "core/AsciiCase.h"

#include <openssl/evp.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <vector>

namespace quorin::WebSocketCodec {

namespace {

constexpr std::string_view keyGUID = "258EAFA5-E914-47DA-95CA-C5AB0DC85B11";
constexpr std::string_view responsePrefix = "HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\n"
                                            "Connection: Upgrade\r\nSec-WebSocket-Accept: ";
constexpr std::array<std::string_view, 2> acceptedOrigins { "null", "quorin-game://app" };
constexpr std::size_t keySize = 16;

using Headers = std::map<std::string, std::string, std::less<>>;

Status<LauncherGameError> refuse()
{
    return fail(LauncherGameError::socketUnavailable());
}

Status<LauncherGameError> require(bool holds)
{
    return holds ? Status<LauncherGameError>(Ok {}) : refuse();
}

std::string_view trimmedSpacesAndTabs(std::string_view text)
{
    auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string_view> split(std::string_view text, std::string_view separator)
{
    std::vector<std::string_view> pieces;
    for (std::size_t start = 0;;) {
        auto end = text.find(separator, start);
        pieces.push_back(text.substr(start, end - start));
        if (end == std::string_view::npos)
            return pieces;
        start = end + separator.size();
    }
}

// Every non-empty line after the request line is "name: value"; a name may occur once.
Result<Headers, LauncherGameError> parseHeaders(const std::vector<std::string_view>& lines)
{
    Headers headers;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].empty())
            continue;
        auto colon = lines[i].find(':');
        TRY(require(colon != std::string_view::npos));
        auto [_, inserted] = headers.emplace(asciiLowercased(lines[i].substr(0, colon)),
            std::string(trimmedSpacesAndTabs(lines[i].substr(colon + 1))));
        TRY(require(inserted));
    }
    return headers;
}

std::optional<std::string_view> header(const Headers& headers, std::string_view name)
{
    auto found = headers.find(name);
    if (found == headers.end())
        return std::nullopt;
    return found->second;
}

bool connectionListsUpgrade(std::string_view value)
{
    auto lowered = asciiLowercased(value);
    auto pieces = split(lowered, ",");
    return std::any_of(pieces.begin(), pieces.end(), [](std::string_view piece) {
        std::string squeezed;
        std::copy_if(piece.begin(), piece.end(), std::back_inserter(squeezed), [](char c) { return c != ' ' && c != '\t'; });
        return squeezed == "upgrade";
    });
}

bool isBase64Digit(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
}

// The decoded size of padded Base64 without white space; none for anything else.
std::optional<std::size_t> strictBase64DecodedSize(std::string_view text)
{
    if (text.empty() || text.size() % 4 != 0)
        return std::nullopt;
    std::size_t padding = text.size() - (text.find_last_not_of('=') + 1);
    if (padding > 2 || !std::all_of(text.begin(), text.end() - static_cast<long>(padding), isBase64Digit))
        return std::nullopt;
    std::vector<unsigned char> decoded(text.size() / 4 * 3);
    if (EVP_DecodeBlock(decoded.data(), reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size())) < 0)
        return std::nullopt;
    return decoded.size() - padding;
}

std::string acceptValue(std::string_view key)
{
    std::string keyed = std::string(key) + std::string(keyGUID);
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest {};
    unsigned int digestSize = 0;
    MUST(EVP_Digest(keyed.data(), keyed.size(), digest.data(), &digestSize, EVP_sha1(), nullptr) == 1);
    std::string encoded(4 * ((digestSize + 2) / 3) + 1, '\0');
    int encodedSize = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(encoded.data()), digest.data(), static_cast<int>(digestSize));
    encoded.resize(static_cast<std::size_t>(encodedSize));
    return encoded;
}

std::uint64_t bigEndian(std::string_view bytes)
{
    std::uint64_t value = 0;
    for (char byte : bytes)
        value = (value << 8) | static_cast<std::uint8_t>(byte);
    return value;
}

void appendBigEndian(std::string& out, std::uint64_t value, int byteCount)
{
    for (int shift = 8 * (byteCount - 1); shift >= 0; shift -= 8)
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

bool isKnownOpcode(std::uint8_t opcode)
{
    return opcode == Continuation || opcode == Binary || opcode == Close || opcode == Ping || opcode == Pong;
}

struct Header {
    std::int64_t payloadLength;
    std::int64_t size;
};

// The payload length and header size, from the 7-bit length and its extended forms; none
// when the extended length has not arrived.
Result<std::optional<Header>, LauncherGameError> decodeLength(std::string_view buffer)
{
    std::uint8_t shortLength = static_cast<std::uint8_t>(buffer[1]) & 0x7F;
    if (shortLength < 126)
        return std::optional(Header { shortLength, 2 });
    if (shortLength == 126) {
        if (buffer.size() < 4)
            return std::optional<Header>();
        auto length = static_cast<std::int64_t>(bigEndian(buffer.substr(2, 2)));
        TRY(require(length >= 126));
        return std::optional(Header { length, 4 });
    }
    if (buffer.size() < 10)
        return std::optional<Header>();
    TRY(require(bigEndian(buffer.substr(2, 6)) != 0));
    auto length = bigEndian(buffer.substr(2, 8));
    TRY(require(length <= static_cast<std::uint64_t>(payloadLimit)));
    return std::optional(Header { static_cast<std::int64_t>(length), 10 });
}

// XORs payload byte i with key byte i mod 4, eight bytes at a time: relayed messages reach 1 MiB.
void unmask(std::string& payload, std::string_view key)
{
    std::uint64_t wideKey = 0;
    for (int i = 0; i < 8; ++i)
        reinterpret_cast<unsigned char*>(&wideKey)[i] = static_cast<unsigned char>(key[i % 4]);
    std::size_t i = 0;
    for (; i + 8 <= payload.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, payload.data() + i, 8);
        word ^= wideKey;
        std::memcpy(payload.data() + i, &word, 8);
    }
    for (; i < payload.size(); ++i)
        payload[i] = static_cast<char>(payload[i] ^ key[i % 4]);
}

// RFC 6455 section 7.4: 1005, 1006 and 1015 never travel, 1016 to 2999 are unassigned.
bool isSendableCloseCode(std::uint64_t code)
{
    return (code >= 1000 && code <= 1014 && code != 1004 && code != 1005 && code != 1006) || (code >= 3000 && code <= 4999);
}

} // namespace

Result<std::string, LauncherGameError> handshake(std::string_view request, std::string_view path, std::uint16_t port)
{
    TRY(require(request.size() <= handshakeLimit));
    TRY(require(std::all_of(request.begin(), request.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })));
    TRY(require(request.ends_with("\r\n\r\n")));
    auto lines = split(request, "\r\n");
    TRY(require(lines.front() == "GET " + std::string(path) + " HTTP/1.1"));
    auto headers = TRY(parseHeaders(lines));

    TRY(require(header(headers, "host") == "127.0.0.1:" + std::to_string(port)));
    auto upgrade = header(headers, "upgrade");
    TRY(require(upgrade && asciiLowercased(*upgrade) == "websocket"));
    auto connection = header(headers, "connection");
    TRY(require(connection && connectionListsUpgrade(*connection)));
    TRY(require(header(headers, "sec-websocket-version") == "13"));
    auto key = header(headers, "sec-websocket-key");
    TRY(require(key && strictBase64DecodedSize(*key) == keySize));
    auto origin = header(headers, "origin");
    TRY(require(!origin || std::find(acceptedOrigins.begin(), acceptedOrigins.end(), *origin) != acceptedOrigins.end()));

    return std::string(responsePrefix) + acceptValue(*key) + "\r\n\r\n";
}

Result<std::optional<Frame>, LauncherGameError> decode(std::string_view buffer)
{
    if (buffer.size() < 2)
        return std::optional<Frame>();
    auto byte0 = static_cast<std::uint8_t>(buffer[0]);
    auto byte1 = static_cast<std::uint8_t>(buffer[1]);
    TRY(require((byte0 & 0x70) == 0));
    TRY(require((byte1 & 0x80) != 0));
    std::uint8_t opcode = byte0 & 0x0F;
    TRY(require(isKnownOpcode(opcode)));
    auto header = TRY(decodeLength(buffer));
    if (!header)
        return std::optional<Frame>();
    bool fin = (byte0 & 0x80) != 0;
    if (opcode >= Close)
        TRY(require(fin && header->payloadLength <= controlPayloadLimit && !(opcode == Close && header->payloadLength == 1)));

    auto maskOffset = static_cast<std::size_t>(header->size);
    auto payloadLength = static_cast<std::size_t>(header->payloadLength);
    if (buffer.size() < maskOffset + 4 + payloadLength)
        return std::optional<Frame>();
    Frame frame { fin, opcode, std::string(buffer.substr(maskOffset + 4, payloadLength)), static_cast<std::int64_t>(maskOffset + 4 + payloadLength) };
    unmask(frame.payload, buffer.substr(maskOffset, 4));
    return std::optional(std::move(frame));
}

std::string encode(std::string_view payload, std::uint8_t opcode)
{
    std::string frame;
    frame.reserve(payload.size() + 10);
    frame.push_back(static_cast<char>(0x80 | opcode));
    if (payload.size() < 126) {
        frame.push_back(static_cast<char>(payload.size()));
    } else if (payload.size() < 65536) {
        frame.push_back(static_cast<char>(126));
        appendBigEndian(frame, payload.size(), 2);
    } else {
        frame.push_back(static_cast<char>(127));
        appendBigEndian(frame, payload.size(), 8);
    }
    frame.append(payload);
    return frame;
}

std::string closeReply(std::string_view closePayload)
{
    if (closePayload.empty() || isSendableCloseCode(bigEndian(closePayload.substr(0, 2))))
        return std::string(closePayload);
    std::string protocolError;
    appendBigEndian(protocolError, 1002, 2);
    return protocolError;
}

} // namespace quorin::WebSocketCodec
