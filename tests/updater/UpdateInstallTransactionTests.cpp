#include "SignedTestBundle.h"
#include "updater/UpdateBundleVerifier.h"
#include "updater/UpdateInstallTransaction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <sys/stat.h>

namespace quorin {
namespace {

using testing::described;

TEST(UpdateInstallTransaction, AFailureAtEachStepLeavesARunnableInstalledBundle)
{
    // The transaction calls validate for the candidate, the stage copy and the installed copy,
    // then launch; after call `at`, `sabotage` acts on that bundle and may replace the outcome.
    using Sabotage = std::function<std::optional<UpdateFailure>(const std::string& bundle)>;
    auto failWith = [](LauncherUpdateError error) { return Sabotage([=](const std::string&) { return std::optional<UpdateFailure>(error); }); };
    auto then = [](std::function<void(const std::string&)> act) { return Sabotage([=](const std::string& b) { act(b); return std::nullopt; }); };
    struct Case { std::string name; int at; Sabotage sabotage; std::string error; std::string version; int calls; long stages = 0, backups = 0; };
    const Case cases[] = {
        { "installed", 0, {}, "", "1.5.0", 4, 0, 1 },
        { "copy fails", 1, then([](const std::string& b) { ASSERT_EQ(::mkfifo((b + "/Contents/fifo").c_str(), 0600), 0); }), "errno " + std::to_string(EINVAL), "1.4.0", 1, 1 },
        { "stage copy refused", 2, failWith(LauncherUpdateError::signature()), "UPDATE_SIGNATURE_INVALID", "1.4.0", 2 },
        { "backup move fails", 2, then([](std::string s) { testing::TemporaryDirectory::writeFile(s.replace(s.find("-stage-"), 7, "-backup-") + "/x", "x"); }), "errno " + std::to_string(ENOTEMPTY), "1.4.0", 2, 0, 1 },
        { "swap fails, then the old one is started", 2, then([](const std::string& s) { std::filesystem::remove_all(s); }), "errno " + std::to_string(ENOENT), "1.4.0", 3 },
        { "installed copy refused", 3, failWith(LauncherUpdateError::signature()), "UPDATE_SIGNATURE_INVALID", "1.4.0", 4 },
        { "new version does not start", 4, failWith(LauncherUpdateError::launch()), "UPDATE_RELAUNCH_FAILED", "1.4.0", 5 },
    };
    for (const auto& [name, at, sabotage, error, version, calls, stages, backups] : cases) {
        testing::TemporaryDirectory root;
        testing::TestSigningKeys keys;
        auto target = root.pathOf("Apps/Quorin 4.2.app"), candidate = root.pathOf("job/unpacked/Quorin 4.2.app");
        keys.makeBundle(target, "1.4.0");
        keys.makeBundle(candidate, "1.5.0");
        UpdateBundleVerifier verifier(keys.trusted());
        int called = 0;
        auto step = [&](std::function<Status<UpdateFailure>(const std::string&)> real) {
            return [&, real](const std::string& b) { auto outcome = real(b); auto injected = ++called == at ? sabotage(b) : std::nullopt;
                return injected ? Status<UpdateFailure>(fail(*injected)) : outcome; };
        };
        UpdateInstallTransaction transaction(step([&](const std::string& b) { return verifier.verify(b, "1.5.0"); }), step([](const std::string&) { return Status<UpdateFailure>(Ok {}); }));
        EXPECT_EQ(described(transaction.install(candidate, target)), error) << name;
        EXPECT_TRUE(verifier.verify(target, version).hasValue()) << name;
        EXPECT_EQ(called, calls) << name;
        auto beside = [&](std::string_view prefix) { std::filesystem::directory_iterator folder(root.pathOf("Apps"));
            return std::count_if(begin(folder), end(folder), [&](const auto& entry) { return entry.path().filename().string().starts_with(prefix); }); };
        EXPECT_EQ(beside(".quorin-update-stage-"), stages) << name;
        EXPECT_EQ(beside(".quorin-update-backup-"), backups) << name;
        EXPECT_EQ(described(transaction.install(target, target + "/")), "UPDATE_INSTALL_LOCATION_UNWRITABLE") << name;
    }
}

} // namespace
} // namespace quorin
