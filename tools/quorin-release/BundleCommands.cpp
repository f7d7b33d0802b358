#include "Commands.h"

#include "core/AtomicFile.h"
#include "core/ReadableFile.h"
#include "updater/Base64.h"
#include "updater/Ed25519.h"
#include "updater/UpdateBundleSigning.h"
#include "updater/UpdateBundleVerifier.h"

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>

namespace quorin::release {

namespace {

constexpr std::size_t maximumKeyFileSize = 1024;

ToolOutcome outcomeOf(Status<UpdateFailure> status)
{
    if (status.isError())
        return fail(ToolError::of(status.error()));
    return Ok {};
}

ToolOutcome writeKeyFile(const std::string& path, std::string_view key, mode_t permissions)
{
    auto written = replaceFileAtomically(path, base64::encoded(key) + "\n", permissions);
    if (written.isError())
        return fail(ToolError::fileSystemFailure(written.error()));
    return Ok {};
}

// One line of Base64 holding a 32-byte key, private seed or public key alike.
Result<std::string, ToolError> readKeyFile(const std::string& path)
{
    auto text = ReadableFile::readContents(path, maximumKeyFileSize);
    if (text.isError())
        return fail(ToolError::fileSystemFailure(text.error()));
    std::string_view line = text.value();
    if (line.ends_with('\n'))
        line.remove_suffix(1);
    auto key = base64::decoded(line);
    if (!key || key->size() != ed25519::keySize)
        return fail(ToolError::refusal("invalidKey(" + path + ")"));
    return *key;
}

Result<std::vector<std::string>, ToolError> readKeyFiles(const std::vector<std::string>& paths)
{
    std::vector<std::string> keys;
    for (const auto& path : paths)
        keys.push_back(TRY(readKeyFile(path)));
    return keys;
}

} // namespace

ToolOutcome generateKey(const std::string& keyFile)
{
    struct stat status {};
    if (::lstat(keyFile.c_str(), &status) == 0) // a private key is never overwritten
        return fail(ToolError::fileSystemFailure(FileSystemError::fromErrno(keyFile, EEXIST)));
    auto privateKey = ed25519::generatePrivateKey();
    auto publicKey = ed25519::publicKeyOf(privateKey);
    MUST(publicKey.has_value());
    TRY(writeKeyFile(keyFile + ".pub", *publicKey, 0644));
    return writeKeyFile(keyFile, privateKey, 0600);
}

ToolOutcome signBundle(const std::string& bundle, const std::string& keyFile)
{
    return outcomeOf(UpdateBundleSigning::sign(bundle, TRY(readKeyFile(keyFile))));
}

ToolOutcome notarizeBundle(const std::string& bundle, const std::string& keyFile)
{
    return outcomeOf(UpdateBundleSigning::notarize(bundle, TRY(readKeyFile(keyFile))));
}

ToolOutcome verifyBundle(const std::string& bundle, const std::string& version, const std::vector<std::string>& signingKeyFiles,
    const std::vector<std::string>& notaryKeyFiles)
{
    UpdateTrustedKeys keys { TRY(readKeyFiles(signingKeyFiles)), TRY(readKeyFiles(notaryKeyFiles)) };
    // The location rule wants an absolute path; a relative one is taken from here, links unresolved.
    return outcomeOf(UpdateBundleVerifier(std::move(keys)).verify(std::filesystem::absolute(bundle).string(), version));
}

} // namespace quorin::release
