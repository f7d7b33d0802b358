#include "updater/LegacyUpdateFeed.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

// An accepted feed's release reads back unchanged from the plainest feed that describes it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const auto feedURL = *quorin::Url::parse("https://updates.quorin42.net/linux/latest.yml");
    auto release = quorin::LegacyUpdateFeed::parse(std::string_view(reinterpret_cast<const char*>(data), size), feedURL);
    if (release.isError())
        return 0;
    auto plain = "version: " + release->version + "\nfiles:\n  - url: " + quorin::releaseArchiveName(release->version)
        + "\n    sha512: " + release->sha512 + "\n    size: " + std::to_string(release->size) + "\n";
    auto again = quorin::LegacyUpdateFeed::parse(plain, feedURL);
    if (again.isError() || again.value() != release.value())
        std::abort();
    return 0;
}
