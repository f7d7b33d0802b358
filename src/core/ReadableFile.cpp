#include "ReadableFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quorin {

// Opening a FIFO for reading would wait for a writer, and a device may never end: open
// without waiting, then read only regular files (directories keep their own read error).
Result<ReadableFile, FileSystemError> ReadableFile::open(std::string path)
{
    int descriptor;
    do
        descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    while (descriptor < 0 && errno == EINTR);
    if (descriptor < 0)
        return fail(FileSystemError::fromErrno(std::move(path), errno));
    ReadableFile file(std::move(path), descriptor);
    struct stat status {};
    if (::fstat(descriptor, &status) != 0)
        return fail(FileSystemError::fromErrno(file.path(), errno));
    if (!S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode))
        return fail(FileSystemError::fromErrno(file.path(), EINVAL));
    return file;
}

Result<std::string, FileSystemError> ReadableFile::readContents(std::string path, std::size_t maximumSize)
{
    auto file = TRY(open(std::move(path)));
    std::string contents;
    char buffer[64 * 1024];
    while (true) {
        auto count = TRY(file.read(buffer));
        if (count == 0)
            return contents;
        if (count > maximumSize - contents.size())
            return fail(FileSystemError::fromErrno(file.path(), EFBIG));
        contents.append(buffer, count);
    }
}

ReadableFile::ReadableFile(std::string path, int descriptor)
    : m_path(std::move(path))
    , m_descriptor(descriptor)
{
}

ReadableFile::ReadableFile(ReadableFile&& other) noexcept
    : m_path(std::move(other.m_path))
    , m_descriptor(std::exchange(other.m_descriptor, -1))
{
}

ReadableFile& ReadableFile::operator=(ReadableFile&& other) noexcept
{
    if (this != &other) {
        close();
        m_path = std::move(other.m_path);
        m_descriptor = std::exchange(other.m_descriptor, -1);
    }
    return *this;
}

ReadableFile::~ReadableFile()
{
    close();
}

void ReadableFile::close()
{
    // Not retried on EINTR: on Linux the descriptor is released even then.
    if (m_descriptor >= 0)
        ::close(std::exchange(m_descriptor, -1));
}

Result<std::size_t, FileSystemError> ReadableFile::read(std::span<char> buffer)
{
    ssize_t count;
    do
        count = ::read(m_descriptor, buffer.data(), buffer.size());
    while (count < 0 && errno == EINTR);
    if (count < 0)
        return fail(FileSystemError::fromErrno(m_path, errno));
    return static_cast<std::size_t>(count);
}

} // namespace quorin
