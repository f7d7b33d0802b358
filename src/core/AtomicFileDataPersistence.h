#pragma once

// One of the launcher's own data files on disk, read whole and replaced whole: a reader sees
// the old content or the new one, also after a crash in the middle of a write.

#include "LauncherDataPersisting.h"

#include <cstddef>
#include <string>

namespace quorin {

class AtomicFileDataPersistence final : public LauncherDataPersisting {
public:
    // Our files hold a few kilobytes; anything this large is not one of them.
    static constexpr std::size_t maximumFileSize = 4 * 1024 * 1024;

    explicit AtomicFileDataPersistence(std::string filePath);

    // nullopt when nothing is at the path; a file past maximumFileSize fails with EFBIG.
    Result<std::optional<std::string>, FileSystemError> read() const override;
    // Creates missing parent folders 0700, then replaces the file (0600) atomically and removes
    // what earlier writes killed halfway left beside it.
    Status<FileSystemError> write(std::string_view bytes) override;

    const std::string& filePath() const { return m_filePath; }

private:
    std::string m_filePath;
};

} // namespace quorin
