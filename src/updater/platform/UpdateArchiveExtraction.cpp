#include "UpdateArchiveExtraction.h"

#include "core/FilePath.h"

#include <archive.h>
#include <archive_entry.h>

#include <memory>

namespace quorin {

namespace {

constexpr std::size_t readBlockBytes = 1048576;

struct ReaderDeleter {
    void operator()(archive* reader) const { archive_read_free(reader); }
};
struct WriterDeleter {
    void operator()(archive* writer) const { archive_write_free(writer); }
};

using Clock = std::chrono::steady_clock;

Failure<LauncherUpdateError> refused()
{
    return fail(LauncherUpdateError::invalidArchive());
}

Status<LauncherUpdateError> copyData(archive* reader, archive* writer, Clock::time_point deadline)
{
    const void* block = nullptr;
    std::size_t size = 0;
    la_int64_t offset = 0;
    while (true) {
        int status = archive_read_data_block(reader, &block, &size, &offset);
        if (status == ARCHIVE_EOF)
            return Ok {};
        if (status != ARCHIVE_OK || Clock::now() > deadline || archive_write_data_block(writer, block, size, offset) != ARCHIVE_OK)
            return refused();
    }
}

// Points the entry into `folder` and drops what an update has no use for.
Status<LauncherUpdateError> place(archive_entry* entry, const std::string& folder)
{
    auto type = archive_entry_filetype(entry);
    const char* name = archive_entry_pathname(entry);
    if ((type != AE_IFREG && type != AE_IFDIR) || !name)
        return refused();
    archive_entry_set_pathname(entry, filePath::joined(folder, name).c_str());
    archive_entry_set_perm(entry, archive_entry_perm(entry) & 0755);
    return Ok {};
}

} // namespace

Status<LauncherUpdateError> extractUpdateArchive(const std::string& archivePath, const std::string& folder, Clock::duration bound)
{
    auto deadline = Clock::now() + bound;
    std::unique_ptr<archive, ReaderDeleter> reader(archive_read_new());
    std::unique_ptr<archive, WriterDeleter> writer(archive_write_disk_new());
    MUST(reader && writer);
    archive_read_support_format_zip(reader.get());
    // Entry paths are made absolute inside `folder`, so absolute paths cannot be refused here;
    // the structure check has already refused names that start with "/".
    archive_write_disk_set_options(writer.get(), ARCHIVE_EXTRACT_PERM | ARCHIVE_EXTRACT_NO_OVERWRITE | ARCHIVE_EXTRACT_SECURE_SYMLINKS
        | ARCHIVE_EXTRACT_SECURE_NODOTDOT);
    if (archive_read_open_filename(reader.get(), archivePath.c_str(), readBlockBytes) != ARCHIVE_OK)
        return refused();
    archive_entry* entry = nullptr;
    int status = ARCHIVE_OK;
    while ((status = archive_read_next_header(reader.get(), &entry)) == ARCHIVE_OK) {
        TRY(place(entry, folder));
        if (Clock::now() > deadline || archive_write_header(writer.get(), entry) != ARCHIVE_OK)
            return refused();
        TRY(copyData(reader.get(), writer.get(), deadline));
        if (archive_write_finish_entry(writer.get()) != ARCHIVE_OK)
            return refused();
    }
    if (status != ARCHIVE_EOF || archive_write_close(writer.get()) != ARCHIVE_OK)
        return refused();
    return Ok {};
}

} // namespace quorin
