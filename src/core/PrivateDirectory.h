#pragma once

// Folders of the user's own data: created where missing, readable by the user alone.

#include "FileSystemError.h"
#include "Result.h"

#include <string>

namespace quorin {

// Creates `path` and any missing parent with permissions 0700 (folders that exist keep
// theirs), then checks that it is a folder the process can write. Fails with the file
// system's error, for instance when a regular file stands where a folder should be.
Status<FileSystemError> ensurePrivateDirectory(const std::string& path);

} // namespace quorin
