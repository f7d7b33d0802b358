#pragma once

// A folder on this machine, named by a local file URL ("file:///p" or "file://localhost/p"),
// and the test of whether another file URL lies inside it. Paths are compared decoded and
// with "." and ".." resolved, so an escape such as "%2e%2e" cannot smuggle a step out of the
// folder; URLs in forms that readers may take differently (an escaped "/", a user, a port, a
// path not from the root) are never inside. The web-process extension compiles this file in
// (with Url, which needs only GLib), so both processes apply the one rule.

#include "Url.h"

#include <optional>
#include <string>

namespace quorin {

class LocalFolder {
public:
    // Nothing when the URL is not a local file URL.
    static std::optional<LocalFolder> of(const Url& folderURL);

    // The folder itself or anything below it; a sibling whose name merely starts with the
    // folder's name is outside.
    bool contains(const Url& fileURL) const;

private:
    explicit LocalFolder(std::string path)
        : m_path(std::move(path))
    {
    }

    std::string m_path; // normalised, without a trailing "/" ("" for the file-system root)
};

} // namespace quorin
