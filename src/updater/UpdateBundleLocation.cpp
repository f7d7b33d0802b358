#include "UpdateBundleLocation.h"

#include "core/FilePath.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace quorin {

namespace {

constexpr std::string_view bundleExtension = ".app";
constexpr std::string_view translocationFolder = "AppTranslocation";

bool hasBundleName(std::string_view path)
{
    while (path.size() > 1 && path.ends_with('/'))
        path.remove_suffix(1);
    auto name = filePath::name(path);
    return name.size() > bundleExtension.size() && name.ends_with(bundleExtension);
}

} // namespace

Status<UpdateFailure> validateUpdateBundleLocation(const std::string& bundlePath)
{
    struct stat status {};
    if (::lstat(bundlePath.c_str(), &status) != 0)
        return fail(UpdateFailure(FileSystemError::fromErrno(bundlePath, errno)));
    auto components = filePath::components(bundlePath);
    bool translocated = std::ranges::find(components, translocationFolder) != components.end();
    if (!bundlePath.starts_with('/') || !hasBundleName(bundlePath) || !S_ISDIR(status.st_mode) || translocated)
        return fail(UpdateFailure(LauncherUpdateError::location()));
    return Ok {};
}

} // namespace quorin
