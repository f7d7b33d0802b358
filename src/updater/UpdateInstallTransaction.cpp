#include "UpdateInstallTransaction.h"

#include "UpdateBundleLocation.h"

#include "core/AsciiCase.h"
#include "core/FilePath.h"
#include "core/Uuid.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace quorin {

namespace {

Status<UpdateFailure> moved(const std::string& from, const std::string& to)
{
    if (std::rename(from.c_str(), to.c_str()) != 0)
        return fail(UpdateFailure(FileSystemError::fromErrno(from, errno)));
    return Ok {};
}

Status<UpdateFailure> copied(const std::string& from, const std::string& to)
{
    std::error_code error;
    std::filesystem::copy(from, to, std::filesystem::copy_options::recursive | std::filesystem::copy_options::copy_symlinks, error);
    if (error)
        return fail(UpdateFailure(FileSystemError { from, error }));
    return Ok {};
}

bool exists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::symlink_status(path, error).type() != std::filesystem::file_type::not_found && !error;
}

// Removes the stage copy on every way out once it exists.
class StageCopy {
public:
    explicit StageCopy(std::string path)
        : m_path(std::move(path))
    {
    }
    StageCopy(const StageCopy&) = delete;
    StageCopy& operator=(const StageCopy&) = delete;
    ~StageCopy()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }

private:
    std::string m_path;
};

} // namespace

UpdateInstallTransaction::UpdateInstallTransaction(Step validate, Step launch)
    : m_validate(std::move(validate))
    , m_launch(std::move(launch))
{
}

Status<UpdateFailure> UpdateInstallTransaction::install(const std::string& candidate, const std::string& target) const
{
    TRY(validateUpdateBundleLocation(candidate));
    TRY(validateUpdateBundleLocation(target));
    auto targetPath = filePath::standardized(target);
    auto folder = filePath::folder(targetPath);
    if (filePath::standardized(candidate) == targetPath || ::access(folder.c_str(), W_OK) != 0)
        return fail(UpdateFailure(LauncherUpdateError::location()));
    TRY(m_validate(candidate));

    auto name = asciiUppercased(Uuid::random().lowerString()) + ".app";
    auto stage = filePath::joined(folder, ".quorin-update-stage-" + name);
    auto backup = filePath::joined(folder, ".quorin-update-backup-" + name);
    TRY(copied(candidate, stage));
    StageCopy stageCopy(stage);
    TRY(m_validate(stage));
    TRY(moved(targetPath, backup));
    return swapAndStart(targetPath, stage, backup);
}

Status<UpdateFailure> UpdateInstallTransaction::swapAndStart(const std::string& target, const std::string& stage, const std::string& backup) const
{
    auto swapped = moved(stage, target);
    if (swapped.hasValue())
        swapped = m_validate(target);
    if (swapped.hasValue())
        swapped = m_launch(target);
    if (swapped.hasValue())
        return Ok {};
    TRY(rollBack(target, stage, backup));
    return fail(swapped.releaseError());
}

Status<UpdateFailure> UpdateInstallTransaction::rollBack(const std::string& target, const std::string& stage, const std::string& backup) const
{
    if (exists(target))
        TRY(moved(target, stage));
    TRY(moved(backup, target));
    // The previous version comes back up as well as it can; the error that caused the
    // rollback is the one reported.
    (void)m_launch(target);
    return Ok {};
}

} // namespace quorin
