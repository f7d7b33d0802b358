#include "PrivateDirectory.h"

#include "FilePath.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace quorin {

static Status<FileSystemError> createWithParents(const std::string& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0)
        return Ok {};
    if (errno != ENOENT)
        return fail(FileSystemError::fromErrno(path, errno));
    auto parent = filePath::folder(path);
    if (parent != path && parent != "/" && parent != ".")
        TRY(createWithParents(parent));
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return fail(FileSystemError::fromErrno(path, errno));
    return Ok {};
}

Status<FileSystemError> ensurePrivateDirectory(const std::string& path)
{
    TRY(createWithParents(path));
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return fail(FileSystemError::fromErrno(path, errno));
    if (!S_ISDIR(status.st_mode))
        return fail(FileSystemError::fromErrno(path, ENOTDIR));
    if (::access(path.c_str(), W_OK | X_OK) != 0)
        return fail(FileSystemError::fromErrno(path, errno));
    return Ok {};
}

} // namespace quorin
