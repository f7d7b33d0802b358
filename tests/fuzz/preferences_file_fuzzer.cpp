#include "services/preferences/LauncherPreferencesStore.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

// A file in memory: taking the preferences from it only reads it.
struct FuzzedFile final : quorin::LauncherDataPersisting {
    std::string bytes;
    quorin::Result<std::optional<std::string>, quorin::FileSystemError> read() const override { return std::optional(bytes); }
    quorin::Status<quorin::FileSystemError> write(std::string_view) override { return quorin::Ok {}; }
};

quorin::Result<quorin::LauncherPreferencesStore, quorin::LauncherPreferencesStoreError> storeOver(std::string bytes)
{
    auto file = std::make_unique<FuzzedFile>();
    file->bytes = std::move(bytes);
    return quorin::LauncherPreferencesStore::create(std::move(file));
}

} // namespace

// Whatever a file holds, the preferences the launcher takes from it read back unchanged once written.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto store = storeOver(std::string(reinterpret_cast<const char*>(data), size));
    if (store.isError())
        return 0;
    auto written = store.value().snapshot().fileText();
    if (written && storeOver(*written).value().snapshot() != store.value().snapshot())
        std::abort();
    return 0;
}
