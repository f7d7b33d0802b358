#pragma once

// Replacing a whole file so that a reader, or the next start after a crash, sees either the
// old content or the new one, never a mix.

#include "FileSystemError.h"
#include "Result.h"

#include <string>
#include <string_view>
#include <sys/types.h>

namespace quorin {

// Writes `bytes` to a new temporary file beside `path` (created exclusively, mode
// `permissions`), flushes it to disk, renames it over `path` and flushes the folder. The
// folder must exist. On failure the temporary file is removed and `path` keeps what it held;
// the error names the folder when no temporary file could be made there, `path` when the
// rename failed, else the temporary file.
Status<FileSystemError> replaceFileAtomically(const std::string& path, std::string_view bytes, mode_t permissions);

// Removes the temporary files that writes of `path` killed before their rename left beside it.
// Only for a file that one process alone writes: another writer's temporary file would go too.
void removeAbandonedTemporaryFiles(const std::string& path);

} // namespace quorin
