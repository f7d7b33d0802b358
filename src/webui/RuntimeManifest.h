#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace quorin {

// The web UI folder's "upstream.json": which runtime files it ships and their SHA-256 digests.
struct RuntimeManifest {
    static constexpr std::int64_t currentSchemaVersion = 1;

    std::int64_t schemaVersion { currentSchemaVersion };
    std::int64_t runtimeFileCount { 0 };
    // Relative path ("/" separators) to 64 hex digits; ordered by path bytes.
    std::map<std::string, std::string> runtimeSHA256;

    // An object with integer "schemaVersion" and "runtimeFileCount" and a string-to-string
    // object "runtimeSHA256"; other keys are ignored. Values are not judged here: that is the
    // validator's job, in its own order. nullopt for anything else.
    static std::optional<RuntimeManifest> decode(std::string_view text);

    // Indented JSON with sorted keys and a final line break; nullopt when a path or digest is
    // not valid UTF-8 (JSON cannot carry it).
    std::optional<std::string> encode() const;

    bool operator==(const RuntimeManifest&) const = default;
};

} // namespace quorin
