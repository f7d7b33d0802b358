#pragma once

// An error reported by the file system itself (open, read, stat). Callers that must pass
// such errors on unchanged carry this value through their own error types.

#include <string>
#include <system_error>

namespace quorin {

struct FileSystemError {
    std::string path;
    std::error_code code;

    static FileSystemError fromErrno(std::string path, int errnoValue)
    {
        return { std::move(path), std::error_code(errnoValue, std::generic_category()) };
    }

    std::string message() const { return path.empty() ? code.message() : path + ": " + code.message(); }

    bool operator==(const FileSystemError&) const = default;
};

} // namespace quorin
