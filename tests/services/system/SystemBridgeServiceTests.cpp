#include "services/system/SystemBridgeService.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

namespace quorin {
namespace {

// Answers each command with a value of its own and records what reached it.
struct RecordingCommands final : SystemCommandHandling {
    std::vector<std::string> calls;

    bool record(std::string call, bool answer = true) { return calls.push_back(std::move(call)), answer; }
    bool openExternal(const Url& url) override { return record("openExternal " + url.string()); }
    bool copyText(const std::string& text) override { return record("copyText " + std::to_string(text.size())); }
    bool reveal(const Url& fileURL) override { return record("reveal " + fileURL.string(), false); }
    bool minimizeWindow() override { return record("minimizeWindow"); }
    bool toggleMaximizeWindow() override { return record("toggleMaximizeWindow", false); }
    bool closeWindow() override { return record("closeWindow"); }
    bool isWindowMaximized() override { return record("isWindowMaximized", false); }
    double zoomFactor() override { return record("zoomFactor") ? 1.5 : 0; }
    double zoomIn() override { return record("zoomIn") ? 1.1 : 0; }
    double zoomOut() override { return record("zoomOut") ? 0.9 : 0; }
    double resetZoom() override { return record("resetZoom") ? 1 : 0; }
    bool setAudioMuted(bool muted) override { return record("setAudioMuted " + std::to_string(muted)); }
    bool isAudioMuted() override { return record("isAudioMuted", false); }
};

TEST(SystemBridgeService, ChecksEachMethodsArgumentsBeforeTheCommandRuns)
{
    testing::TemporaryDirectory folder;
    auto root = folder.makeDirectory("Quorin 4.2");
    auto rootURL = Url::fileURL(root).string();
    std::filesystem::create_directory_symlink(folder.path(), root + "/out");
    auto string = BridgeValue::string;
    // Method, first argument, reply (value or code), call that reached the commands ("" for none). Zoom-in, mute and close run end to end.
    const std::tuple<std::string_view, BridgeValue, std::string, std::string> cases[] = {
        { "openExternal", string("HTTPS://example.com:8443/a?b=c"), "true", "openExternal https://example.com:8443/a?b=c" },
        { "openExternal", string(" https://example.com"), "SYSTEM_EXTERNAL_URL_DENIED", "" },
        { "openExternal", string("https://example.com/" + std::string(4097 - 20, 'a')), "SYSTEM_EXTERNAL_URL_DENIED", "" },
        { "openExternal", string("https://exa mple.com/%zz"), "SYSTEM_EXTERNAL_URL_DENIED", "" },
        { "openExternal", string("http://example.com"), "SYSTEM_EXTERNAL_URL_DENIED", "" },
        { "openExternal", string("https://user@example.com"), "SYSTEM_EXTERNAL_URL_DENIED", "" },
        { "openExternal", BridgeValue::number(1), "SYSTEM_EXTERNAL_URL_DENIED", "" },
        { "copyText", string(std::string(16384, 'c')), "true", "copyText 16384" },
        { "copyText", string(std::string(16385, 'c')), "SYSTEM_COPY_VALUE_INVALID", "" },
        { "copyText", BridgeValue::number(1), "SYSTEM_COPY_VALUE_INVALID", "" },
        { "showItemInFolder", string(root), "false", "reveal " + rootURL },
        { "showItemInFolder", string(root + "/a/../%2E%2E/b.txt"), "false", "reveal " + rootURL + "/%252E%252E/b.txt" },
        { "showItemInFolder", string(root + "/../x"), "SYSTEM_REVEAL_PATH_DENIED", "" },
        { "showItemInFolder", string(root + "-other"), "SYSTEM_REVEAL_PATH_DENIED", "" },
        { "showItemInFolder", string(root + "/out/x"), "SYSTEM_REVEAL_PATH_DENIED", "" },
        { "showItemInFolder", string("Quorin 4.2/x"), "SYSTEM_REVEAL_PATH_DENIED", "" },
        { "showItemInFolder", string(root + "/x "), "SYSTEM_REVEAL_PATH_DENIED", "" },
        { "setAudioMuted", BridgeValue::number(1), "SYSTEM_AUDIO_VALUE_INVALID", "" },
        { "windowMinimize", {}, "true", "minimizeWindow" },
        { "windowMaximize", {}, "false", "toggleMaximizeWindow" },
        { "windowIsMaximized", {}, "false", "isWindowMaximized" },
        { "getAudioMuted", {}, "false", "isAudioMuted" },
        { "zoomOut", {}, "0.9", "zoomOut" },
        { "zoomReset", {}, "1", "resetZoom" },
        { "getZoomFactor", {}, "1.5", "zoomFactor" },
        { "clearResourceCache", {}, "SYSTEM_METHOD_UNSUPPORTED", "" },
    };
    for (const auto& [method, first, reply, call] : cases) {
        auto commands = std::make_shared<RecordingCommands>();
        SystemBridgeService service(commands, { Url::fileURL(root + "/") });
        std::string answer;
        service.handle(BridgeRequest("r1", *bridgeMethodFromWireString(method), { first }), [&](auto result) { answer = result ? result->jsonText() : result.error().code.value_or("<none>"); });
        EXPECT_EQ(answer, reply) << method << " " << first.jsonText();
        EXPECT_EQ(commands->calls, call.empty() ? std::vector<std::string> {} : std::vector { call }) << method;
    }
}

} // namespace
} // namespace quorin
