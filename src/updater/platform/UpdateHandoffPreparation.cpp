#include "UpdateHandoffPreparation.h"

#include "updater/UpdateBundleLocation.h"
#include "updater/UpdateInstallJob.h"

#include "core/AtomicFile.h"
#include "core/FilePath.h"

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace quorin {

namespace {

Failure<UpdateFailure> fileSystemFailure(const std::string& path, std::error_code error)
{
    return fail(UpdateFailure(FileSystemError { path, error }));
}

// The installed version's helper, not the candidate's, copied once per job folder.
Status<UpdateFailure> copyHelper(const std::string& currentApp, const std::string& jobFolder)
{
    auto copy = filePath::joined(jobFolder, updateHelperName);
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(copy, error)))
        return Ok {};
    auto installed = filePath::joined(currentApp, "Contents/Helpers/" + std::string(updateHelperName));
    if (!std::filesystem::copy_file(installed, copy, error))
        return fileSystemFailure(copy, error);
    std::filesystem::permissions(copy, std::filesystem::perms::owner_all, error);
    if (error)
        return fileSystemFailure(copy, error);
    return Ok {};
}

} // namespace

Result<std::string, UpdateFailure> prepareHandoff(const UpdateHandoffRequest& request, const UpdateBundleVerifier& verifier)
{
    TRY(validateUpdateBundleLocation(request.currentApp));
    if (::access(filePath::folder(request.currentApp).c_str(), W_OK) != 0)
        return fail(UpdateFailure(LauncherUpdateError::location()));
    TRY(verifier.verifyIdentityAndSignature(request.currentApp, request.currentVersion));
    TRY(verifier.verify(request.candidate, request.version));

    auto jobFolder = filePath::folder(filePath::folder(request.candidate));
    TRY(copyHelper(request.currentApp, jobFolder));
    auto job = UpdateInstallJob::create(static_cast<std::int32_t>(::getpid()), Url::fileURL(request.currentApp), Url::fileURL(request.candidate),
        request.currentVersion, request.version);
    auto jobPath = filePath::joined(jobFolder, "install-job.json");
    TRY(job.validate(jobPath));
    auto written = replaceFileAtomically(jobPath, job.encoded(), 0600);
    if (written.isError())
        return fail(UpdateFailure(written.releaseError()));
    return jobPath;
}

} // namespace quorin
