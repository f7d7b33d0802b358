#include "updater/UpdateInstallJob.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>

// An accepted job reads back unchanged once written. The job directory is a fixed, private
// one, so that a seed can name its candidate.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string jobPath = [] {
        (void)::mkdir("/tmp/quorin-fuzz-install-job", 0700);
        (void)::chmod("/tmp/quorin-fuzz-install-job", 0700);
        return std::string("/tmp/quorin-fuzz-install-job/install-job.json");
    }();
    auto readBack = [](std::string_view bytes) {
        std::ofstream(jobPath, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return quorin::UpdateInstallJob::read(jobPath);
    };
    auto job = readBack(std::string_view(reinterpret_cast<const char*>(data), size));
    if (job.isError())
        return 0;
    auto again = readBack(job->encoded());
    if (again.isError() || again->encoded() != job->encoded())
        std::abort();
    return 0;
}
