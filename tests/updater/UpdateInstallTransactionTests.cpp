#include "SignedTestBundle.h"
#include "core/ReadableFile.h"
#include "updater/UpdateBundleVerifier.h"
#include "updater/UpdateInstallTransaction.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sys/stat.h>

namespace quorin {
namespace {

struct Installation {
    testing::TemporaryDirectory root;
    testing::TestSigningKeys keys;
    std::string target = root.pathOf("Apps/Quorin 4.2.app");
    std::string candidate = root.pathOf("job/unpacked/Quorin 4.2.app");

    Installation()
    {
        std::string executable(4096, '\0'); // this program's ELF header: an executable for this machine
        executable.resize(ReadableFile::open("/proc/self/exe").value().read(executable).value());
        keys.makeBundle(target, "1.4.0", executable);
        keys.makeBundle(candidate, "1.5.0", executable);
    }
    std::string versionAtTarget() const
    {
        UpdateBundleVerifier verifier(keys.trusted());
        return verifier.verify(target, "1.5.0").hasValue() ? "1.5.0" : verifier.verify(target, "1.4.0").hasValue() ? "1.4.0" : "none";
    }
    std::vector<std::string> leftBeside(std::string_view prefix) const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(root.pathOf("Apps")))
            if (entry.path().filename().string().starts_with(prefix))
                names.push_back(entry.path().string());
        return names;
    }
};

TEST(UpdateInstallTransaction, AFailureAtEachStepLeavesARunnableInstalledBundle)
{
    const UpdateFailure signature = LauncherUpdateError::signature();
    // Called after the n-th validation (1: candidate, 2: stage copy, 3: installed copy) or the
    // n-th launch; a failure it returns replaces that step's outcome.
    using Hook = std::function<std::optional<UpdateFailure>(int call, const std::string& bundle)>;
    auto atCall = [](int n, std::function<void(const std::string&)> action, std::optional<UpdateFailure> failure = std::nullopt) {
        return Hook([=](int call, const std::string& bundle) { if (call == n) action(bundle); return call == n ? failure : std::nullopt; });
    };
    auto nothing = [](const std::string&) {};
    auto backupOf = [](const std::string& stage) { auto name = stage; return name.replace(name.find("-stage-"), 7, "-backup-"); };
    struct Case { std::string name; Hook validate; Hook launch; int expectedErrno; std::optional<UpdateFailure> expected; std::string version; int launches; std::size_t stages = 0, backups = 0; };
    const Case cases[] = {
        { "installed", {}, {}, 0, std::nullopt, "1.5.0", 1, 0, 1 },
        { "copy fails", atCall(1, [](const std::string& b) { ASSERT_EQ(::mkfifo((b + "/Contents/fifo").c_str(), 0600), 0); }), {}, EINVAL, std::nullopt, "1.4.0", 0, 1 },
        { "stage copy refused", atCall(2, nothing, signature), {}, 0, signature, "1.4.0", 0 },
        { "backup move fails", atCall(2, [&](const std::string& s) { testing::TemporaryDirectory::writeFile(backupOf(s) + "/x", "x"); }), {}, ENOTEMPTY, std::nullopt, "1.4.0", 0, 0, 1 },
        { "swap fails", atCall(2, [](const std::string& s) { std::filesystem::remove_all(s); }), {}, ENOENT, std::nullopt, "1.4.0", 1 },
        { "installed copy refused", atCall(3, nothing, signature), {}, 0, signature, "1.4.0", 1 },
        { "new version does not start", {}, atCall(1, nothing, LauncherUpdateError::launch()), 0, LauncherUpdateError::launch(), "1.4.0", 2 },
    };
    for (const auto& [name, validateHook, launchHook, expectedErrno, expected, version, launches, stages, backups] : cases) {
        Installation installation;
        int validations = 0;
        auto step = [&](Hook hook, int& counter, std::function<Status<UpdateFailure>(const std::string&)> real) {
            return [&, hook, real](const std::string& bundle) -> Status<UpdateFailure> {
                auto outcome = real(bundle);
                ++counter;
                auto injected = hook ? hook(counter, bundle) : std::nullopt;
                return injected ? Status<UpdateFailure>(fail(*injected)) : std::move(outcome);
            };
        };
        UpdateBundleVerifier verifier(installation.keys.trusted());
        int launchCount = 0;
        UpdateInstallTransaction transaction(step(validateHook, validations, [&](const std::string& b) { return verifier.verify(b, "1.5.0"); }),
            step(launchHook, launchCount, [](const std::string&) { return Status<UpdateFailure>(Ok {}); }));
        auto outcome = transaction.install(installation.candidate, installation.target);
        auto* fileError = outcome.isError() ? std::get_if<FileSystemError>(&outcome.error()) : nullptr;
        EXPECT_EQ(fileError ? fileError->code.value() : 0, expectedErrno) << name;
        if (!fileError) {
            EXPECT_EQ(outcome.isError() ? std::optional(outcome.error()) : std::nullopt, expected) << name;
        }
        EXPECT_EQ(installation.versionAtTarget(), version) << name;
        EXPECT_EQ(launchCount, launches) << name;
        EXPECT_EQ(installation.leftBeside(".quorin-update-stage-").size(), stages) << name;
        EXPECT_EQ(installation.leftBeside(".quorin-update-backup-").size(), backups) << name;
    }
}

TEST(UpdateInstallTransaction, RefusesTheSameBundleAndAnyBundleOutsideTheLocationRule)
{
    Installation installation;
    UpdateInstallTransaction transaction([](const std::string&) { return Status<UpdateFailure>(Ok {}); }, [](const std::string&) { return Status<UpdateFailure>(Ok {}); });
    EXPECT_EQ(transaction.install(installation.target, installation.target + "/").error(), UpdateFailure(LauncherUpdateError::location()));
    std::filesystem::create_directory_symlink(installation.candidate, installation.root.pathOf("link.app"));
    EXPECT_EQ(transaction.install(installation.root.pathOf("link.app"), installation.target).error(), UpdateFailure(LauncherUpdateError::location()));
}

} // namespace
} // namespace quorin
