#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace quorin {

// Why a start of the launcher failed; the raw value is the code shown to the user.
class LauncherStartupFailure {
public:
    enum class Case {
        ConfigurationInvalid,
        WebUIInvalid,
        StorageUnavailable,
    };

    constexpr LauncherStartupFailure(Case failureCase)
        : m_case(failureCase)
    {
    }

    static constexpr LauncherStartupFailure configurationInvalid() { return Case::ConfigurationInvalid; }
    static constexpr LauncherStartupFailure webUIInvalid() { return Case::WebUIInvalid; }
    static constexpr LauncherStartupFailure storageUnavailable() { return Case::StorageUnavailable; }

    // Every case, in declaration order.
    static const std::array<LauncherStartupFailure, 3>& allCases();
    // The failure whose raw value is exactly `rawValue`; nullopt for any other string.
    static std::optional<LauncherStartupFailure> fromRawValue(std::string_view rawValue);

    Case failureCase() const { return m_case; }
    std::string_view rawValue() const;
    std::string code() const { return std::string(rawValue()); }

    bool operator==(const LauncherStartupFailure&) const = default;

private:
    Case m_case;
};

} // namespace quorin
