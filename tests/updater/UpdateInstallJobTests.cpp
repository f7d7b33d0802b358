#include "support/TemporaryDirectory.h"
#include "updater/UpdateInstallJob.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <unistd.h>

namespace quorin {
namespace {

using testing::TemporaryDirectory;
namespace fs = std::filesystem;

struct JobDirectory {
    TemporaryDirectory root;
    std::string path = root.makeDirectory("job"), jobPath = path + "/install-job.json";
    UpdateInstallJob job = UpdateInstallJob::create(::getpid(), Url::fileURL(root.pathOf("Apps/Quorin 4.2.app")), Url::fileURL(path + "/unpacked/Quorin 4.2.app"), "1.4.0", "1.5.0");

    JobDirectory() { fs::permissions(path, fs::perms::owner_all); }
    void write() const { TemporaryDirectory::writeFile(jobPath, job.encoded()); }
};

TEST(UpdateInstallJob, ReadsOnlyAJobThatPassesEveryRuleAndIsReadyOnlyWithItsExactNonce)
{
    const UpdateFailure install = LauncherUpdateError::install();
    struct Case { std::string name; std::function<void(JobDirectory&)> change; std::optional<UpdateFailure> expected; };
    const Case cases[] = {
        { "valid", [](JobDirectory&) {}, std::nullopt },
        { "8193 bytes", [](JobDirectory& d) { TemporaryDirectory::writeFile(d.jobPath, d.job.encoded() + std::string(8193 - d.job.encoded().size(), ' ')); }, install },
        { "not JSON", [](JobDirectory& d) { TemporaryDirectory::writeFile(d.jobPath, "{\"parentPID\":"); }, install },
        { "nonce not a UUID", [](JobDirectory& d) { d.job.nonce += "0"; d.write(); }, install },
        { "directory 0750", [](JobDirectory& d) { fs::permissions(d.path, fs::perms::group_read | fs::perms::group_exec, fs::perm_options::add); }, install },
        { "candidate elsewhere", [](JobDirectory& d) { d.job.candidate = Url::fileURL(d.path + "/Quorin 4.2.app"); d.write(); }, install },
        { "target in the job directory", [](JobDirectory& d) { d.job.target = Url::fileURL(d.path + "/x/../Quorin 4.2.app"); d.write(); }, install },
        { "same version", [](JobDirectory& d) { d.job.version = "1.4.0"; d.write(); }, install },
        { "two-part version", [](JobDirectory& d) { d.job.version = "1.5"; d.write(); }, LauncherUpdateError::invalidFeed() },
    };
    for (const auto& [name, change, expected] : cases) {
        JobDirectory directory;
        directory.write();
        change(directory);
        auto job = UpdateInstallJob::read(directory.jobPath);
        EXPECT_EQ(job.isError() ? std::optional(job.error()) : std::nullopt, expected) << name;
        EXPECT_EQ(job.hasValue() ? job->encoded() : directory.job.encoded(), directory.job.encoded()) << name;
    }
    JobDirectory directory; // ready only with the exact nonce
    directory.write();
    ASSERT_TRUE(directory.job.signalReady(directory.jobPath).hasValue());
    EXPECT_TRUE(directory.job.isReady(directory.jobPath));
    TemporaryDirectory::writeFile(directory.path + "/ready", directory.job.nonce + "\n");
    EXPECT_FALSE(directory.job.isReady(directory.jobPath));
}

} // namespace
} // namespace quorin
