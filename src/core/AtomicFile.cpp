#include "AtomicFile.h"

#include "FilePath.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <memory>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quorin {

namespace {

Failure<FileSystemError> failure(const std::string& path)
{
    return fail(FileSystemError::fromErrno(path, errno));
}

// Closes the descriptor on every path out, keeping the first error.
class TemporaryFile {
public:
    TemporaryFile(std::string path, int descriptor)
        : m_path(std::move(path))
        , m_descriptor(descriptor)
    {
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile()
    {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
        if (!m_renamed)
            ::unlink(m_path.c_str());
    }

    Status<FileSystemError> write(std::string_view bytes, mode_t permissions)
    {
        while (!bytes.empty()) {
            auto written = ::write(m_descriptor, bytes.data(), bytes.size());
            if (written < 0 && errno == EINTR)
                continue;
            if (written < 0)
                return failure(m_path);
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
        // mkostemp creates the file 0600 whatever was asked for.
        if (::fchmod(m_descriptor, permissions) != 0 || ::fsync(m_descriptor) != 0)
            return failure(m_path);
        int descriptor = std::exchange(m_descriptor, -1);
        if (::close(descriptor) != 0)
            return failure(m_path);
        return Ok {};
    }

    Status<FileSystemError> renameOver(const std::string& target)
    {
        if (::rename(m_path.c_str(), target.c_str()) != 0)
            return failure(target);
        m_renamed = true;
        return Ok {};
    }

private:
    std::string m_path;
    int m_descriptor;
    bool m_renamed { false };
};

// Makes the rename itself survive a crash.
Status<FileSystemError> flushFolder(const std::string& folder)
{
    int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return failure(folder);
    bool flushed = ::fsync(descriptor) == 0;
    int flushError = errno;
    ::close(descriptor);
    if (!flushed)
        return fail(FileSystemError::fromErrno(folder, flushError));
    return Ok {};
}

// A hidden name beside the target: "." + name + "." + six characters that mkostemp chooses.
// Appended piece by piece: GCC 12 warns wrongly (-Wrestrict) on a "." + name + "..." chain at -O3.
std::string temporaryNamePrefix(const std::string& path)
{
    std::string prefix = ".";
    prefix += filePath::name(path);
    prefix += ".";
    return prefix;
}
constexpr std::size_t temporaryNameSuffixLength = 6;

} // namespace

Status<FileSystemError> replaceFileAtomically(const std::string& path, std::string_view bytes, mode_t permissions)
{
    auto folder = filePath::folder(path);
    // mkostemp opens it with O_CREAT | O_EXCL.
    auto temporaryPath = filePath::joined(folder, temporaryNamePrefix(path) + std::string(temporaryNameSuffixLength, 'X'));
    int descriptor = ::mkostemp(temporaryPath.data(), O_CLOEXEC);
    if (descriptor < 0)
        return failure(folder);
    TemporaryFile temporary(temporaryPath, descriptor);
    TRY(temporary.write(bytes, permissions));
    TRY(temporary.renameOver(path));
    return flushFolder(folder);
}

void removeAbandonedTemporaryFiles(const std::string& path)
{
    auto folder = filePath::folder(path);
    auto prefix = temporaryNamePrefix(path);
    struct CloseDirectory {
        void operator()(DIR* directory) const { ::closedir(directory); }
    };
    std::unique_ptr<DIR, CloseDirectory> entries(::opendir(folder.c_str()));
    if (!entries)
        return;
    while (const dirent* entry = ::readdir(entries.get())) {
        std::string_view name = entry->d_name;
        if (name.starts_with(prefix) && name.size() == prefix.size() + temporaryNameSuffixLength)
            ::unlinkat(::dirfd(entries.get()), entry->d_name, 0);
    }
}

} // namespace quorin
