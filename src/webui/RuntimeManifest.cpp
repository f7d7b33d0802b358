#include "RuntimeManifest.h"

#include "core/JsonReaders.h"

namespace quorin {

namespace {

std::optional<std::map<std::string, std::string>> stringDictionary(const nlohmann::json& value)
{
    if (!value.is_object())
        return std::nullopt;
    std::map<std::string, std::string> result;
    for (const auto& [key, member] : value.items()) {
        auto text = json::stringValue(member);
        if (!text)
            return std::nullopt;
        result.emplace(key, std::move(*text));
    }
    return result;
}

} // namespace

std::optional<RuntimeManifest> RuntimeManifest::decode(std::string_view text)
{
    auto document = json::parse(text);
    if (!document || !document->is_object())
        return std::nullopt;
    const auto* schemaVersion = json::member(*document, "schemaVersion");
    const auto* fileCount = json::member(*document, "runtimeFileCount");
    const auto* digests = json::member(*document, "runtimeSHA256");
    if (!schemaVersion || !fileCount || !digests)
        return std::nullopt;

    RuntimeManifest manifest;
    auto version = json::integerValue(*schemaVersion);
    auto count = json::integerValue(*fileCount);
    auto dictionary = stringDictionary(*digests);
    if (!version || !count || !dictionary)
        return std::nullopt;
    manifest.schemaVersion = *version;
    manifest.runtimeFileCount = *count;
    manifest.runtimeSHA256 = std::move(*dictionary);
    return manifest;
}

std::optional<std::string> RuntimeManifest::encode() const
{
    nlohmann::json digests = nlohmann::json::object();
    for (const auto& [path, digest] : runtimeSHA256)
        digests[path] = digest;
    nlohmann::json document = {
        { "schemaVersion", schemaVersion },
        { "runtimeFileCount", runtimeFileCount },
        { "runtimeSHA256", std::move(digests) },
    };
    return json::fileText(document);
}

} // namespace quorin
