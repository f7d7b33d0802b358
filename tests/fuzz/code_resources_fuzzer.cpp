#include "updater/BundleCodeResources.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

// The seal of an empty bundle: the fuzzed text is parsed in full and the folder walk is short.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string bundle = [] {
        std::string path = std::filesystem::temp_directory_path() / "quorin-fuzz-bundle-XXXXXX";
        return std::string(::mkdtemp(path.data()));
    }();
    (void)quorin::BundleCodeResources::sealsBundle(bundle, std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
