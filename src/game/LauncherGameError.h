#pragma once

// Every failure of the game runtime reaches the page as one of these seven codes.

#include <optional>
#include <string>
#include <string_view>

namespace quorin {

struct LauncherGameError {
    enum class Case {
        InvalidSession,
        ExpiredSession,
        SessionUnavailable,
        RuntimeInvalid,
        ResourceDenied,
        SocketConfigurationInvalid,
        SocketUnavailable,
    };
    Case errorCase;

    static LauncherGameError invalidSession() { return { Case::InvalidSession }; }
    static LauncherGameError expiredSession() { return { Case::ExpiredSession }; }
    static LauncherGameError sessionUnavailable() { return { Case::SessionUnavailable }; }
    static LauncherGameError runtimeInvalid() { return { Case::RuntimeInvalid }; }
    static LauncherGameError resourceDenied() { return { Case::ResourceDenied }; }
    static LauncherGameError socketConfigurationInvalid() { return { Case::SocketConfigurationInvalid }; }
    static LauncherGameError socketUnavailable() { return { Case::SocketUnavailable }; }

    // The case whose code is exactly this string.
    static std::optional<LauncherGameError> fromCode(std::string_view code);

    std::string code() const;
    bool operator==(const LauncherGameError&) const = default;
};

} // namespace quorin
