#pragma once

// A regular file mapped read-only into memory, unmapped when the value goes away: the archive
// checks read the central directory and local headers in place, without copying the file.

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

    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile();

    std::string_view bytes() const { return { static_cast<const char*>(m_address), m_size }; }

private:
    MappedFile(void* address, std::size_t size);
    void unmap();

    void* m_address { nullptr };
    std::size_t m_size { 0 };
};

} // namespace quorin
