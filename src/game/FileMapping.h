#pragma once

// The whole of an open regular file, mapped read-only into memory and unmapped when the
// value goes away: a served runtime file is hashed and then handed to the engine from the
// same pages, never copied.

#include "core/FileSystemError.h"
#include "core/Result.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace quorin {

class FileMapping {
public:
    // Maps `size` bytes of `descriptor` (which the caller keeps and may close afterwards);
    // `path` only names the file in errors.
    static Result<FileMapping, FileSystemError> map(int descriptor, std::size_t size, const std::string& path);

    FileMapping(FileMapping&& other) noexcept;
    FileMapping& operator=(FileMapping&& other) noexcept;
    FileMapping(const FileMapping&) = delete;
    FileMapping& operator=(const FileMapping&) = delete;
    ~FileMapping();

    std::string_view bytes() const { return { static_cast<const char*>(m_address), m_size }; }

private:
    FileMapping(void* address, std::size_t size);
    void unmap();

    void* m_address { nullptr }; // null for an empty file
    std::size_t m_size { 0 };
};

} // namespace quorin
