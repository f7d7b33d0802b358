#include "CorePrinters.h"
#include "support/TemporaryDirectory.h"
#include "UnprivilegedProcess.h"
#include "core/ReadableFile.h"
#include "core/Sha256.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

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
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

struct KnownVector {
    std::string bytes;
    const char* digest;
};

const KnownVector knownVectors[] = {
    { "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855" },
    { "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad" },
    { "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
        "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1" },
    { std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0" },
};

TEST(Sha256, BytesMatchKnownVectors)
{
    for (const auto& vector : knownVectors) {
        SCOPED_TRACE(vector.bytes.substr(0, 16));
        EXPECT_EQ(sha256Hex(vector.bytes), vector.digest);
    }
}

TEST(Sha256, FilesMatchKnownVectors)
{
    TemporaryDirectory directory;
    for (const auto& vector : knownVectors) {
        SCOPED_TRACE(vector.bytes.substr(0, 16));
        auto path = directory.write("vector", vector.bytes);
        auto digest = sha256HexOfFile(path);
        ASSERT_TRUE(digest.hasValue()) << digest.error().message();
        EXPECT_EQ(*digest, vector.digest);
    }
}

TEST(Sha256, FilesAroundTheReadSizeHashLikeTheirBytes)
{
    TemporaryDirectory directory;
    const std::size_t sizes[] = { 1, mebibyte - 1, mebibyte, mebibyte + 1, 2 * mebibyte, 3 * mebibyte + 17 };
    for (auto size : sizes) {
        SCOPED_TRACE(size);
        auto bytes = patternBytes(size);
        auto path = directory.write("file.bin", bytes);
        auto digest = sha256HexOfFile(path);
        ASSERT_TRUE(digest.hasValue()) << digest.error().message();
        EXPECT_EQ(*digest, sha256Hex(bytes));
        EXPECT_NE(*digest, sha256Hex(bytes.substr(0, size - 1)));
    }
}

TEST(Sha256, UnreadableFilesGiveTheFileSystemError)
{
    TemporaryDirectory directory;
    auto file = directory.write("file", "x");
    struct Case {
        std::string path;
        int errnoValue;
    } cases[] = {
        { directory.pathOf("missing"), ENOENT },
        { directory.path(), EISDIR },
        { file + "/child", ENOTDIR },
        { "", ENOENT },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.path);
        auto digest = sha256HexOfFile(testCase.path);
        ASSERT_TRUE(digest.isError());
        EXPECT_EQ(digest.error(), FileSystemError::fromErrno(testCase.path, testCase.errnoValue));
    }
}

TEST(Sha256, FileWithoutReadPermissionGivesEACCES)
{
    TemporaryDirectory directory;
    ASSERT_EQ(chmod(directory.path().c_str(), 0755), 0);
    auto path = directory.write("secret", "x");
    ASSERT_EQ(chmod(path.c_str(), 0), 0);
    int result = testing::runUnprivileged([&] {
        auto digest = sha256HexOfFile(path);
        if (!digest.isError())
            return 0;
        return digest.error() == FileSystemError::fromErrno(path, EACCES) ? 1 : 2;
    });
    EXPECT_EQ(result, 1) << "0: read anyway, 2: another error";
}

TEST(Sha256, NoDescriptorOutlivesAHash)
{
    TemporaryDirectory directory;
    auto file = directory.write("file", patternBytes(mebibyte + 3));
    auto before = openDescriptorCount();
    for (int i = 0; i < 50; ++i) {
        EXPECT_TRUE(sha256HexOfFile(file).hasValue());
        EXPECT_TRUE(sha256HexOfFile(directory.path()).isError()); // opens, then fails to read
        EXPECT_TRUE(sha256HexOfFile(directory.pathOf("missing")).isError());
    }
    EXPECT_EQ(openDescriptorCount(), before);
}

TEST(ReadableFile, ReadContentsReturnsEveryByte)
{
    TemporaryDirectory directory;
    for (auto size : { std::size_t(0), std::size_t(65535), std::size_t(65536), std::size_t(200001) }) {
        SCOPED_TRACE(size);
        auto bytes = patternBytes(size);
        auto contents = ReadableFile::readContents(directory.write("file", bytes));
        ASSERT_TRUE(contents.hasValue());
        EXPECT_EQ(*contents, bytes);
    }
}

TEST(ReadableFile, MovedFromFileNoLongerOwnsTheDescriptor)
{
    TemporaryDirectory directory;
    auto path = directory.write("file", "abc");
    auto before = openDescriptorCount();
    {
        auto file = ReadableFile::open(path);
        ASSERT_TRUE(file.hasValue());
        ReadableFile moved = file.releaseValue();
        char buffer[8];
        auto count = moved.read(buffer);
        ASSERT_TRUE(count.hasValue());
        EXPECT_EQ(std::string(buffer, *count), "abc");
        EXPECT_EQ(openDescriptorCount(), before + 1);
    }
    EXPECT_EQ(openDescriptorCount(), before);
}

} // namespace
} // namespace quorin
