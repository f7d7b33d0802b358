#include "core/Url.h"
#include "services/deeplinks/DeepLink.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (auto url = quorin::Url::parse(std::string_view(reinterpret_cast<const char*>(data), size)))
        (void)quorin::DeepLink::parse(*url);
    return 0;
}
