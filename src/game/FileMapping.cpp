#include "FileMapping.h"

#include <cerrno>
#include <sys/mman.h>
#include <utility>

namespace quorin {

Result<FileMapping, FileSystemError> FileMapping::map(int descriptor, std::size_t size, const std::string& path)
{
    if (size == 0) // mmap refuses a zero length
        return FileMapping(nullptr, 0);
    // Populated up front: the file is about to be read from end to end anyway, and one
    // fault-in costs less than a fault per page.
    void* address = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, descriptor, 0);
    if (address == MAP_FAILED)
        return fail(FileSystemError::fromErrno(path, errno));
    return FileMapping(address, size);
}

FileMapping::FileMapping(void* address, std::size_t size)
    : m_address(address)
    , m_size(size)
{
}

FileMapping::FileMapping(FileMapping&& other) noexcept
    : m_address(std::exchange(other.m_address, nullptr))
    , m_size(std::exchange(other.m_size, 0))
{
}

FileMapping& FileMapping::operator=(FileMapping&& other) noexcept
{
    if (this != &other) {
        unmap();
        m_address = std::exchange(other.m_address, nullptr);
        m_size = std::exchange(other.m_size, 0);
    }
    return *this;
}

FileMapping::~FileMapping()
{
    unmap();
}

void FileMapping::unmap()
{
    if (m_address)
        ::munmap(std::exchange(m_address, nullptr), std::exchange(m_size, 0));
}

} // namespace quorin
