#pragma once

#include "game/WebSocketCodec.h"

#include <string>

namespace quorin {

// A client frame: the server frame `encode` makes, masked with the key 1 2 3 4, with its
// first byte (FIN, reserved bits, opcode) replaced when `firstByte` is given.
inline std::string maskedFrame(const std::string& serverFrame, int firstByte = -1)
{
    std::size_t headerSize = serverFrame.size() < 128 ? 2 : serverFrame[1] == 126 ? 4 : 10;
    std::string frame = serverFrame.substr(0, headerSize) + "\x01\x02\x03\x04" + serverFrame.substr(headerSize);
    frame[1] = static_cast<char>(frame[1] | 0x80);
    if (firstByte >= 0)
        frame[0] = static_cast<char>(firstByte);
    for (std::size_t i = headerSize + 4; i < frame.size(); ++i)
        frame[i] = static_cast<char>(frame[i] ^ ((i - headerSize - 4) % 4 + 1));
    return frame;
}

} // namespace quorin
