#pragma once

// The structure check of a release archive before anything is extracted: one end record, a
// central directory that the entries fill exactly, and entries that are plain stored or
// deflated files and folders inside "Quorin 4.2.app/", each with a matching local header.
// It reads only the central directory and the local headers and never inflates, so the caps
// (256 MiB archive, 10000 entries, 1023-byte names, 512 MiB uncompressed) bound the work and
// stop decompression bombs before extraction. Record layouts follow the PKWARE ZIP
// application note (APPNOTE.TXT 4.3.7, 4.3.12, 4.3.16). Free of state; any thread.

#include "LauncherUpdateError.h"

#include "core/Result.h"

#include <cstdint>
#include <string_view>

namespace quorin::UpdateZIPDirectory {

inline constexpr std::uint64_t maximumArchiveSize = 268435456;
inline constexpr std::uint64_t maximumUncompressedSize = 536870912;

// Every refusal is invalidArchive; the first rule broken, in a fixed order, decides.
Status<LauncherUpdateError> validate(std::string_view archive);

} // namespace quorin::UpdateZIPDirectory
