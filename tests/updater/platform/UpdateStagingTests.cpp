#include "core/DirectoryWalk.h"
#include "core/ReadableFile.h"
#include "updater/SignedTestBundle.h"
#include "updater/UpdateArchive.h"
#include "updater/ZipWriter.h"
#include "updater/platform/UpdateStaging.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <glib.h>
#include <thread>

namespace quorin {
namespace {

using testing::TemporaryDirectory;

// A bundle of 1.4.0 sealed with `keys`, packed whole, with an `extra` entry after it.
std::string releaseArchive(const testing::TestSigningKeys& keys, const std::string& extra)
{
    TemporaryDirectory scratch;
    keys.makeBundle(scratch.pathOf("Quorin 4.2.app"), "1.4.0");
    ZipWriter zip;
    DirectoryWalk walk(scratch.path(), "Quorin 4.2.app");
    zip.add("Quorin 4.2.app/", {}, 040755);
    while (auto entry = MUST(walk.next())) {
        bool folder = entry->type == DirectoryEntry::Type::Directory;
        zip.add(entry->relativePath + (folder ? "/" : ""), folder ? "" : MUST(ReadableFile::readContents(entry->path)), folder ? 040755 : 0100755);
    }
    if (!extra.empty())
        zip.add(extra, "x", 0100644);
    return std::move(zip).finish();
}

// The bundle's path inside the staging folder or the code, whether the completion ran on the main thread and what the staging folder holds after.
std::string stage(const std::string& archiveBytes, bool matchingDigest, const UpdateTrustedKeys& keys)
{
    TemporaryDirectory parent;
    auto folder = parent.makeDirectory("staging");
    auto archive = parent.write("staging/archive.zip", archiveBytes);
    auto digest = MUST(UpdateArchive::digestOf(archive));
    UpdateRelease release { "1.4.0", *Url::parse("https://updates.test/a.zip"), matchingDigest ? digest.sha512 : std::string(86, 'A') + "==", digest.size };
    std::optional<std::string> outcome;
    auto mainThread = std::this_thread::get_id();
    UpdateStaging::prepare(archive, release, folder, UpdateBundleVerifier(keys), [&](UpdateStaging::Outcome result) {
        outcome = result.isError() ? std::get<LauncherUpdateError>(result.error()).code() : result.value().substr(folder.size());
        *outcome += std::this_thread::get_id() == mainThread ? " main" : " worker";
    });
    while (!outcome)
        g_main_context_iteration(nullptr, TRUE);
    return *outcome + (std::filesystem::exists(folder) ? " kept" : " removed");
}

TEST(UpdateStaging, UnpacksOnlyAnIntactWellFormedArchiveOfATrustedBundle)
{
    testing::TestSigningKeys keys, others;
    auto good = releaseArchive(keys, {});
    EXPECT_EQ(stage(good, true, keys.trusted()), "/unpacked/Quorin 4.2.app main kept");
    EXPECT_EQ(stage(good, false, keys.trusted()), "UPDATE_INTEGRITY_FAILED main removed");
    EXPECT_EQ(stage(releaseArchive(keys, "Other.app/x"), true, keys.trusted()), "UPDATE_ARCHIVE_INVALID main removed");
    EXPECT_EQ(stage(good, true, others.trusted()), "UPDATE_SIGNATURE_INVALID main removed");
}

} // namespace
} // namespace quorin
