#include "UpdateBundleVerifier.h"

#include "BundleCodeResources.h"
#include "Ed25519.h"
#include "ExecutableArchitecture.h"
#include "SemanticUpdateVersion.h"
#include "UpdateBundleLocation.h"

#include "core/ApplicationBundle.h"
#include "core/FilePath.h"
#include "core/ProductIdentity.h"
#include "core/ReadableFile.h"

#include <plist/plist.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <limits>
#include <memory>
#include <optional>

namespace quorin {

namespace {

constexpr std::size_t maximumInfoPlistSize = 16 * 1024 * 1024;
constexpr std::size_t maximumResourcesSize = 16 * 1024 * 1024;
constexpr std::size_t executableHeaderSize = 4096;
constexpr const char* notarizationOptOutKey = "QuorinNotarized";

struct PlistDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using Plist = std::unique_ptr<void, PlistDeleter>;

Failure<UpdateFailure> refuse(LauncherUpdateError error)
{
    return fail(UpdateFailure(error));
}

// Info.plist, XML or binary; a file that is not a property list fails with EINVAL.
Result<Plist, UpdateFailure> readInfoPlist(const std::string& bundle)
{
    auto path = ApplicationBundle(bundle).infoPlistPath();
    auto bytes = ReadableFile::readContents(path, maximumInfoPlistSize);
    if (bytes.isError())
        return fail(UpdateFailure(bytes.releaseError()));
    plist_t root = nullptr;
    if (!bytes->empty())
        plist_from_memory(bytes->data(), static_cast<uint32_t>(bytes->size()), &root);
    if (!root)
        return fail(UpdateFailure(FileSystemError::fromErrno(path, EINVAL)));
    return Plist(root);
}

std::optional<std::string> stringItem(plist_t dictionary, const char* key)
{
    plist_t item = plist_dict_get_item(dictionary, key);
    uint64_t length = 0;
    const char* text = item && plist_get_node_type(item) == PLIST_STRING ? plist_get_string_ptr(item, &length) : nullptr;
    return text ? std::optional<std::string>(std::string(text, length)) : std::nullopt;
}

bool hasIdentity(plist_t root, std::string_view version)
{
    return plist_get_node_type(root) == PLIST_DICT
        && stringItem(root, "CFBundleIdentifier") == ProductIdentity::bundleIdentifier
        && stringItem(root, "CFBundleExecutable") == ProductIdentity::executableName
        && stringItem(root, "CFBundleShortVersionString") == version;
}

// Assessed unless Info.plist reads and says "QuorinNotarized" = false as a boolean.
bool declaresNotarization(const std::string& bundle)
{
    auto root = readInfoPlist(bundle);
    if (root.isError() || plist_get_node_type(root->get()) != PLIST_DICT)
        return true;
    plist_t item = plist_dict_get_item(root->get(), notarizationOptOutKey);
    if (!item || plist_get_node_type(item) != PLIST_BOOLEAN)
        return true;
    uint8_t value = 1;
    plist_get_bool_val(item, &value);
    return value != 0;
}

Result<std::string, UpdateFailure> readSealFile(const std::string& bundle, std::string_view name, std::size_t limit)
{
    auto path = filePath::joined(filePath::joined(bundle, BundleCodeResources::folder), name);
    auto bytes = ReadableFile::readContents(path, limit);
    if (bytes.isError())
        return fail(UpdateFailure(bytes.releaseError()));
    return bytes.releaseValue();
}

Status<UpdateFailure> checkExecutable(const std::string& bundle)
{
    auto path = filePath::joined(filePath::joined(ApplicationBundle(bundle).contentsPath(), "MacOS"), ProductIdentity::executableName);
    auto file = ReadableFile::open(path);
    if (file.isError())
        return fail(UpdateFailure(file.releaseError()));
    std::array<char, executableHeaderSize> header {};
    std::size_t length = 0;
    while (length < header.size()) {
        auto count = file->read(std::span(header).subspan(length));
        if (count.isError() || count.value() == 0)
            break;
        length += count.value();
    }
    if (!isExecutableForThisMachine({ header.data(), length }))
        return refuse(LauncherUpdateError::signature());
    return Ok {};
}

// CodeResources when `seal` (CodeSignature or Notarization) signs it with one of `keys`.
std::optional<std::string> resourcesSignedByOneOf(const std::string& bundle, std::string_view seal, const std::vector<std::string>& keys)
{
    auto resources = readSealFile(bundle, BundleCodeResources::resourcesName, maximumResourcesSize);
    auto signature = readSealFile(bundle, seal, ed25519::signatureSize);
    if (resources.isError() || signature.isError())
        return std::nullopt;
    if (std::ranges::none_of(keys, [&](const std::string& key) { return ed25519::verify(key, resources.value(), signature.value()); }))
        return std::nullopt;
    return resources.releaseValue();
}

} // namespace

UpdateBundleVerifier::UpdateBundleVerifier(UpdateTrustedKeys keys)
    : m_keys(std::move(keys))
{
}

Status<UpdateFailure> UpdateBundleVerifier::verifyIdentityAndSignature(const std::string& bundle, std::string_view version) const
{
    TRY(validateUpdateBundleLocation(bundle));
    auto infoPlist = TRY(readInfoPlist(bundle));
    if (!hasIdentity(infoPlist.get(), version))
        return refuse(LauncherUpdateError::signature());
    if (SemanticUpdateVersion::parse(version).isError())
        return refuse(LauncherUpdateError::invalidFeed());
    auto resources = resourcesSignedByOneOf(bundle, BundleCodeResources::signatureName, m_keys.signing);
    if (!resources || !BundleCodeResources::sealsBundle(bundle, *resources))
        return refuse(LauncherUpdateError::signature());
    return checkExecutable(bundle);
}

Status<UpdateFailure> UpdateBundleVerifier::verify(const std::string& bundle, std::string_view version) const
{
    TRY(verifyIdentityAndSignature(bundle, version));
    if (declaresNotarization(bundle) && !resourcesSignedByOneOf(bundle, BundleCodeResources::notarizationName, m_keys.notary))
        return refuse(LauncherUpdateError::notarization());
    return Ok {};
}

} // namespace quorin
