#pragma once

// Every failure of the update path, in the launcher and in the update helper, is one of these
// eleven codes. Where a step passes a file-system error on unchanged, it fails with an
// UpdateFailure holding that error instead; the launcher reports it as the network code.

#include "core/FileSystemError.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace quorin {

struct LauncherUpdateError {
    enum class Case {
        InvalidFeed,
        InvalidArchive,
        Integrity,
        Signature,
        Notarization,
        Location,
        Unavailable,
        Network,
        Install,
        Launch,
        Timeout,
    };
    Case errorCase;

    static LauncherUpdateError invalidFeed() { return { Case::InvalidFeed }; }
    static LauncherUpdateError invalidArchive() { return { Case::InvalidArchive }; }
    static LauncherUpdateError integrity() { return { Case::Integrity }; }
    static LauncherUpdateError signature() { return { Case::Signature }; }
    static LauncherUpdateError notarization() { return { Case::Notarization }; }
    static LauncherUpdateError location() { return { Case::Location }; }
    static LauncherUpdateError unavailable() { return { Case::Unavailable }; }
    static LauncherUpdateError network() { return { Case::Network }; }
    static LauncherUpdateError install() { return { Case::Install }; }
    static LauncherUpdateError launch() { return { Case::Launch }; }
    static LauncherUpdateError timeout() { return { Case::Timeout }; }

    // The case whose code is exactly this string.
    static std::optional<LauncherUpdateError> fromCode(std::string_view code);

    std::string code() const;
    bool operator==(const LauncherUpdateError&) const = default;
};

using UpdateFailure = std::variant<LauncherUpdateError, FileSystemError>;

} // namespace quorin
