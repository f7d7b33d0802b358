#pragma once

#include <string>

namespace quorin {

// Why the launcher configuration was refused. Cases carry the offending key (a dotted key
// path for unknownKey) where there is one; there is no message text.
struct LauncherConfigurationError {
    enum class Case {
        UnknownKey,       // payload: key path ("product.title")
        InvalidValue,     // payload: bare key
        InsecureURL,      // payload: key
        InvalidOrigin,    // payload: key
        InvalidJSON,
        InvalidWindowBounds,
        UnsupportedSchemaVersion,
        MissingBundledConfiguration,
    };

    Case errorCase;
    std::string payload;

    static LauncherConfigurationError unknownKey(std::string keyPath) { return { Case::UnknownKey, std::move(keyPath) }; }
    static LauncherConfigurationError invalidValue(std::string key) { return { Case::InvalidValue, std::move(key) }; }
    static LauncherConfigurationError insecureURL(std::string key) { return { Case::InsecureURL, std::move(key) }; }
    static LauncherConfigurationError invalidOrigin(std::string key) { return { Case::InvalidOrigin, std::move(key) }; }
    static LauncherConfigurationError of(Case errorCase) { return { errorCase, {} }; }

    // "unknownKey(product.title)", "invalidValue(gameSockets)", "invalidJSON", ...
    std::string description() const;

    bool operator==(const LauncherConfigurationError&) const = default;
};

} // namespace quorin
