#include "services/accounts/SavedAccountsFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

// Whatever a file holds, what the launcher keeps of it reads back unchanged once written.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto loaded = quorin::decodedSavedAccounts(std::string(reinterpret_cast<const char*>(data), size));
    for (auto& entry : loaded.entries)
        entry.token.clear();
    auto written = quorin::encodedSavedAccounts(loaded.entries);
    if (written && quorin::decodedSavedAccounts(*written).entries != loaded.entries)
        std::abort();
    return 0;
}
