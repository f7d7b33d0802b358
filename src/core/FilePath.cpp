#include "FilePath.h"

#include <filesystem>

namespace quorin::filePath {

std::string joined(std::string_view base, std::string_view relative)
{
    if (base.empty())
        return std::string(relative);
    if (relative.empty())
        return std::string(base);
    std::string path(base);
    if (!path.ends_with('/'))
        path += '/';
    path += relative;
    return path;
}

std::vector<std::string_view> components(std::string_view path)
{
    std::vector<std::string_view> pieces;
    while (true) {
        auto slash = path.find('/');
        pieces.push_back(path.substr(0, slash));
        if (slash == std::string_view::npos)
            return pieces;
        path.remove_prefix(slash + 1);
    }
}

std::string folder(std::string_view path)
{
    auto slash = path.rfind('/');
    if (slash == std::string_view::npos)
        return ".";
    return slash == 0 ? "/" : std::string(path.substr(0, slash));
}

std::string_view name(std::string_view path)
{
    auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool isPlainComponent(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos
        && name.find('\0') == std::string_view::npos;
}

std::string standardized(std::string_view path)
{
    auto normal = std::filesystem::path(path).lexically_normal().string();
    while (normal.size() > 1 && normal.ends_with('/'))
        normal.pop_back();
    return normal;
}

} // namespace quorin::filePath
