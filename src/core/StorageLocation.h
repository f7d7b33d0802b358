#pragma once

// Where the launcher keeps its per-user files. Resolving the location never creates it.

#include "core/Result.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorin {

struct LauncherStorageLocationError {
    enum class Case {
        Unavailable,
    };
    Case errorCase { Case::Unavailable };

    static LauncherStorageLocationError unavailable() { return {}; }
    bool operator==(const LauncherStorageLocationError&) const = default;
};

class StorageLocation {
public:
    static constexpr std::string_view preferencesFileName = "launcher-preferences.json";
    static constexpr std::string_view savedAccountsFileName = "saved-accounts.json";
    static constexpr std::string_view testingVariable = "QUORIN_TESTING";
    static constexpr std::string_view testDirectoryVariable = "QUORIN_TEST_APP_SUPPORT_DIRECTORY";

    // What resolving asks of the process and the platform; tests pass their own.
    struct Platform {
        std::function<std::optional<std::string>(const std::string& name)> environmentVariable;
        // The per-user application data directories, most preferred first.
        std::function<std::vector<std::string>()> userDataDirectories;

        // getenv and the XDG user data directory (g_get_user_data_dir()).
        static Platform process();
    };

    // The storage root as an absolute, lexically normalised directory path without a
    // trailing "/": the test override when QUORIN_TESTING is exactly "1" and the override
    // is absolute, else the first user data directory plus `displayName`. Fails when there
    // is no usable user data directory, or when `displayName` is not one plain path
    // component (it must not reach outside the data directory).
    static Result<std::string, LauncherStorageLocationError> applicationStorageRoot(std::string_view displayName, const Platform& platform = Platform::process());

    static std::string preferencesFilePath(std::string_view storageRoot);
    static std::string savedAccountsFilePath(std::string_view storageRoot);
};

} // namespace quorin
