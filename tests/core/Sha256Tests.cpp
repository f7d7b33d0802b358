#include "CorePrinters.h"
#include "core/ReadableFile.h"
#include "core/Sha256.h"
#include "support/TemporaryDirectory.h"
#include "support/UnprivilegedProcess.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>

namespace quorin {
namespace {

using testing::TemporaryDirectory;

constexpr std::size_t mebibyte = 1048576;

// Bytes that differ from piece to piece, so a skipped or repeated piece changes the digest.
std::string patternBytes(std::size_t size)
{
    std::string bytes(size, '\0');
    std::uint32_t state = 0x12345678;
    for (auto& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<char>(state >> 24);
    }
    return bytes;
}

std::size_t openDescriptorCount()
{
    auto entries = std::filesystem::directory_iterator("/proc/self/fd");
    return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
}

// Known vectors, and files around the 1 MiB piece they are hashed in.
TEST(Sha256, BytesAndFilesHashAlike)
{
    TemporaryDirectory directory;
    const std::pair<std::string, std::string> cases[] = {
        { "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855" },
        { "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1" },
        { std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0" },
        { patternBytes(mebibyte - 1), "" },
        { patternBytes(mebibyte), "" },
        { patternBytes(mebibyte + 1), "" },
    };
    for (const auto& [bytes, digest] : cases) {
        SCOPED_TRACE(bytes.size());
        if (!digest.empty()) {
            EXPECT_EQ(sha256Hex(bytes), digest);
        }
        EXPECT_EQ(sha256HexOfFile(directory.write("file", bytes)).value(), digest.empty() ? sha256Hex(bytes) : digest);
    }
}

TEST(Sha256, UnreadableFilesGiveTheFileSystemErrorAndKeepNoDescriptor)
{
    TemporaryDirectory directory;
    auto file = directory.write("file", "x");
    auto before = openDescriptorCount();
    const std::pair<std::string, int> cases[] = {
        { directory.pathOf("missing"), ENOENT },
        { directory.path(), EISDIR }, // opens, then fails to read
        { file + "/child", ENOTDIR },
    };
    for (const auto& [path, errnoValue] : cases)
        EXPECT_EQ(sha256HexOfFile(path).error(), FileSystemError::fromErrno(path, errnoValue));
    EXPECT_EQ(openDescriptorCount(), before);

    ASSERT_EQ(chmod(directory.path().c_str(), 0755), 0);
    ASSERT_EQ(chmod(file.c_str(), 0), 0);
    int result = testing::runUnprivileged([&] { return sha256HexOfFile(file).error() == FileSystemError::fromErrno(file, EACCES) ? 1 : 0; });
    EXPECT_EQ(result, 1) << "a file without read permission gives EACCES";
}

// Sizes around the 64 KiB read piece, and the size limit at, and one byte past, the size.
TEST(ReadableFile, ReadContentsReturnsEveryByteUpToTheLimit)
{
    TemporaryDirectory directory;
    for (std::size_t size : { 0, 65535, 65536, 200001 }) {
        SCOPED_TRACE(size);
        auto bytes = patternBytes(size);
        auto path = directory.write("file", bytes);
        EXPECT_EQ(ReadableFile::readContents(path).value(), bytes);
        EXPECT_EQ(ReadableFile::readContents(path, size).value(), bytes);
        if (size > 0) {
            EXPECT_EQ(ReadableFile::readContents(path, size - 1).error(), FileSystemError::fromErrno(path, EFBIG));
        }
    }
}

} // namespace
} // namespace quorin
