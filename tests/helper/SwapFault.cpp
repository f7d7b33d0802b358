// Linked into the test helper with -Wl,--wrap=rename: with QUORIN_TEST_SWAP_FAULT set, the bundle just
// moved from its stage copy into place loses its seal (its executable grows a byte), so the check of
// the installed copy fails as it would for a bundle damaged on disk.

#include <cstdlib>
#include <fstream>
#include <string>

extern "C" int __real_rename(const char* from, const char* to);

extern "C" int __wrap_rename(const char* from, const char* to)
{
    int result = __real_rename(from, to);
    bool swapped = std::string(from).find("/.quorin-update-stage-") != std::string::npos && std::string(to).find("/.quorin-update-") == std::string::npos;
    if (result == 0 && swapped && std::getenv("QUORIN_TEST_SWAP_FAULT"))
        std::ofstream(std::string(to) + "/Contents/MacOS/Quorin42Launcher", std::ios::app | std::ios::binary) << '\0';
    return result;
}
