#pragma once

// Readable GoogleTest output for core values.

#include "core/FileSystemError.h"
#include "core/Url.h"

#include <ostream>

namespace quorin {

inline void PrintTo(const Url& url, std::ostream* stream) { *stream << url.string(); }
inline void PrintTo(const FileSystemError& error, std::ostream* stream) { *stream << error.message(); }

} // namespace quorin
