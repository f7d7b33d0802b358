#include "core/Sha256.h"
#include "game/RuffleRuntimeManifest.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

// The manifest is pinned by the digest of the fuzzed bytes themselves, so they get parsed; the
// folder holds no package files, so the check of the files stops at the first one.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string root = [] {
        std::string path = std::filesystem::temp_directory_path() / "quorin-fuzz-runtime-XXXXXX";
        return std::string(::mkdtemp(path.data()));
    }();
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::ofstream(root + "/ruffle-manifest.json", std::ios::binary | std::ios::trunc).write(text.data(), static_cast<std::streamsize>(size));
    (void)quorin::RuffleRuntimeManifest::load(root, quorin::sha256Hex(text));
    return 0;
}
