#include "support/TemporaryDirectory.h"
#include "updater/UpdateInstallJob.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <unistd.h>

namespace quorin {
namespace {

struct JobDirectory {
    testing::TemporaryDirectory root;
    std::string path = root.makeDirectory("job");
    std::string jobPath = path + "/install-job.json";
    UpdateInstallJob job = UpdateInstallJob::create(::getpid(), Url::fileURL(root.pathOf("Apps/Quorin 4.2.app")),
        Url::fileURL(path + "/unpacked/Quorin 4.2.app"), "1.4.0", "1.5.0");

    JobDirectory() { std::filesystem::permissions(path, std::filesystem::perms::owner_all); }
    void write() const { testing::TemporaryDirectory::writeFile(jobPath, job.encoded()); }
};

TEST(UpdateInstallJob, ReadsOnlyAJobThatPassesEveryRule)
{
    const UpdateFailure install = LauncherUpdateError::install();
    using Change = std::function<void(JobDirectory&)>;
    struct Case { std::string name; Change change; std::optional<UpdateFailure> expected; };
    const Case cases[] = {
        { "valid", [](JobDirectory& d) { d.write(); }, std::nullopt },
        { "8193 bytes", [](JobDirectory& d) { d.write(); testing::TemporaryDirectory::writeFile(d.jobPath, d.job.encoded() + std::string(8193 - d.job.encoded().size(), ' ')); }, install },
        { "symbolic link", [](JobDirectory& d) { d.write(); std::filesystem::rename(d.jobPath, d.path + "/other"); std::filesystem::create_symlink("other", d.jobPath); }, install },
        { "not JSON", [](JobDirectory& d) { testing::TemporaryDirectory::writeFile(d.jobPath, "{\"parentPID\":"); }, install },
        { "pid 1", [](JobDirectory& d) { d.job.parentPID = 1; d.write(); }, install },
        { "nonce not a UUID", [](JobDirectory& d) { d.job.nonce += "0"; d.write(); }, install },
        { "directory 0755", [](JobDirectory& d) { d.write(); std::filesystem::permissions(d.path, std::filesystem::perms::others_read, std::filesystem::perm_options::add); }, install },
        { "directory of another user", [](JobDirectory& d) { d.write(); ASSERT_EQ(::chown(d.path.c_str(), ::getuid() + 1, -1), 0); }, install },
        { "candidate elsewhere", [](JobDirectory& d) { d.job.candidate = Url::fileURL(d.path + "/Quorin 4.2.app"); d.write(); }, install },
        { "target not a bundle", [](JobDirectory& d) { d.job.target = Url::fileURL("/opt/Quorin 4.2"); d.write(); }, install },
        { "target in the job directory", [](JobDirectory& d) { d.job.target = Url::fileURL(d.path + "/x/../Quorin 4.2.app"); d.write(); }, install },
        { "same version", [](JobDirectory& d) { d.job.version = "1.4.0"; d.write(); }, install },
        { "two-part version", [](JobDirectory& d) { d.job.version = "1.5"; d.write(); }, LauncherUpdateError::invalidFeed() },
    };
    for (const auto& [name, change, expected] : cases) {
        JobDirectory directory;
        change(directory);
        auto job = UpdateInstallJob::read(directory.jobPath);
        EXPECT_EQ(job.isError() ? std::optional(job.error()) : std::nullopt, expected) << name;
        if (job.hasValue()) {
            EXPECT_EQ(job->encoded(), directory.job.encoded()) << name;
        }
    }
}

TEST(UpdateInstallJob, ReadyOnlyWithTheExactNonce)
{
    JobDirectory directory;
    directory.write();
    EXPECT_FALSE(directory.job.isReady(directory.jobPath));
    ASSERT_TRUE(directory.job.signalReady(directory.jobPath).hasValue());
    EXPECT_TRUE(directory.job.isReady(directory.jobPath));
    testing::TemporaryDirectory::writeFile(directory.path + "/ready", directory.job.nonce + "\n");
    EXPECT_FALSE(directory.job.isReady(directory.jobPath));
    std::filesystem::permissions(directory.path, std::filesystem::perms::group_read, std::filesystem::perm_options::add);
    EXPECT_EQ(directory.job.signalReady(directory.jobPath).error(), UpdateFailure(LauncherUpdateError::install()));
}

} // namespace
} // namespace quorin
