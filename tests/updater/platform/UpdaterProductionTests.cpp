#include "support/LocalHTTPSServer.h"
#include "updater/SignedTestBundle.h"
#include "updater/platform/UpdateHandoff.h"
#include "updater/platform/UpdateReleaseStage.h"
#include "updater/platform/UpdaterProduction.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quorin {
namespace {

using testing::TemporaryDirectory;

TEST(UpdaterProduction, RefusesAFeedURLThatIsNotPlainHTTPSBeforeAnyRequest)
{
    testing::LocalHTTPSServer server;
    auto address = server.url("/bytes/10").substr(std::string("https://").size());
    for (auto feed : { "http://" + address, "https://user@" + address }) {
        TemporaryDirectory storage;
        auto updater = makeProductionUpdater({ "1.2.0", *Url::parse(feed), storage.pathOf("Quorin 4.2.app"), storage.path(), [] {},
            UpdateBundleVerifier({}), { glib::retainGRef(server.tlsDatabase()) } });
        bool finished = false;
        updater->check([&] { finished = true; });
        while (!finished)
            g_main_context_iteration(nullptr, TRUE);
        EXPECT_EQ(updater->state().error, "UPDATE_NETWORK_FAILED") << feed;
        EXPECT_TRUE(std::filesystem::is_empty(storage.pathOf("updates"))) << feed;
    }
    EXPECT_EQ(server.requestCount, 0);
}

TEST(UpdaterProduction, StagingRemovesItsFolderWhenTheArchiveIsRefused)
{
    testing::LocalHTTPSServer server;
    TemporaryDirectory storage;
    UpdateRelease release { "1.3.0", *Url::parse(server.url("/bytes/10")), std::string(86, 'A') + "==", 20 };
    std::optional<std::string> code;
    stageUpdateRelease({ storage.path(), UpdateBundleVerifier({}), { glib::retainGRef(server.tlsDatabase()) } }, release, {},
        [&](UpdateStepResult<std::string> staged) { code = staged.isError() ? staged.error().code() : staged.value(); });
    while (!code)
        g_main_context_iteration(nullptr, TRUE);
    EXPECT_EQ(*code, "UPDATE_NETWORK_FAILED");
    EXPECT_TRUE(std::filesystem::is_empty(storage.path()));
}

// The installed 1.0.0 bundle carries a helper that exits without signalling ready; the staged 1.1.0
// candidate waits in a private job folder. The self-update test sees a real helper signal ready.
TEST(UpdateHandoff, FailsAtOnceWithoutQuittingWhenTheHelperExitsWithoutSignallingReady)
{
    testing::TestSigningKeys keys;
    TemporaryDirectory installed, job;
    auto currentApp = installed.pathOf("Quorin 4.2.app");
    installed.write("Quorin 4.2.app/Contents/Helpers/Quorin42UpdateHelper", "#!/bin/sh\nexit 0\n");
    keys.makeBundle(currentApp, "1.0.0");
    keys.makeBundle(job.pathOf("unpacked/Quorin 4.2.app"), "1.1.0");
    bool quit = false, finished = false;
    std::string result;
    auto started = std::chrono::steady_clock::now();
    handOffUpdate({ currentApp, "1.0.0", UpdateBundleVerifier(keys.trusted()), [&] { quit = true; }, std::chrono::seconds(20) },
        job.pathOf("unpacked/Quorin 4.2.app"), { "1.1.0", *Url::parse("https://updates.test/a.zip"), {}, 5 },
        [&](UpdateStepResult<Ok> handedOff) { result = handedOff.isError() ? handedOff.error().code() : "ok", finished = true; });
    while (!finished)
        g_main_context_iteration(nullptr, TRUE);
    EXPECT_EQ(result, "UPDATE_INSTALL_FAILED");
    EXPECT_FALSE(quit);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    EXPECT_TRUE(std::filesystem::exists(job.pathOf("install-job.json")));
}

} // namespace
} // namespace quorin
