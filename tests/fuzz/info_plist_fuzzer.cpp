#include "core/ApplicationBundle.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

// Info.plist is only read from a bundle's folder; one bundle is rewritten for every input.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const quorin::ApplicationBundle bundle = [] {
        std::string path = std::filesystem::temp_directory_path() / "quorin-fuzz-bundle-XXXXXX";
        std::filesystem::create_directory(std::string(::mkdtemp(path.data())) + "/Contents");
        return quorin::ApplicationBundle(path);
    }();
    std::ofstream(bundle.infoPlistPath(), std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    (void)bundle.infoString("CFBundleIdentifier");
    return 0;
}
