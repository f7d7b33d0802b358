#pragma once

#include <string>

namespace quorin {

// Why the launcher configuration was refused. Cases carry the offending key (a dotted key
// path for unknownKey) where there is one; there is no message text.
struct LauncherConfigurationError {
    enum class Case {
        UnknownKey,    // key path ("product.title")
        InvalidValue,  // bare key
        InsecureURL,   // key
        InvalidOrigin, // key
        InvalidJSON,
        InvalidWindowBounds,
        UnsupportedSchemaVersion,
        MissingBundledConfiguration,
    };
    Case errorCase;
    std::string key;

    static LauncherConfigurationError unknownKey(std::string keyPath) { return { Case::UnknownKey, std::move(keyPath) }; }
    static LauncherConfigurationError invalidValue(std::string key) { return { Case::InvalidValue, std::move(key) }; }
    static LauncherConfigurationError insecureURL(std::string key) { return { Case::InsecureURL, std::move(key) }; }
    static LauncherConfigurationError invalidOrigin(std::string key) { return { Case::InvalidOrigin, std::move(key) }; }
    static LauncherConfigurationError invalidJSON() { return { Case::InvalidJSON, {} }; }
    static LauncherConfigurationError invalidWindowBounds() { return { Case::InvalidWindowBounds, {} }; }
    static LauncherConfigurationError unsupportedSchemaVersion() { return { Case::UnsupportedSchemaVersion, {} }; }
    static LauncherConfigurationError missingBundledConfiguration() { return { Case::MissingBundledConfiguration, {} }; }

    // For tools: "unknownKey(product.title)", "invalidValue(gameSockets)", "invalidJSON", ...
    std::string description() const;

    bool operator==(const LauncherConfigurationError&) const = default;
};

} // namespace quorin
