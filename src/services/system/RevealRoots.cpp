#include "RevealRoots.h"

#include "core/JsonReaders.h"

#include <filesystem>
#include <system_error>

namespace quorin {

namespace {

// Equal to the root, or below it.
bool isWithin(std::string_view path, std::string_view root)
{
    if (root.ends_with('/'))
        root.remove_suffix(1);
    return path == root || (path.starts_with(root) && path.substr(root.size()).starts_with('/'));
}

// Symbolic links followed as far as the path exists, the rest normalised as written.
std::optional<std::string> resolved(const std::string& path)
{
    std::error_code error;
    auto real = std::filesystem::weakly_canonical(path, error);
    if (error)
        return std::nullopt;
    return real.string();
}

bool isWithinRoot(const std::string& path, const Url& root)
{
    if (!root.isFileURL() || !isWithin(path, root.filePath()))
        return false;
    auto realPath = resolved(path);
    auto realRoot = resolved(root.filePath());
    return realPath && realRoot && isWithin(*realPath, *realRoot);
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
    auto filePath = url.filePath();
    for (const auto& root : m_roots) {
        if (isWithinRoot(filePath, root))
            return url;
    }
    return std::nullopt;
}

} // namespace quorin
