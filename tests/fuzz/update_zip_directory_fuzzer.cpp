#include "updater/UpdateZIPDirectory.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    (void)quorin::UpdateZIPDirectory::validate(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
