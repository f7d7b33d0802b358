#pragma once

#include "FileSystemError.h"
#include "Result.h"

#include <string>
#include <string_view>

namespace quorin {

// SHA-256 of a file as 64 lower-case hex digits, read in 1 MiB pieces so memory does not
// grow with the file. Open and read failures are the file system's own errors.
Result<std::string, FileSystemError> sha256HexOfFile(const std::string& path);

// SHA-256 of bytes as 64 lower-case hex digits.
std::string sha256Hex(std::string_view bytes);

} // namespace quorin
