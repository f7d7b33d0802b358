#include "StorageLocation.h"

#include "FilePath.h"

#include <cstdlib>
#include <filesystem>
#include <glib.h>

namespace quorin {

namespace {

// "." and ".." resolved, repeated "/" collapsed, no trailing "/" except for the root itself.
std::string normalisedDirectoryPath(std::string_view absolutePath)
{
    auto normalised = std::filesystem::path(absolutePath).lexically_normal().string();
    while (normalised.size() > 1 && normalised.ends_with('/'))
        normalised.pop_back();
    return normalised;
}

bool isAbsolute(std::string_view path)
{
    return path.starts_with('/');
}

std::optional<std::string> testOverride(const StorageLocation::Platform& platform)
{
    if (platform.environmentVariable(std::string(StorageLocation::testingVariable)) != "1")
        return std::nullopt;
    auto directory = platform.environmentVariable(std::string(StorageLocation::testDirectoryVariable));
    if (!directory || !isAbsolute(*directory))
        return std::nullopt;
    return normalisedDirectoryPath(*directory);
}

std::string joined(std::string_view directory, std::string_view name)
{
    return normalisedDirectoryPath(filePath::joined(directory, name));
}

} // namespace

StorageLocation::Platform StorageLocation::Platform::process()
{
    return {
        [](const std::string& name) -> std::optional<std::string> {
            const char* value = std::getenv(name.c_str());
            return value ? std::optional<std::string>(value) : std::nullopt;
        },
        []() -> std::vector<std::string> {
            // Owned by GLib; never freed.
            const char* directory = g_get_user_data_dir();
            if (!directory || !isAbsolute(directory))
                return {};
            return { directory };
        },
    };
}

Result<std::string, LauncherStorageLocationError> StorageLocation::applicationStorageRoot(std::string_view displayName, const Platform& platform)
{
    if (auto root = testOverride(platform))
        return *root;
    auto directories = platform.userDataDirectories();
    if (directories.empty() || !isAbsolute(directories.front()) || !filePath::isPlainComponent(displayName))
        return fail(LauncherStorageLocationError::unavailable());
    return joined(directories.front(), displayName);
}

std::string StorageLocation::preferencesFilePath(std::string_view storageRoot)
{
    return joined(storageRoot, preferencesFileName);
}

std::string StorageLocation::savedAccountsFilePath(std::string_view storageRoot)
{
    return joined(storageRoot, savedAccountsFileName);
}

} // namespace quorin
