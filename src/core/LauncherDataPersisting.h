#pragma once

// Whole-file storage for the launcher's own data files (preferences, saved accounts): a read
// returns everything or nothing, a write replaces everything or nothing.

#include "FileSystemError.h"
#include "Result.h"

#include <optional>
#include <string>
#include <string_view>

namespace quorin {

class LauncherDataPersisting {
public:
    virtual ~LauncherDataPersisting() = default;
    // The file's bytes, or nullopt when there is no file.
    virtual Result<std::optional<std::string>, FileSystemError> read() const = 0;
    // Replaces the file's content; on failure the file keeps what it held.
    virtual Status<FileSystemError> write(std::string_view bytes) = 0;
};

} // namespace quorin
