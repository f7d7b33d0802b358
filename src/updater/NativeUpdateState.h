#pragma once

// The update state the page shows: a status word, the running version, the version a check
// found, the download's progress and the last failure's code. A value, copied on every
// publication.

#include <optional>
#include <string>
#include <string_view>

namespace quorin {

struct NativeUpdateState {
    enum class Status {
        Idle,
        Checking,
        NotAvailable,
        Available,
        Downloading,
        Downloaded,
        Installing,
        Error,
    };

    Status status { Status::Idle };
    std::string currentVersion;
    std::optional<std::string> version; // the newer release the last check found
    std::optional<double> percent;      // 0 to 100, from the start of a download
    std::optional<std::string> error;   // the code of the last failure

    // "idle", "checking", "not-available", "available", "downloading", "downloaded",
    // "installing" or "error".
    static std::string_view statusWord(Status status);

    bool canCheck() const;
    bool canDownload() const { return status == Status::Available; }
    bool canInstall() const { return status == Status::Downloaded; }

    bool operator==(const NativeUpdateState&) const = default;
};

} // namespace quorin
