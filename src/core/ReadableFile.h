#pragma once

// A file opened for reading, closed when the value goes away, so every early return of a
// reader releases its descriptor. Errors are the file system's own (path and errno).

#include "FileSystemError.h"
#include "Result.h"

#include <cstddef>
#include <limits>
#include <span>
#include <string>

namespace quorin {

class ReadableFile {
public:
    // Regular files and directories only: anything else (a FIFO, a device, a socket) fails with
    // EINVAL without waiting.
    static Result<ReadableFile, FileSystemError> open(std::string path);
    // The whole file. A directory fails with its read error (EISDIR); a file holding more than
    // `maximumSize` bytes fails with EFBIG, after reading at most one piece past the limit.
    static Result<std::string, FileSystemError> readContents(std::string path,
        std::size_t maximumSize = std::numeric_limits<std::size_t>::max());

    ReadableFile(ReadableFile&& other) noexcept;
    ReadableFile& operator=(ReadableFile&& other) noexcept;
    ReadableFile(const ReadableFile&) = delete;
    ReadableFile& operator=(const ReadableFile&) = delete;
    ~ReadableFile();

    // Reads up to buffer.size() bytes; 0 at the end of the file. Interrupted reads are retried.
    Result<std::size_t, FileSystemError> read(std::span<char> buffer);

    const std::string& path() const { return m_path; }

private:
    ReadableFile(std::string path, int descriptor);
    void close();

    std::string m_path;
    int m_descriptor { -1 };
};

} // namespace quorin
