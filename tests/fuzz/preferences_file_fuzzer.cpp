#include "services/preferences/LauncherPreferencesStore.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

class FuzzedFile final : public quorin::LauncherDataPersisting {
public:
    explicit FuzzedFile(std::string bytes)
        : m_bytes(std::move(bytes))
    {
    }
    quorin::Result<std::optional<std::string>, quorin::FileSystemError> read() const override { return std::optional(m_bytes); }
    quorin::Status<quorin::FileSystemError> write(std::string_view bytes) override
    {
        m_bytes = bytes;
        return quorin::Ok {};
    }

private:
    std::string m_bytes;
};

quorin::Result<quorin::LauncherPreferencesStore, quorin::LauncherPreferencesStoreError> storeOver(std::string bytes)
{
    return quorin::LauncherPreferencesStore::create(std::make_unique<FuzzedFile>(std::move(bytes)));
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
