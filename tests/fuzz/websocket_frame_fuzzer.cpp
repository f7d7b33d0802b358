#include "game/WebSocketCodec.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace ws = quorin::WebSocketCodec;

// A decoded frame is the server's encoding of its payload with the mask bit and key added,
// and its payload masked with that key is the input's.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    auto frame = ws::decode(input);
    if (frame.isError() || !*frame)
        return 0;
    const auto& [fin, opcode, payload, length] = **frame;
    auto headerSize = static_cast<std::size_t>(length) - 4 - payload.size();
    std::string header(input.substr(0, headerSize));
    header[0] = static_cast<char>(header[0] | 0x80);
    header[1] = static_cast<char>(header[1] & 0x7F);
    std::string masked = payload;
    for (std::size_t i = 0; i < masked.size(); ++i)
        masked[i] = static_cast<char>(masked[i] ^ input[headerSize + i % 4]);
    if (header + payload != ws::encode(payload, opcode) || masked != input.substr(headerSize + 4, payload.size()))
        std::abort();
    if (opcode == ws::Close)
        (void)ws::closeReply(payload);
    return 0;
}
