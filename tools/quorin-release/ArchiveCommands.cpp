#include "Commands.h"

#include "core/AtomicFile.h"
#include "core/DirectoryWalk.h"
#include "core/FilePath.h"
#include "core/ProductIdentity.h"
#include "core/ReadableFile.h"
#include "core/Url.h"
#include "updater/LegacyUpdateFeed.h"
#include "core/MappedFile.h"
#include "updater/SemanticUpdateVersion.h"
#include "updater/UpdateArchive.h"
#include "updater/UpdateZIPDirectory.h"
#include "updater/ZipWriter.h"

#include <sys/stat.h>

namespace quorin::release {

namespace {

// Feeds past the launcher's limit are read whole so that they are refused as feeds.
constexpr std::size_t maximumFeedFileSize = 16 * 1024 * 1024;

Failure<ToolError> refuse(LauncherUpdateError error)
{
    return fail(ToolError::refusal(error.code()));
}

Failure<ToolError> fileSystemFailure(FileSystemError error)
{
    return fail(ToolError::fileSystemFailure(error));
}

// One folder or regular file of the bundle as an archive entry; anything else refuses it.
ToolOutcome addEntry(ZipWriter& writer, const DirectoryEntry& entry, const std::string& prefix, std::uint64_t& total)
{
    struct stat status {};
    if (entry.type == DirectoryEntry::Type::SymbolicLink || entry.type == DirectoryEntry::Type::Other || ::lstat(entry.path.c_str(), &status) != 0)
        return refuse(LauncherUpdateError::invalidArchive());
    if (entry.type == DirectoryEntry::Type::Directory) {
        writer.add(prefix + entry.relativePath + "/", {}, status.st_mode);
        return Ok {};
    }
    total += static_cast<std::uint64_t>(status.st_size);
    if (total > UpdateZIPDirectory::maximumArchiveSize)
        return refuse(LauncherUpdateError::invalidArchive());
    auto data = ReadableFile::readContents(entry.path, UpdateZIPDirectory::maximumArchiveSize);
    if (data.isError())
        return fileSystemFailure(data.releaseError());
    writer.add(prefix + entry.relativePath, data.value(), status.st_mode);
    return Ok {};
}

} // namespace

ToolOutcome packBundle(const std::string& bundle, const std::string& archive)
{
    const std::string prefix = std::string(ProductIdentity::displayName) + ".app/";
    ZipWriter writer;
    writer.add(prefix, {}, S_IFDIR | 0755);
    DirectoryWalk walk(bundle);
    std::uint64_t total = 0;
    while (true) {
        auto entry = walk.next();
        if (entry.isError())
            return fileSystemFailure(entry.releaseError().fileSystemError);
        if (!entry.value())
            break;
        TRY(addEntry(writer, *entry.value(), prefix, total));
    }
    auto bytes = std::move(writer).finish();
    if (auto valid = UpdateZIPDirectory::validate(bytes); valid.isError())
        return refuse(valid.error());
    auto written = replaceFileAtomically(archive, bytes, 0644);
    if (written.isError())
        return fileSystemFailure(written.releaseError());
    return Ok {};
}

ToolOutcome validateArchive(const std::string& archive)
{
    auto mapped = MappedFile::open(archive);
    if (mapped.isError())
        return fileSystemFailure(mapped.releaseError());
    if (auto valid = UpdateZIPDirectory::validate(mapped->bytes()); valid.isError())
        return refuse(valid.error());
    return Ok {};
}

ToolOutput makeFeed(const std::string& version, const std::string& archive, const std::string& urlBase)
{
    auto base = Url::parse(urlBase);
    if (SemanticUpdateVersion::parse(version).isError() || filePath::name(archive) != releaseArchiveName(version) || !base)
        return refuse(LauncherUpdateError::invalidFeed());
    TRY(validateArchive(archive));
    auto digest = UpdateArchive::digestOf(archive);
    if (digest.isError())
        return fileSystemFailure(digest.releaseError());
    auto name = releaseArchiveName(version);
    auto text = "version: " + version + "\nfiles:\n  - url: " + name + "\n    sha512: " + digest->sha512 + "\n    size: "
        + std::to_string(digest->size) + "\npath: " + name + "\nsha512: " + digest->sha512 + "\n";
    // The launcher must read back exactly this archive from the feed beside it.
    auto release = LegacyUpdateFeed::parse(text, base->appendingPathComponent("feed.yml"));
    if (release.isError() || release->size != digest->size)
        return refuse(LauncherUpdateError::invalidFeed());
    return text;
}

ToolOutcome validateFeed(const std::string& file, const std::string& feedURL)
{
    auto text = ReadableFile::readContents(file, maximumFeedFileSize);
    if (text.isError())
        return fileSystemFailure(text.releaseError());
    auto url = Url::parse(feedURL);
    if (!url || LegacyUpdateFeed::parse(text.value(), *url).isError())
        return refuse(LauncherUpdateError::invalidFeed());
    return Ok {};
}

} // namespace quorin::release
