#include "MappedFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quorin {

Result<MappedFile, FileSystemError> MappedFile::open(const std::string& path)
{
    int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0)
        return fail(FileSystemError::fromErrno(path, errno));
    struct stat status {};
    int error = ::fstat(descriptor, &status) != 0 ? errno : S_ISREG(status.st_mode) ? 0 : EINVAL;
    void* address = nullptr;
    auto size = static_cast<std::size_t>(status.st_size);
    // An empty file cannot be mapped; it is simply no bytes.
    if (error == 0 && size > 0) {
        address = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, descriptor, 0);
        error = address == MAP_FAILED ? errno : 0;
    }
    ::close(descriptor); // the mapping keeps the file
    if (error != 0)
        return fail(FileSystemError::fromErrno(path, error));
    return MappedFile(size > 0 ? address : nullptr, size);
}

Result<MappedFile, FileSystemError> MappedFile::map(int descriptor, std::size_t size, const std::string& path)
{
    if (size == 0) // mmap refuses a zero length
        return MappedFile(nullptr, 0);
    // Populated up front: the file is about to be read from end to end anyway, and one
    // fault-in costs less than a fault per page.
    void* address = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, descriptor, 0);
    if (address == MAP_FAILED)
        return fail(FileSystemError::fromErrno(path, errno));
    return MappedFile(address, size);
}

MappedFile::MappedFile(void* address, std::size_t size)
    : m_address(address)
    , m_size(size)
{
}

MappedFile::MappedFile(MappedFile&& other) noexcept
    : m_address(std::exchange(other.m_address, nullptr))
    , m_size(std::exchange(other.m_size, 0))
{
}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept
{
    if (this != &other) {
        unmap();
        m_address = std::exchange(other.m_address, nullptr);
        m_size = std::exchange(other.m_size, 0);
    }
    return *this;
}

MappedFile::~MappedFile()
{
    unmap();
}

void MappedFile::unmap()
{
    if (m_address)
        ::munmap(m_address, m_size);
    m_address = nullptr;
}

} // namespace quorin
