#include "game/WebSocketCodec.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

// An accepted handshake is answered with one header block: nothing of the request ends it early.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto response = quorin::WebSocketCodec::handshake(std::string_view(reinterpret_cast<const char*>(data), size), "/p", 4000);
    if (response.hasValue() && response->find("\r\n\r\n") != response->size() - 4)
        std::abort();
    return 0;
}
