#pragma once

// A fresh directory under the system's temporary folder, removed with everything in it
// when the value goes away. The one temporary-folder helper of the test suites.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quorin::testing {

class TemporaryDirectory {
public:
    TemporaryDirectory()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "quorin-test-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
    }
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;
    ~TemporaryDirectory()
    {
        std::error_code error;
        std::filesystem::remove_all(m_path, error);
    }

    const std::string& path() const { return m_path; }
    std::string pathOf(std::string_view relative) const { return m_path + "/" + std::string(relative); }

    // Writes `bytes` to a file at `relative`, creating the folders on the way.
    std::string write(std::string_view relative, std::string_view bytes) const
    {
        auto path = pathOf(relative);
        writeFile(path, bytes);
        return path;
    }

    // The same for any path.
    static void writeFile(const std::filesystem::path& path, std::string_view bytes)
    {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream stream(path, std::ios::binary | std::ios::trunc);
        stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!stream)
            throw std::runtime_error("cannot write " + path.string());
    }

    std::string makeDirectory(std::string_view relative) const
    {
        auto path = pathOf(relative);
        std::filesystem::create_directories(path);
        return path;
    }

private:
    std::string m_path;
};

} // namespace quorin::testing
