#include "RevealRoots.h"

#include "core/JsonReaders.h"
#include "core/LocalFolder.h"

#include <filesystem>
#include <system_error>

namespace quorin {

namespace {

// Symbolic links followed as far as the path exists, the rest normalised as written.
std::optional<std::string> resolved(const std::string& path)
{
    std::error_code error;
    auto real = std::filesystem::weakly_canonical(path, error);
    if (error)
        return std::nullopt;
    return real.string();
}

bool contains(const Url& root, const Url& file)
{
    auto folder = LocalFolder::of(root);
    return folder && folder->contains(file);
}

// Inside as written, and still inside once the links that exist are followed.
bool isWithinRoot(const Url& file, const Url& root)
{
    if (!contains(root, file))
        return false;
    auto realPath = resolved(file.filePath());
    auto realRoot = resolved(root.filePath());
    return realPath && realRoot && contains(Url::fileURL(*realRoot), Url::fileURL(*realPath));
}

} // namespace

RevealRoots::RevealRoots(std::vector<Url> roots)
{
    for (const auto& root : roots)
        m_roots.push_back(root.standardized());
}

std::optional<Url> RevealRoots::accept(std::string_view path) const
{
    if (path.size() > maximumPathBytes || !path.starts_with('/') || !json::isTrimmedNonEmpty(path))
        return std::nullopt;
    auto url = Url::fileURL(path).standardized();
    for (const auto& root : m_roots) {
        if (isWithinRoot(url, root))
            return url;
    }
    return std::nullopt;
}

} // namespace quorin
