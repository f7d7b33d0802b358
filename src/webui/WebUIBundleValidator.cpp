#include "WebUIBundleValidator.h"

#include "RuntimeManifest.h"

#include "core/AsciiCase.h"
#include "core/DirectoryWalk.h"
#include "core/FilePath.h"
#include "core/Hex.h"
#include "core/ReadableFile.h"
#include "core/Sha256.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sys/stat.h>

namespace quorin {

namespace {

namespace fs = std::filesystem;
using Error = WebUIBundleValidationError;

Failure<WebUIBundleLoadError> refuse(Error error)
{
    return fail(WebUIBundleLoadError(std::move(error)));
}

enum class EntryKind { Missing, RegularFile, Directory, Other };

// Follows links, as "does something usable exist here" must: a link to a file counts as the
// file (and is refused later by the link scan), a dangling link counts as nothing.
EntryKind entryKind(const std::string& path)
{
    struct stat status { };
    if (::stat(path.c_str(), &status) != 0)
        return EntryKind::Missing;
    if (S_ISREG(status.st_mode))
        return EntryKind::RegularFile;
    if (S_ISDIR(status.st_mode))
        return EntryKind::Directory;
    return EntryKind::Other;
}

bool isWellFormedDigest(std::string_view digest)
{
    return digest.size() == 64 && std::ranges::all_of(digest, hex::isDigit);
}

Result<RuntimeManifest, WebUIBundleLoadError> loadManifest(const std::string& root)
{
    // Any read failure, a file past the limit included, is a manifest the launcher cannot use.
    auto text = ReadableFile::readContents(filePath::joined(root, WebUIBundleValidator::manifestPath), WebUIBundleValidator::maximumManifestSize);
    if (text.isError() || text->empty())
        return refuse(Error::invalidManifest());
    auto manifest = RuntimeManifest::decode(*text);
    if (!manifest)
        return refuse(Error::invalidManifest());
    if (manifest->schemaVersion != RuntimeManifest::currentSchemaVersion || manifest->runtimeSHA256.empty())
        return refuse(Error::invalidManifest());
    return std::move(*manifest);
}

Status<WebUIBundleLoadError> verifyRuntimeFile(const std::string& root, const std::string& listedPath, const std::string& digest)
{
    // A safe path has no "..", "." or empty piece, so joined to the root it stays inside.
    if (!WebUIBundleValidator::isSafeRuntimePath(listedPath))
        return refuse(Error::unsafeManifestPath());
    if (!isWellFormedDigest(digest))
        return refuse(Error::invalidManifest());

    auto file = filePath::joined(root, listedPath);
    if (entryKind(file) != EntryKind::RegularFile)
        return refuse(Error::missingManifestFile(listedPath));
    auto actual = sha256HexOfFile(file);
    if (actual.isError())
        return fail(WebUIBundleLoadError(actual.releaseError()));
    if (actual.value() != asciiLowercased(digest))
        return refuse(Error::checksumMismatch(listedPath));
    return Ok {};
}

Status<WebUIBundleLoadError> verifyRuntimeFiles(const std::string& root, const RuntimeManifest& manifest)
{
    // std::map keeps the paths in ascending byte order, which fixes which fault is reported.
    for (const auto& [path, digest] : manifest.runtimeSHA256)
        TRY(verifyRuntimeFile(root, path, digest));
    return Ok {};
}

Status<WebUIBundleLoadError> checkFileCount(const RuntimeManifest& manifest)
{
    if (manifest.runtimeFileCount != static_cast<std::int64_t>(manifest.runtimeSHA256.size()))
        return refuse(Error::invalidManifest());
    return Ok {};
}

Status<WebUIBundleLoadError> checkRequiredFilesListed(const RuntimeManifest& manifest)
{
    for (auto required : WebUIBundleValidator::requiredFiles) {
        if (required == WebUIBundleValidator::manifestPath)
            continue;
        if (!manifest.runtimeSHA256.contains(std::string(required)))
            return refuse(Error::missingManifestFile(std::string(required)));
    }
    return Ok {};
}

} // namespace

Result<WebUIBundle, WebUIBundleLoadError> WebUIBundleValidator::validate(const std::string& root)
{
    auto resolvedRoot = TRY(resolveRoot(root));
    TRY(checkForbiddenPaths(resolvedRoot));
    TRY(checkRequiredPaths(resolvedRoot, IncludeManifest::Yes));
    TRY(checkNoSymbolicLinks(resolvedRoot));
    auto manifest = TRY(loadManifest(resolvedRoot));
    TRY(verifyRuntimeFiles(resolvedRoot, manifest));
    TRY(checkFileCount(manifest));
    TRY(checkRequiredFilesListed(manifest));
    return WebUIBundle {
        .rootURL = Url::fileURL(resolvedRoot),
        .indexURL = Url::fileURL(filePath::joined(resolvedRoot, indexPath)),
        .runtimeFileCount = manifest.runtimeFileCount,
    };
}

Result<std::string, WebUIBundleLoadError> WebUIBundleValidator::resolveRoot(const std::string& root)
{
    if (root.empty())
        return refuse(Error::invalidRoot());
    std::error_code error;
    auto absolute = fs::absolute(root, error);
    if (error)
        return refuse(Error::invalidRoot());
    // Lexical clean-up first, so "a/link/.." means "a" whatever the link points at.
    auto normalised = absolute.lexically_normal().string();

    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(normalised.c_str(), nullptr), &std::free);
    if (!resolved)
        return refuse(Error::invalidRoot());
    struct stat status { };
    if (::lstat(resolved.get(), &status) != 0 || !S_ISDIR(status.st_mode))
        return refuse(Error::invalidRoot());
    return std::string(resolved.get());
}

Status<WebUIBundleLoadError> WebUIBundleValidator::checkForbiddenPaths(const std::string& resolvedRoot)
{
    for (auto forbidden : forbiddenPaths) {
        if (entryKind(filePath::joined(resolvedRoot, forbidden)) != EntryKind::Missing)
            return refuse(Error::forbiddenPath(std::string(forbidden)));
    }
    return Ok {};
}

Status<WebUIBundleLoadError> WebUIBundleValidator::checkRequiredPaths(const std::string& resolvedRoot, IncludeManifest includeManifest)
{
    for (auto required : requiredFiles) {
        if (required == manifestPath && includeManifest == IncludeManifest::No)
            continue;
        if (entryKind(filePath::joined(resolvedRoot, required)) != EntryKind::RegularFile)
            return refuse(Error::missingRequiredPath(std::string(required)));
    }
    for (auto required : requiredDirectories) {
        if (entryKind(filePath::joined(resolvedRoot, required)) != EntryKind::Directory)
            return refuse(Error::missingRequiredPath(std::string(required)));
    }
    return Ok {};
}

Status<WebUIBundleLoadError> WebUIBundleValidator::checkNoSymbolicLinks(const std::string& resolvedRoot)
{
    DirectoryWalk walk(resolvedRoot);
    while (true) {
        auto entry = walk.next();
        if (entry.isError()) {
            auto error = entry.releaseError();
            // A folder that cannot be listed could hide a link, so it refuses the root rather
            // than ending the walk quietly.
            if (error.errorCase == DirectoryWalkError::Case::UnlistableFolder)
                return refuse(Error::invalidRoot());
            return fail(WebUIBundleLoadError(std::move(error.fileSystemError)));
        }
        if (!entry.value())
            return Ok {};
        if (entry.value()->type == DirectoryEntry::Type::SymbolicLink)
            return refuse(Error::symbolicLinkNotAllowed(entry.value()->relativePath));
    }
}

bool WebUIBundleValidator::isSafeRuntimePath(std::string_view path)
{
    if (path.empty() || path.front() == '/')
        return false;
    if (path.find('\\') != std::string_view::npos || path.find('\0') != std::string_view::npos)
        return false;
    for (auto piece : filePath::components(path)) {
        if (piece.empty() || piece == "." || piece == "..")
            return false;
    }
    return std::ranges::any_of(runtimeFolders, [&](std::string_view folder) { return path.starts_with(folder); });
}

} // namespace quorin
