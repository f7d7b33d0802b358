#include "Commands.h"

#include "webui/RuntimeManifest.h"

#include "core/Sha256.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace quorin::release {

namespace {

namespace fs = std::filesystem;

using ManifestResult = Result<RuntimeManifest, WebUIBundleLoadError>;

Failure<WebUIBundleLoadError> fileSystemFailure(const std::string& path, int errorNumber)
{
    return fail(WebUIBundleLoadError(FileSystemError::fromErrno(path, errorNumber)));
}

Failure<WebUIBundleLoadError> refuse(WebUIBundleValidationError error)
{
    return fail(WebUIBundleLoadError(std::move(error)));
}

// Adds every regular file below root/folder (links are already ruled out) with its digest.
Status<WebUIBundleLoadError> addFolder(const fs::path& root, std::string_view folder, RuntimeManifest& manifest)
{
    std::error_code error;
    fs::recursive_directory_iterator entries(root / folder, error);
    for (; !error && entries != fs::recursive_directory_iterator(); entries.increment(error)) {
        bool regularFile = entries->is_regular_file(error);
        if (error)
            break;
        if (!regularFile)
            continue;
        auto relative = entries->path().lexically_relative(root).generic_string();
        if (!WebUIBundleValidator::isSafeRuntimePath(relative))
            return refuse(WebUIBundleValidationError::unsafeManifestPath());
        auto digest = sha256HexOfFile(entries->path().string());
        if (digest.isError())
            return fail(WebUIBundleLoadError(digest.releaseError()));
        manifest.runtimeSHA256[relative] = digest.releaseValue();
    }
    if (error)
        return fail(WebUIBundleLoadError(FileSystemError { (root / folder).string(), error }));
    return Ok {};
}

ManifestResult manifestOfFolder(const std::string& root)
{
    RuntimeManifest manifest;
    for (auto folder : WebUIBundleValidator::runtimeFolders)
        TRY(addFolder(root, folder.substr(0, folder.size() - 1), manifest));
    manifest.runtimeFileCount = static_cast<std::int64_t>(manifest.runtimeSHA256.size());
    return manifest;
}

Status<WebUIBundleLoadError> writeAll(int descriptor, std::string_view bytes, const std::string& path)
{
    while (!bytes.empty()) {
        auto written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return fileSystemFailure(path, errno);
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return Ok {};
}

// A temporary file in the same folder, flushed and then renamed over the target, so a reader
// sees the old manifest or the new one and an interrupted run leaves no half-written file.
Status<WebUIBundleLoadError> replaceFileAtomically(const std::string& folder, std::string_view name, std::string_view bytes)
{
    std::string temporaryPath = folder + "/." + std::string(name) + ".XXXXXX";
    int descriptor = ::mkstemp(temporaryPath.data());
    if (descriptor < 0)
        return fileSystemFailure(temporaryPath, errno);

    auto status = writeAll(descriptor, bytes, temporaryPath);
    if (status.hasValue() && ::fchmod(descriptor, 0644) != 0)
        status = fileSystemFailure(temporaryPath, errno);
    if (status.hasValue() && ::fsync(descriptor) != 0)
        status = fileSystemFailure(temporaryPath, errno);
    if (::close(descriptor) != 0 && status.hasValue())
        status = fileSystemFailure(temporaryPath, errno);
    auto targetPath = folder + "/" + std::string(name);
    if (status.hasValue() && ::rename(temporaryPath.c_str(), targetPath.c_str()) != 0)
        status = fileSystemFailure(targetPath, errno);
    if (status.isError())
        ::unlink(temporaryPath.c_str());
    return status;
}

Status<WebUIBundleLoadError> writeManifest(const std::string& folder)
{
    auto root = TRY(WebUIBundleValidator::resolveRoot(folder));
    TRY(WebUIBundleValidator::checkForbiddenPaths(root));
    TRY(WebUIBundleValidator::checkRequiredPaths(root, WebUIBundleValidator::IncludeManifest::No));
    TRY(WebUIBundleValidator::checkNoSymbolicLinks(root));

    auto manifest = TRY(manifestOfFolder(root));
    auto text = manifest.encode();
    if (!text) // a file name that JSON cannot carry
        return refuse(WebUIBundleValidationError::unsafeManifestPath());
    if (text->size() > WebUIBundleValidator::maximumManifestSize)
        return refuse(WebUIBundleValidationError::invalidManifest());
    TRY(replaceFileAtomically(root, WebUIBundleValidator::manifestPath, *text));

    // The folder may have changed while it was hashed; report only what the launcher accepts.
    TRY(WebUIBundleValidator::validate(root));
    return Ok {};
}

} // namespace

ToolOutcome writeWebUIManifest(const std::string& folder)
{
    auto written = writeManifest(folder);
    if (written.isError())
        return ToolOutcome::of(written.error());
    return ToolOutcome::success();
}

} // namespace quorin::release
