#include "support/LocalHTTPSServer.h"
#include "support/TemporaryDirectory.h"
#include "updater/platform/UpdateHTTPClient.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quorin {
namespace {

using namespace std::chrono_literals;

// "ok SIZE" and the progress reports, or the code; then the names the folder holds after.
std::string download(testing::LocalHTTPSServer& server, const std::string& url, std::optional<std::int64_t> expected, std::int64_t limit, UpdateHTTPTimeouts timeouts)
{
    testing::TemporaryDirectory folder;
    std::string progress, files;
    std::optional<Result<std::string, UpdateFailure>> outcome;
    UpdateHTTPClient::fetch(*Url::parse(url), folder.pathOf("archive.zip"), expected, limit, [&](double percent) { progress += " " + std::to_string(int(percent)); },
        nullptr, [&](auto result) { outcome = std::move(result); }, { glib::retainGRef(server.tlsDatabase()), timeouts });
    while (!outcome) // a hang ends at the test's time limit
        g_main_context_iteration(nullptr, TRUE);
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        files += " " + entry.path().filename().string();
    if (outcome->isError())
        return std::get<LauncherUpdateError>(outcome->error()).code() + " |" + files;
    return "ok " + std::to_string(std::filesystem::file_size(outcome->value())) + " |" + progress + " |" + files;
}

TEST(UpdateHTTPClient, StreamsOnlyAPlainWithinLimitOKResponseIntoTheDestination)
{
    testing::LocalHTTPSServer server;
    const std::string refused = "UPDATE_NETWORK_FAILED |";
    const struct { std::string path; std::optional<std::int64_t> size; std::int64_t limit; std::string outcome; UpdateHTTPTimeouts timeouts {}; } cases[] = {
        { "/bytes/1000", {}, 1000, "ok 1000 | 100 | archive.zip" },
        { "/chunked/1001", {}, 1000, refused },
        { "/announced/1000001", {}, 1000000, refused },
        { "/pieces/3", 3, 3, "ok 3 | 33 66 100 | archive.zip" },
        { "/bytes/999", 1000, 2000, refused },
        { "/bytes/0", {}, 1000, refused },
        { "/status/206", {}, 1000, refused },
        { "/redirect?to=/bytes/1", {}, 1000, refused },
        { "/silent", {}, 1000, refused, { 30s, 200ms, 600s } },
        { "/silent", {}, 1000, refused, { 30s, 60s, 200ms } },
    };
    for (const auto& row : cases) {
        int before = server.requestCount;
        EXPECT_EQ(download(server, server.url(row.path), row.size, row.limit, row.timeouts), row.outcome) << row.path;
        EXPECT_EQ(server.requestCount - before, 1) << row.path;
    }
}

} // namespace
} // namespace quorin
