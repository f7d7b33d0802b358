#pragma once

// The integrity check of a downloaded release archive against its release: a plain regular
// file of exactly the release's size whose SHA-512 is the release's digest. The file is read
// in 1 MiB pieces, so memory does not grow with the archive; it blocks the calling thread
// (the launcher runs it off the main loop).

#include "LauncherUpdateError.h"
#include "UpdateRelease.h"

#include "core/FileSystemError.h"
#include "core/Result.h"

#include <cstdint>
#include <string>

namespace quorin::UpdateArchive {

struct ArchiveDigest {
    std::string sha512; // standard padded Base64
    std::int64_t size;  // bytes read
};

// SHA-512 of a file and the number of bytes hashed; open and read errors as they are.
Result<ArchiveDigest, FileSystemError> digestOf(const std::string& path);

// Fails with integrity on a size or digest mismatch or when the path is not a regular file
// (a link included); errors reading the file are passed on as they are.
Status<UpdateFailure> verifyDigest(const std::string& path, const UpdateRelease& release);

} // namespace quorin::UpdateArchive
