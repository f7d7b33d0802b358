#include "MappedFile.h"

#include <cerrno>
#include <sys/mman.h>
#include <utility>

namespace quorin {

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
        ::munmap(std::exchange(m_address, nullptr), std::exchange(m_size, 0));
}

} // namespace quorin
