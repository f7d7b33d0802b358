#include "ApplicationBundle.h"

#include "FilePath.h"
#include "ReadableFile.h"

#include <plist/plist.h>

#include <filesystem>
#include <limits>
#include <memory>
#include <system_error>

namespace quorin {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view defaultShortVersion = "0.1.0";
// An Info.plist is a few kilobytes; anything past this is not one.
constexpr std::size_t maximumInfoPlistSize = 16 * 1024 * 1024;

struct PlistDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

// libplist detects XML and binary property lists by their first bytes.
PlistPtr parsePlist(const std::string& bytes)
{
    if (bytes.size() > std::numeric_limits<uint32_t>::max())
        return nullptr;
    plist_t root = nullptr;
    plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
    return PlistPtr(root);
}

} // namespace

ApplicationBundle::ApplicationBundle(std::string rootPath)
    : m_rootPath(std::move(rootPath))
{
}

std::optional<ApplicationBundle> ApplicationBundle::running()
{
    std::error_code error;
    auto executable = fs::read_symlink("/proc/self/exe", error);
    if (error)
        return std::nullopt;
    return containingExecutable(executable.string());
}

std::optional<ApplicationBundle> ApplicationBundle::containingExecutable(const std::string& executablePath)
{
    fs::path executable = fs::path(executablePath).lexically_normal();
    if (!executable.has_filename())
        return std::nullopt;
    fs::path macOS = executable.parent_path();
    fs::path contents = macOS.parent_path();
    if (macOS.filename() != "MacOS" || contents.filename() != "Contents")
        return std::nullopt;
    fs::path root = contents.parent_path();
    if (root.empty() || root == root.root_path())
        return std::nullopt;
    return ApplicationBundle(root.string());
}

std::string ApplicationBundle::contentsPath() const { return filePath::joined(m_rootPath, "Contents"); }
std::string ApplicationBundle::infoPlistPath() const { return filePath::joined(contentsPath(), "Info.plist"); }
std::string ApplicationBundle::plugInsDirectory() const { return filePath::joined(contentsPath(), "PlugIns"); }

std::optional<std::string> ApplicationBundle::resourcesDirectory() const
{
    auto path = filePath::joined(contentsPath(), "Resources");
    std::error_code error;
    if (!fs::is_directory(path, error))
        return std::nullopt;
    return path;
}

std::optional<std::string> ApplicationBundle::infoString(const std::string& key) const
{
    auto bytes = ReadableFile::readContents(infoPlistPath(), maximumInfoPlistSize);
    if (bytes.isError() || bytes->empty())
        return std::nullopt;
    auto root = parsePlist(*bytes);
    if (!root || plist_get_node_type(root.get()) != PLIST_DICT)
        return std::nullopt;
    plist_t item = plist_dict_get_item(root.get(), key.c_str());
    if (!item || plist_get_node_type(item) != PLIST_STRING)
        return std::nullopt;
    uint64_t length = 0;
    const char* text = plist_get_string_ptr(item, &length);
    if (!text)
        return std::nullopt;
    return std::string(text, length);
}

std::string ApplicationBundle::shortVersionString() const
{
    return infoString("CFBundleShortVersionString").value_or(std::string(defaultShortVersion));
}

} // namespace quorin
