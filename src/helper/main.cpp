// Quorin42UpdateHelper --job /path/to/install-job.json
// Started by the launcher from a copy in the job directory; exits 0 when the new version is
// installed and running, 1 when the update failed, 64 for any other command line.

#include "UpdateHelper.h"

#include <vector>

int main(int argc, char** argv)
{
    std::vector<std::string_view> arguments(argv + 1, argv + argc);
    auto jobPath = quorin::updateHelperJobPath(arguments);
    if (!jobPath)
        return quorin::updateHelperUsageExitStatus;
    return quorin::runUpdateHelper(*jobPath, { quorin::UpdateTrustedKeys::production() });
}
