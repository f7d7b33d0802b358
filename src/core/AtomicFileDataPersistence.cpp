#include "AtomicFileDataPersistence.h"

#include "AtomicFile.h"
#include "FilePath.h"
#include "PrivateDirectory.h"
#include "ReadableFile.h"

#include <system_error>

namespace quorin {

AtomicFileDataPersistence::AtomicFileDataPersistence(std::string filePath)
    : m_filePath(std::move(filePath))
{
}

Result<std::optional<std::string>, FileSystemError> AtomicFileDataPersistence::read() const
{
    // Asking the open itself, not a stat beforehand, so a file that vanishes in between is
    // still "no file".
    auto contents = ReadableFile::readContents(m_filePath, maximumFileSize);
    if (contents)
        return std::optional(contents.releaseValue());
    if (contents.error().code == std::errc::no_such_file_or_directory)
        return std::optional<std::string>();
    return fail(contents.releaseError());
}

Status<FileSystemError> AtomicFileDataPersistence::write(std::string_view bytes)
{
    TRY(ensurePrivateDirectory(filePath::folder(m_filePath)));
    TRY(replaceFileAtomically(m_filePath, bytes, 0600));
    // The launcher is the file's one writer, so a temporary file beside it is one that a
    // killed write left behind.
    removeAbandonedTemporaryFiles(m_filePath);
    return Ok {};
}

} // namespace quorin
