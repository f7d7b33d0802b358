#include "DirectoryWalk.h"

#include "FilePath.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <memory>
#include <string_view>
#include <sys/stat.h>

namespace quorin {

namespace {

struct DirectoryCloser {
    void operator()(DIR* directory) const { ::closedir(directory); }
};

// Entry names of one folder in byte order, "." and ".." left out.
Result<std::vector<std::string>, FileSystemError> sortedNames(const std::string& path)
{
    std::unique_ptr<DIR, DirectoryCloser> directory(::opendir(path.c_str()));
    if (!directory)
        return fail(FileSystemError::fromErrno(path, errno));
    std::vector<std::string> names;
    while (true) {
        errno = 0;
        const dirent* entry = ::readdir(directory.get());
        if (!entry)
            break;
        std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    if (errno != 0)
        return fail(FileSystemError::fromErrno(path, errno));
    std::ranges::sort(names);
    return names;
}

DirectoryEntry::Type typeOf(mode_t mode)
{
    if (S_ISLNK(mode))
        return DirectoryEntry::Type::SymbolicLink;
    if (S_ISREG(mode))
        return DirectoryEntry::Type::RegularFile;
    if (S_ISDIR(mode))
        return DirectoryEntry::Type::Directory;
    return DirectoryEntry::Type::Other;
}

} // namespace

DirectoryWalk::DirectoryWalk(std::string root, std::string folder)
    : m_root(std::move(root))
    , m_pendingFolders { std::move(folder) }
{
}

Status<DirectoryWalkError> DirectoryWalk::enterNextFolder()
{
    m_folder = std::move(m_pendingFolders.back());
    m_pendingFolders.pop_back();
    auto names = sortedNames(filePath::joined(m_root, m_folder));
    if (names.isError())
        return fail(DirectoryWalkError::unlistableFolder(names.releaseError()));
    m_names = names.releaseValue();
    m_nextName = 0;
    return Ok {};
}

Result<std::optional<DirectoryEntry>, DirectoryWalkError> DirectoryWalk::next()
{
    while (m_nextName == m_names.size()) {
        // The first sub-folder goes last onto the stack, so it is listed next.
        m_pendingFolders.insert(m_pendingFolders.end(), std::make_move_iterator(m_subfolders.rbegin()), std::make_move_iterator(m_subfolders.rend()));
        m_subfolders.clear();
        if (m_pendingFolders.empty())
            return std::optional<DirectoryEntry>();
        TRY(enterNextFolder());
    }
    auto relativePath = filePath::joined(m_folder, m_names[m_nextName++]);
    auto path = filePath::joined(m_root, relativePath);
    struct stat status { };
    if (::lstat(path.c_str(), &status) != 0)
        return fail(DirectoryWalkError::unreadableEntry(FileSystemError::fromErrno(path, errno)));
    auto type = typeOf(status.st_mode);
    if (type == DirectoryEntry::Type::Directory)
        m_subfolders.push_back(relativePath);
    return std::optional(DirectoryEntry { std::move(relativePath), std::move(path), type });
}

} // namespace quorin
