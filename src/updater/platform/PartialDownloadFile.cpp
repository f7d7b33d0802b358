#include "PartialDownloadFile.h"

#include "core/FilePath.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace quorin {

Result<PartialDownloadFile, FileSystemError> PartialDownloadFile::create(const std::string& destination)
{
    auto folder = filePath::folder(destination);
    std::string name = ".";
    name.append(filePath::name(destination)).append(".download-XXXXXX");
    std::string path = filePath::joined(folder, name);
    int descriptor = ::mkostemp(path.data(), O_CLOEXEC);
    if (descriptor < 0)
        return fail(FileSystemError::fromErrno(folder, errno));
    return PartialDownloadFile(std::move(path), destination, descriptor);
}

PartialDownloadFile::PartialDownloadFile(std::string path, std::string destination, int descriptor)
    : m_path(std::move(path))
    , m_destination(std::move(destination))
    , m_descriptor(descriptor)
{
}

PartialDownloadFile::PartialDownloadFile(PartialDownloadFile&& other) noexcept
    : m_path(std::exchange(other.m_path, {}))
    , m_destination(std::move(other.m_destination))
    , m_descriptor(std::exchange(other.m_descriptor, -1))
    , m_size(other.m_size)
{
}

PartialDownloadFile::~PartialDownloadFile()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    if (!m_path.empty())
        ::unlink(m_path.c_str());
}

Status<FileSystemError> PartialDownloadFile::append(std::string_view bytes)
{
    while (!bytes.empty()) {
        auto written = ::write(m_descriptor, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return fail(FileSystemError::fromErrno(m_path, errno));
        bytes.remove_prefix(static_cast<std::size_t>(written));
        m_size += written;
    }
    return Ok {};
}

Status<FileSystemError> PartialDownloadFile::moveIntoPlace()
{
    // The archive is checked against its digest before anything trusts it, so a crash that
    // loses the data costs a new download only: no flush to disk here.
    int closed = ::close(std::exchange(m_descriptor, -1));
    if (closed != 0 || ::rename(m_path.c_str(), m_destination.c_str()) != 0)
        return fail(FileSystemError::fromErrno(m_destination, errno));
    m_path.clear();
    return Ok {};
}

} // namespace quorin
