#include "WebUIBundleValidator.h"

#include "RuntimeManifest.h"

#include "core/ReadableFile.h"
#include "core/Sha256.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <vector>

namespace quorin {

namespace {

namespace fs = std::filesystem;
using Error = WebUIBundleValidationError;

Failure<WebUIBundleLoadError> refuse(Error error)
{
    return fail(WebUIBundleLoadError(std::move(error)));
}

std::string joined(const std::string& root, std::string_view relative)
{
    if (relative.empty())
        return root;
    if (root.ends_with('/'))
        return root + std::string(relative);
    return root + "/" + std::string(relative);
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

struct DirectoryCloser {
    void operator()(DIR* directory) const { ::closedir(directory); }
};

// Entry names of one directory in byte order, "." and ".." left out; nullopt when the
// directory cannot be opened or read to the end.
std::optional<std::vector<std::string>> directoryEntries(const std::string& path)
{
    std::unique_ptr<DIR, DirectoryCloser> directory(::opendir(path.c_str()));
    if (!directory)
        return std::nullopt;
    std::vector<std::string> names;
    while (true) {
        errno = 0;
        const dirent* entry = ::readdir(directory.get());
        if (!entry)
            break;
        std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    if (errno != 0)
        return std::nullopt;
    std::sort(names.begin(), names.end());
    return names;
}

// The whole manifest, at most one read past the limit so a file that grew is still caught.
std::optional<std::string> readManifestText(const std::string& path)
{
    auto file = ReadableFile::open(path);
    if (file.isError())
        return std::nullopt;
    std::string text;
    std::array<char, 65536> buffer;
    while (text.size() <= WebUIBundleValidator::maximumManifestSize) {
        auto count = file->read(buffer);
        if (count.isError())
            return std::nullopt;
        if (count.value() == 0)
            break;
        text.append(buffer.data(), count.value());
    }
    return text;
}

std::string lowercased(std::string_view text)
{
    std::string result(text);
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return result;
}

Result<RuntimeManifest, WebUIBundleLoadError> loadManifest(const std::string& root)
{
    auto path = joined(root, WebUIBundleValidator::manifestPath);
    struct stat status { };
    if (::stat(path.c_str(), &status) != 0)
        return refuse(Error::invalidManifest());
    auto size = static_cast<std::uintmax_t>(status.st_size);
    if (size == 0 || size > WebUIBundleValidator::maximumManifestSize)
        return refuse(Error::invalidManifest());

    auto text = readManifestText(path);
    if (!text || text->empty() || text->size() > WebUIBundleValidator::maximumManifestSize)
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
    if (!WebUIBundleValidator::isSafeRuntimePath(listedPath))
        return refuse(Error::unsafeManifestPath());
    if (!WebUIBundleValidator::isWellFormedDigest(digest))
        return refuse(Error::invalidManifest());

    auto filePath = (fs::path(root) / listedPath).lexically_normal().string();
    auto rootPrefix = root.ends_with('/') ? root : root + "/";
    if (!filePath.starts_with(rootPrefix))
        return refuse(Error::missingManifestFile(listedPath));
    if (entryKind(filePath) != EntryKind::RegularFile)
        return refuse(Error::missingManifestFile(listedPath));

    auto actual = sha256HexOfFile(filePath);
    if (actual.isError())
        return fail(WebUIBundleLoadError(actual.releaseError()));
    if (actual.value() != lowercased(digest))
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
        .indexURL = Url::fileURL(joined(resolvedRoot, indexPath)),
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
        if (entryKind(joined(resolvedRoot, forbidden)) != EntryKind::Missing)
            return refuse(Error::forbiddenPath(std::string(forbidden)));
    }
    return Ok {};
}

Status<WebUIBundleLoadError> WebUIBundleValidator::checkRequiredPaths(const std::string& resolvedRoot, IncludeManifest includeManifest)
{
    for (auto required : requiredFiles) {
        if (required == manifestPath && includeManifest == IncludeManifest::No)
            continue;
        if (entryKind(joined(resolvedRoot, required)) != EntryKind::RegularFile)
            return refuse(Error::missingRequiredPath(std::string(required)));
    }
    for (auto required : requiredDirectories) {
        if (entryKind(joined(resolvedRoot, required)) != EntryKind::Directory)
            return refuse(Error::missingRequiredPath(std::string(required)));
    }
    return Ok {};
}

Status<WebUIBundleLoadError> WebUIBundleValidator::checkNoSymbolicLinks(const std::string& resolvedRoot)
{
    std::vector<std::string> pendingFolders { "" };
    while (!pendingFolders.empty()) {
        auto folder = std::move(pendingFolders.back());
        pendingFolders.pop_back();
        // A folder that cannot be listed could hide a link, so it refuses the root rather
        // than ending the walk quietly.
        auto names = directoryEntries(joined(resolvedRoot, folder));
        if (!names)
            return refuse(Error::invalidRoot());

        std::vector<std::string> subfolders;
        for (const auto& name : *names) {
            auto relative = folder.empty() ? name : folder + "/" + name;
            auto path = joined(resolvedRoot, relative);
            struct stat status { };
            if (::lstat(path.c_str(), &status) != 0)
                return fail(WebUIBundleLoadError(FileSystemError::fromErrno(path, errno)));
            if (S_ISLNK(status.st_mode))
                return refuse(Error::symbolicLinkNotAllowed(relative));
            if (S_ISDIR(status.st_mode))
                subfolders.push_back(std::move(relative));
        }
        pendingFolders.insert(pendingFolders.end(), std::make_move_iterator(subfolders.rbegin()), std::make_move_iterator(subfolders.rend()));
    }
    return Ok {};
}

bool WebUIBundleValidator::isSafeRuntimePath(std::string_view path)
{
    if (path.empty() || path.front() == '/')
        return false;
    if (path.find('\\') != std::string_view::npos || path.find('\0') != std::string_view::npos)
        return false;
    std::size_t start = 0;
    while (true) {
        auto end = path.find('/', start);
        auto piece = path.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (piece.empty() || piece == "." || piece == "..")
            return false;
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return std::any_of(runtimeFolders.begin(), runtimeFolders.end(), [&](std::string_view folder) { return path.starts_with(folder); });
}

bool WebUIBundleValidator::isWellFormedDigest(std::string_view digest)
{
    if (digest.size() != 64)
        return false;
    return std::all_of(digest.begin(), digest.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    });
}

} // namespace quorin
