#include "Commands.h"

#include "webui/RuntimeManifest.h"

#include "core/AtomicFile.h"
#include "core/DirectoryWalk.h"
#include "core/FilePath.h"
#include "core/Sha256.h"

namespace quorin::release {

namespace {

Failure<WebUIBundleLoadError> refuse(WebUIBundleValidationError error)
{
    return fail(WebUIBundleLoadError(std::move(error)));
}

// Adds every regular file below root/folder (links are already ruled out) with its digest.
Status<WebUIBundleLoadError> addFolder(const std::string& root, std::string_view folder, RuntimeManifest& manifest)
{
    DirectoryWalk walk(root, std::string(folder));
    while (true) {
        auto entry = walk.next();
        if (entry.isError())
            return fail(WebUIBundleLoadError(entry.releaseError().fileSystemError));
        if (!entry.value())
            return Ok {};
        if (entry.value()->type != DirectoryEntry::Type::RegularFile)
            continue;
        const auto& relative = entry.value()->relativePath;
        if (!WebUIBundleValidator::isSafeRuntimePath(relative))
            return refuse(WebUIBundleValidationError::unsafeManifestPath());
        manifest.runtimeSHA256[relative] = TRY(sha256HexOfFile(entry.value()->path));
    }
}

Result<RuntimeManifest, WebUIBundleLoadError> manifestOfFolder(const std::string& root)
{
    RuntimeManifest manifest;
    for (auto folder : WebUIBundleValidator::runtimeFolders)
        TRY(addFolder(root, folder.substr(0, folder.size() - 1), manifest));
    manifest.runtimeFileCount = static_cast<std::int64_t>(manifest.runtimeSHA256.size());
    return manifest;
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
    // Readable by everyone, like the rest of the shipped folder.
    TRY(replaceFileAtomically(filePath::joined(root, WebUIBundleValidator::manifestPath), *text, 0644));

    // The folder may have changed while it was hashed; report only what the launcher accepts.
    TRY(WebUIBundleValidator::validate(root));
    return Ok {};
}

} // namespace

ToolOutcome writeWebUIManifest(const std::string& folder)
{
    auto written = writeManifest(folder);
    if (written.isError())
        return fail(ToolError::of(written.error()));
    return Ok {};
}

} // namespace quorin::release
