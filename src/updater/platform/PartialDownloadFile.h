#pragma once

// The file a download writes while it runs: a new hidden file beside the destination
// (created exclusively, mode 0600), renamed over the destination when the download is
// accepted and removed otherwise, so a refused or broken transfer leaves nothing behind.
// Writes block the calling thread; they are a local file's.

#include "core/FileSystemError.h"
#include "core/Result.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quorin {

class PartialDownloadFile {
public:
    // Fails with the file system's error naming the destination's folder.
    static Result<PartialDownloadFile, FileSystemError> create(const std::string& destination);

    PartialDownloadFile(PartialDownloadFile&& other) noexcept;
    PartialDownloadFile& operator=(PartialDownloadFile&&) = delete;
    PartialDownloadFile(const PartialDownloadFile&) = delete;
    PartialDownloadFile& operator=(const PartialDownloadFile&) = delete;
    // Removes the file unless it was moved into place.
    ~PartialDownloadFile();

    Status<FileSystemError> append(std::string_view bytes);
    std::int64_t size() const { return m_size; }
    // Closes the file and renames it over the destination; errors name the destination.
    Status<FileSystemError> moveIntoPlace();

private:
    PartialDownloadFile(std::string path, std::string destination, int descriptor);

    std::string m_path;
    std::string m_destination;
    int m_descriptor { -1 };
    std::int64_t m_size { 0 };
};

} // namespace quorin
