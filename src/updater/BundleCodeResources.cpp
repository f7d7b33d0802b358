#include "BundleCodeResources.h"

#include "core/DirectoryWalk.h"
#include "core/JsonReaders.h"
#include "core/ProductIdentity.h"
#include "core/Sha256.h"

#include <map>

namespace quorin::BundleCodeResources {

namespace {

using Digests = std::map<std::string, std::string>;

// The seal's own files, the only regular files allowed in its folder.
bool isSealFile(std::string_view relativePath)
{
    for (auto name : { resourcesName, signatureName, notarizationName }) {
        if (relativePath == std::string(folder) + "/" + std::string(name))
            return true;
    }
    return false;
}

Result<std::optional<DirectoryEntry>, UpdateFailure> nextEntry(DirectoryWalk& walk)
{
    auto next = walk.next();
    if (next.isError())
        return fail(UpdateFailure(next.releaseError().fileSystemError));
    return next.releaseValue();
}

// Every regular file outside the seal's folder with its SHA-256.
Result<Digests, UpdateFailure> digestsOf(const std::string& bundle)
{
    Digests digests;
    DirectoryWalk walk(bundle);
    while (auto entry = TRY(nextEntry(walk))) {
        if (entry->type == DirectoryEntry::Type::Directory)
            continue;
        bool inSealFolder = entry->relativePath.starts_with(std::string(folder) + "/");
        if (entry->type != DirectoryEntry::Type::RegularFile || (inSealFolder && !isSealFile(entry->relativePath)))
            return fail(UpdateFailure(LauncherUpdateError::signature()));
        if (inSealFolder)
            continue;
        auto digest = sha256HexOfFile(entry->path);
        if (digest.isError())
            return fail(UpdateFailure(digest.releaseError()));
        digests.emplace(entry->relativePath, digest.releaseValue());
    }
    return digests;
}

std::optional<Digests> listedDigests(std::string_view resources)
{
    auto document = json::parse(resources);
    if (!document || !document->is_object() || document->size() != 2)
        return std::nullopt;
    auto identifier = json::stringValue(document->value("identifier", nlohmann::json()));
    const auto* files = json::member(*document, "files");
    if (identifier != ProductIdentity::bundleIdentifier || !files || !files->is_object())
        return std::nullopt;
    Digests digests;
    for (const auto& [path, digest] : files->items()) {
        auto text = json::stringValue(digest);
        if (!text)
            return std::nullopt;
        digests.emplace(path, *text);
    }
    return digests;
}

} // namespace

Result<std::string, UpdateFailure> describe(const std::string& bundle)
{
    auto digests = TRY(digestsOf(bundle));
    auto text = json::fileText(nlohmann::json { { "identifier", ProductIdentity::bundleIdentifier }, { "files", digests } });
    if (!text) // a file name that is not UTF-8
        return fail(UpdateFailure(LauncherUpdateError::signature()));
    return *text;
}

bool sealsBundle(const std::string& bundle, std::string_view resources)
{
    auto listed = listedDigests(resources);
    auto actual = digestsOf(bundle);
    return listed && actual.hasValue() && *listed == actual.value();
}

} // namespace quorin::BundleCodeResources
