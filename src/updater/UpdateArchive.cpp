#include "UpdateArchive.h"

#include "Base64.h"

#include "core/ReadableFile.h"

#include <openssl/evp.h>

#include <array>
#include <cerrno>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace quorin::UpdateArchive {

namespace {

constexpr std::size_t readSize = 1048576;

struct DigestContextDeleter {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

Failure<UpdateFailure> integrityFailure()
{
    return fail(UpdateFailure(LauncherUpdateError::integrity()));
}

} // namespace

Result<ArchiveDigest, FileSystemError> digestOf(const std::string& path)
{
    auto file = TRY(ReadableFile::open(path));
    // EVP fails here only when memory runs out.
    std::unique_ptr<EVP_MD_CTX, DigestContextDeleter> context(EVP_MD_CTX_new());
    MUST(context && EVP_DigestInit_ex(context.get(), EVP_sha512(), nullptr) == 1);
    std::vector<char> buffer(readSize);
    std::int64_t size = 0;
    while (auto count = TRY(file.read(buffer))) {
        MUST(EVP_DigestUpdate(context.get(), buffer.data(), count) == 1);
        size += static_cast<std::int64_t>(count);
    }
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest {};
    unsigned int length = 0;
    MUST(EVP_DigestFinal_ex(context.get(), digest.data(), &length) == 1);
    return ArchiveDigest { base64::encoded({ reinterpret_cast<const char*>(digest.data()), length }), size };
}

Status<UpdateFailure> verifyDigest(const std::string& path, const UpdateRelease& release)
{
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0)
        return fail(UpdateFailure(FileSystemError::fromErrno(path, errno)));
    if (!S_ISREG(status.st_mode) || status.st_size != release.size)
        return integrityFailure();
    auto digest = digestOf(path);
    if (digest.isError())
        return fail(UpdateFailure(digest.releaseError()));
    if (digest->size != release.size || digest->sha512 != release.sha512)
        return integrityFailure();
    return Ok {};
}

} // namespace quorin::UpdateArchive
