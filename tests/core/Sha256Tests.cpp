#include "CorePrinters.h"
#include "core/ReadableFile.h"
#include "core/Sha256.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

namespace quorin {
namespace {

using testing::TemporaryDirectory;

constexpr std::size_t mebibyte = 1048576;

// Bytes that differ from piece to piece, so a skipped or repeated piece changes the digest.
std::string patternBytes(std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 2654435761u) >> 13);
    return bytes;
}

// A known vector, and files around the 1 MiB piece they are hashed in.
TEST(Sha256, BytesAndFilesHashAlike)
{
    TemporaryDirectory directory;
    const std::pair<std::string, std::string> cases[] = {
        { "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855" },
        { patternBytes(mebibyte), "" },
        { patternBytes(mebibyte + 1), "" },
    };
    for (const auto& [bytes, digest] : cases) {
        SCOPED_TRACE(bytes.size());
        EXPECT_EQ(sha256HexOfFile(directory.write("file", bytes)).value(), digest.empty() ? sha256Hex(bytes) : digest);
        EXPECT_TRUE(digest.empty() || sha256Hex(bytes) == digest);
    }
}

TEST(Sha256, UnreadableFilesGiveTheFileSystemErrorAndKeepNoDescriptor)
{
    TemporaryDirectory directory;
    auto openDescriptors = [] { auto entries = std::filesystem::directory_iterator("/proc/self/fd"); return std::distance(begin(entries), end(entries)); };
    auto before = openDescriptors();
    const std::pair<std::string, int> cases[] = { { directory.pathOf("missing"), ENOENT }, { directory.path(), EISDIR } }; // the folder opens, then fails to read
    for (const auto& [path, errnoValue] : cases)
        EXPECT_EQ(sha256HexOfFile(path).error(), FileSystemError::fromErrno(path, errnoValue));
    EXPECT_EQ(openDescriptors(), before);
}

// Sizes at and past the 64 KiB read piece, and the size limit at, and one byte below, the size.
TEST(ReadableFile, ReadContentsReturnsEveryByteUpToTheLimit)
{
    TemporaryDirectory directory;
    for (std::size_t size : { 1, 65536, 200001 }) {
        auto bytes = patternBytes(size);
        auto path = directory.write("file", bytes);
        EXPECT_EQ(ReadableFile::readContents(path).value(), bytes) << size;
        EXPECT_EQ(ReadableFile::readContents(path, size).value(), bytes) << size;
        EXPECT_EQ(ReadableFile::readContents(path, size - 1).error(), FileSystemError::fromErrno(path, EFBIG)) << size;
    }
}

} // namespace
} // namespace quorin
