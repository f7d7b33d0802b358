#pragma once

// A regular file mapped read-only into memory, unmapped when the value goes away: the archive
// checks read the central directory in place, and a served game runtime file is hashed and
// handed to the engine from the same pages, never copied.

#include "core/FileSystemError.h"
#include "core/Result.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace quorin {

class MappedFile {
public:
    // Anything but a regular file fails with EINVAL; open and map failures are the file
    // system's own errors.
    static Result<MappedFile, FileSystemError> open(const std::string& path);
    // Maps `size` bytes of an open file (which the caller keeps and may close afterwards);
    // `path` only names the file in errors. The pages are read in at once.
    static Result<MappedFile, FileSystemError> map(int descriptor, std::size_t size, const std::string& path);

    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile();

    std::string_view bytes() const { return { static_cast<const char*>(m_address), m_size }; }

private:
    MappedFile(void* address, std::size_t size);
    void unmap();

    void* m_address { nullptr }; // null for an empty file
    std::size_t m_size { 0 };
};

} // namespace quorin
