#include "UpdateBundleSigning.h"

#include "BundleCodeResources.h"
#include "Ed25519.h"

#include "core/AtomicFile.h"
#include "core/FilePath.h"
#include "core/ReadableFile.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace quorin::UpdateBundleSigning {

namespace {

constexpr std::size_t maximumResourcesSize = 16 * 1024 * 1024;

std::string sealPath(const std::string& bundle, std::string_view name)
{
    return filePath::joined(filePath::joined(bundle, BundleCodeResources::folder), name);
}

Status<UpdateFailure> write(const std::string& path, std::string_view bytes)
{
    auto written = replaceFileAtomically(path, bytes, 0644);
    if (written.isError())
        return fail(UpdateFailure(written.releaseError()));
    return Ok {};
}

Status<UpdateFailure> writeSignature(const std::string& path, std::string_view privateKey, std::string_view resources)
{
    auto signature = ed25519::sign(privateKey, resources);
    if (!signature)
        return fail(UpdateFailure(LauncherUpdateError::signature()));
    return write(path, *signature);
}

} // namespace

Status<UpdateFailure> sign(const std::string& bundle, std::string_view privateKey)
{
    if (privateKey.size() != ed25519::keySize)
        return fail(UpdateFailure(LauncherUpdateError::signature()));
    auto resources = TRY(BundleCodeResources::describe(bundle));
    auto folder = filePath::joined(bundle, BundleCodeResources::folder);
    if (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST)
        return fail(UpdateFailure(FileSystemError::fromErrno(folder, errno)));
    auto notarization = sealPath(bundle, BundleCodeResources::notarizationName);
    if (::unlink(notarization.c_str()) != 0 && errno != ENOENT)
        return fail(UpdateFailure(FileSystemError::fromErrno(notarization, errno)));
    TRY(write(sealPath(bundle, BundleCodeResources::resourcesName), resources));
    return writeSignature(sealPath(bundle, BundleCodeResources::signatureName), privateKey, resources);
}

Status<UpdateFailure> notarize(const std::string& bundle, std::string_view privateKey)
{
    auto resources = ReadableFile::readContents(sealPath(bundle, BundleCodeResources::resourcesName), maximumResourcesSize);
    if (resources.isError())
        return fail(UpdateFailure(resources.releaseError()));
    return writeSignature(sealPath(bundle, BundleCodeResources::notarizationName), privateKey, resources.value());
}

} // namespace quorin::UpdateBundleSigning
