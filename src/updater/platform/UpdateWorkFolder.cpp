#include "UpdateWorkFolder.h"

#include "core/AsciiCase.h"
#include "core/FilePath.h"
#include "core/PrivateDirectory.h"
#include "core/Uuid.h"

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>

namespace quorin {

std::string updatesDirectory(const std::string& storageRoot)
{
    return filePath::joined(storageRoot, "updates");
}

Result<std::string, FileSystemError> makeUpdateWorkFolder(const std::string& updatesDirectory)
{
    TRY(ensurePrivateDirectory(updatesDirectory));
    auto folder = filePath::joined(updatesDirectory, asciiUppercased(Uuid::random().lowerString()));
    if (::mkdir(folder.c_str(), 0700) != 0)
        return fail(FileSystemError::fromErrno(folder, errno));
    return folder;
}

void removeUpdateWorkFolder(const std::string& folder)
{
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

} // namespace quorin
