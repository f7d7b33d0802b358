#include "ZipBuilder.h"
#include "support/TemporaryDirectory.h"
#include "core/MappedFile.h"
#include "updater/UpdateArchive.h"
#include "updater/UpdateZIPDirectory.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sys/mman.h>

namespace quorin {
namespace {

using testing::TemporaryDirectory;
using testing::Zip;
using testing::zipOf;

const std::string root = "Quorin 4.2.app/";
const std::string plist = root + "Contents/Info.plist";

Zip sample(std::string_view comment = {}) { return zipOf({ { root, "", 040755 }, { plist, "<plist/>" } }, comment); }

bool valid(std::string_view bytes)
{
    auto outcome = UpdateZIPDirectory::validate(bytes);
    EXPECT_TRUE(outcome.hasValue() || outcome.error() == LauncherUpdateError::invalidArchive());
    return outcome.hasValue();
}

std::string withName(const std::string& name) { return zipOf({ { root, "", 040755 }, { name, "x" } }).bytes; }

TEST(UpdateZIPDirectory, RefusesEveryBrokenRuleByteByByte)
{
    auto inserted = [](Zip zip, std::size_t at, std::string_view bytes) { zip.bytes.insert(at, bytes); return zip.bytes; };
    auto patched = [](std::function<void(Zip&)> change) { auto zip = sample(); change(zip); return zip.bytes; };
    // The folder entry claims all but the 8 bytes of the other entry's sum.
    auto bomb = [&](std::uint32_t sum) { return patched([=](Zip& z) { z.put(z.central[0] + 24, sum - 8, 4); }); };
    const std::pair<std::string, std::string> refused[] = {
        { "21 bytes", sample().bytes.substr(0, 21) },
        { "no entries", zipOf({}).bytes },
        { "byte after the largest comment", sample(std::string(65535, 'c')).bytes + "x" },
        { "disk number", patched([](Zip& z) { z.put(z.end + 4, 0xFFFF, 2); }) },
        { "byte before the end record", inserted(sample(), sample().end, "x") },
        { "gap at the end of the directory", [&] { auto z = sample(); z.put(z.end + 12, z.end + 1 - z.central[0], 4); return inserted(z, z.end, "x"); }() },
        { "central signature", patched([](Zip& z) { z.put(z.central[1], 0x02014b51, 4); }) },
        { "entry past the end record", patched([](Zip& z) { z.put(z.central[1] + 30, 1, 2); }) },
        { "name of 1024 bytes", withName(root + std::string(1024 - root.size(), 'n')) },
        { "encrypted", patched([](Zip& z) { z.put(z.central[1] + 8, 1, 2).put(z.local[1] + 6, 1, 2); }) },
        { "symbolic link", zipOf({ { root, "", 040755 }, { root + "link", "Contents", 0120777 } }).bytes },
        { "not UTF-8", withName(root + "\xC0\xAF") },
        { "backslash", withName(root + "Contents\\x") },
        { "leading slash", withName("/" + root + "x") },
        { "bundle name without its slash", withName("Quorin 4.2.app") },
        { "dot-dot part", withName(root + "Contents/../../x") },
        { "dot part", withName(root + "./x") },
        { "duplicate name", zipOf({ { plist, "a" }, { plist, "b" } }).bytes },
        { "duplicate local offset", patched([](Zip& z) { z.put(z.central[1] + 42, 0, 4); }) },
        { "local signature", patched([](Zip& z) { z.put(z.local[1], 0, 4); }) },
        { "local flags differ", patched([](Zip& z) { z.put(z.local[1] + 6, 8, 2); }) },
        { "local name length differs", patched([](Zip& z) { z.put(z.local[1] + 26, 5, 2); }) },
        { "local name differs", patched([](Zip& z) { z.bytes[z.local[1] + 30 + 3] = 'X'; }) },
        { "data runs into the directory", patched([](Zip& z) { z.put(z.central[1] + 20, 9, 4); }) },
        { "decompression bomb", bomb(0x20000001) },
    };
    for (const auto& [name, bytes] : refused)
        EXPECT_FALSE(valid(bytes)) << name;

    EXPECT_TRUE(valid(sample().bytes));
    EXPECT_TRUE(valid(sample(std::string(65535, 'c')).bytes));
    EXPECT_TRUE(valid(zipOf({ { root, "", 0 } }).bytes)); // no file type at all
    EXPECT_TRUE(valid(withName(root + std::string(1023 - root.size(), 'n'))));
    EXPECT_TRUE(valid(bomb(0x20000000)));
}

TEST(UpdateZIPDirectory, BoundsTheEntryCountAndTheArchiveSize)
{
    std::vector<testing::ZipEntry> entries;
    for (int index = 0; index < 10001; ++index)
        entries.push_back({ root + std::to_string(index) + "/", "", 040755 });
    EXPECT_FALSE(valid(zipOf(entries).bytes));
    entries.pop_back();
    EXPECT_TRUE(valid(zipOf(entries).bytes));
    // Never touched: the size alone refuses it.
    std::size_t size = UpdateZIPDirectory::maximumArchiveSize + 1;
    void* pages = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    ASSERT_NE(pages, MAP_FAILED);
    EXPECT_FALSE(valid({ static_cast<const char*>(pages), size }));
    munmap(pages, size);
}

// Archives made by other tools: Python's zipfile and libarchive's bsdtar.
TEST(UpdateZIPDirectory, AcceptsRealArchivesAndRefusesBzip2)
{
    TemporaryDirectory directory;
    directory.write("Quorin 4.2.app/Contents/MacOS/Quorin42Launcher", std::string(100000, 'x'));
    directory.write("Quorin 4.2.app/Contents/Info.plist", "<plist/>");
    auto command = "cd '" + directory.path() + "' && bsdtar --format zip -cf bsdtar.zip 'Quorin 4.2.app' && python3 -c \"import zipfile,os\n"
        "for n,m in (('deflated.zip',zipfile.ZIP_DEFLATED),('bzip2.zip',zipfile.ZIP_BZIP2)):\n with zipfile.ZipFile(n,'w',m) as z:\n"
        "  for d,_,fs in os.walk('Quorin 4.2.app'):\n   z.write(d)\n   [z.write(os.path.join(d,f)) for f in fs]\n  z.comment=b'c'*65535\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    for (std::string name : { "deflated.zip", "bzip2.zip", "bsdtar.zip" }) // only bzip2's method is refused
        EXPECT_EQ(valid(MappedFile::open(directory.pathOf(name)).value().bytes()), name != "bzip2.zip") << name;
    EXPECT_EQ(MappedFile::open(directory.path()).error(), FileSystemError::fromErrno(directory.path(), EINVAL));
}

TEST(UpdateArchive, DigestAndSizeMustBothMatchAPlainFile)
{
    TemporaryDirectory directory;
    auto path = directory.write("archive.zip", std::string(2 * 1048576 + 3, 'z'));
    std::filesystem::create_symlink(path, directory.pathOf("link.zip"));
    auto release = [&](std::int64_t size, std::string sha512) { return UpdateRelease { "1.0.0", Url::fileURL(path), std::move(sha512), size }; };
    auto digest = UpdateArchive::digestOf(path).value();
    ASSERT_EQ(digest.size, 2 * 1048576 + 3);
    EXPECT_EQ(digest.sha512, "g/y9LGF2yzD7FjLekj+oKrfjyzHTvnwYiKsbopTLGedftl/o3X+9ISDKKEkUgUH5JT14BBsCI9lOHKIeAKmVUg==");
    EXPECT_TRUE(UpdateArchive::verifyDigest(path, release(digest.size, digest.sha512)).hasValue());
    const UpdateFailure integrity = LauncherUpdateError::integrity();
    EXPECT_EQ(UpdateArchive::verifyDigest(path, release(digest.size - 1, digest.sha512)).error(), integrity);
    EXPECT_EQ(UpdateArchive::verifyDigest(path, release(digest.size, std::string(86, 'A') + "==")).error(), integrity);
    EXPECT_EQ(UpdateArchive::verifyDigest(directory.pathOf("link.zip"), release(digest.size, digest.sha512)).error(), integrity);
    auto missing = directory.pathOf("missing.zip");
    EXPECT_EQ(UpdateArchive::verifyDigest(missing, release(digest.size, digest.sha512)).error(), UpdateFailure(FileSystemError::fromErrno(missing, ENOENT)));
}

} // namespace
} // namespace quorin
