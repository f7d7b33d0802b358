#pragma once

// Every entry below a folder, one at a time: a folder's own entries in byte order of their
// names, then the entries of each of its sub-folders in turn, in the same order. Links are
// reported as links and never followed; hidden entries are included. A walk that stops
// early has looked at nothing past the last entry it reported.

#include "FileSystemError.h"
#include "Result.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quorin {

struct DirectoryEntry {
    enum class Type { RegularFile, Directory, SymbolicLink, Other };

    std::string relativePath; // from the walk's root, "/"-separated
    std::string path;         // the root joined with relativePath
    Type type;
};

struct DirectoryWalkError {
    enum class Case {
        UnlistableFolder, // a folder could not be opened or read to its end
        UnreadableEntry,  // an entry's attributes could not be read
    };
    Case errorCase;
    FileSystemError fileSystemError;

    static DirectoryWalkError unlistableFolder(FileSystemError error) { return { Case::UnlistableFolder, std::move(error) }; }
    static DirectoryWalkError unreadableEntry(FileSystemError error) { return { Case::UnreadableEntry, std::move(error) }; }
    bool operator==(const DirectoryWalkError&) const = default;
};

class DirectoryWalk {
public:
    // Walks root/folder; relative paths start with `folder` ("" walks the root itself).
    explicit DirectoryWalk(std::string root, std::string folder = {});

    // The next entry; nullopt once every entry has been reported.
    Result<std::optional<DirectoryEntry>, DirectoryWalkError> next();

private:
    Status<DirectoryWalkError> enterNextFolder();

    std::string m_root;
    std::vector<std::string> m_pendingFolders; // the next one last
    std::string m_folder;                      // relative path of the folder being listed
    std::vector<std::string> m_names;          // its entries, sorted
    std::size_t m_nextName { 0 };
    std::vector<std::string> m_subfolders; // its sub-folders seen so far, in order
};

} // namespace quorin
