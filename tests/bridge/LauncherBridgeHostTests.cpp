#include "RecordingBridgeService.h"
#include "bridge/LauncherBridgeHost.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace quorin {
namespace {

using nlohmann::json;
using testing::RecordingBridgeService;

constexpr std::string_view indexURL = "file:///x/WebUI/renderer/index.html";

json reply(std::string_view id, json value) { return { { "ok", true }, { "requestId", id }, { "value", value } }; }
json failureReply(std::string_view code) { return { { "ok", false }, { "requestId", "invalid" }, { "error", { { "code", code } } } }; }

struct HostFixture {
    explicit HostFixture(std::string_view root = "file:///x/WebUI") : host(std::make_unique<LauncherBridgeHost>(std::make_shared<BridgeDispatcher>(service), *Url::parse(root))) { }
    void send(std::string_view body, bool isMainFrame = true, std::optional<std::string> documentURL = std::string(indexURL))
    { host->handleMessage(body, isMainFrame, std::move(documentURL), [this](std::string text) { replies.push_back(json::parse(text)); }); }
    std::shared_ptr<RecordingBridgeService> service { std::make_shared<RecordingBridgeService>([](const BridgeRequest&, BridgeServiceCompletion done) { done(BridgeValue::string("served")); }) };
    std::unique_ptr<LauncherBridgeHost> host;
    std::vector<json> replies;
};

TEST(LauncherBridgeHost, AllowsOnlyTheMainFrameOfDocumentsInsideTheRoot)
{
    // name, main frame, document, allowed; the folder rule's own forms are the rows of tests/core/LocalFolderCases.h.
    const std::tuple<const char*, bool, std::optional<std::string>, bool> cases[] = {
        { "main frame index page", true, std::string(indexURL), true },
        { "sub-frame with an allowed URL", false, std::string(indexURL), false },
        { "no document URL", true, std::nullopt, false },
        { "sibling with the root as prefix", true, "file:///x/WebUI-evil/renderer/index.html", false },
        { "not a URL", true, "renderer/index.html", false },
    };
    // The same answers whichever spelling of the root, none when it is not a local folder; the service answers at once,
    // so a single reply shows that a refused message never reached it.
    for (auto [root, isLocal] : { std::pair { "file:///x/WebUI", true }, { "file:///x/other/../WebUI/./", true }, { "file://fileserver/x/WebUI", false } })
        for (const auto& [name, isMainFrame, documentURL, allowedInside] : cases) {
            HostFixture fixture(root);
            fixture.send(R"({"schemaVersion":1,"requestId":"r-1","method":"getAppInfo","arguments":[]})", isMainFrame, documentURL);
            EXPECT_EQ(fixture.replies, std::vector { allowedInside && isLocal ? reply("r-1", "served") : failureReply("BRIDGE_SOURCE_DENIED") }) << root << ": " << name;
        }
}

TEST(LauncherBridgeHost, ChecksTheSourceThenTheBodyThenHandsTheParsedRequestOnAndRepliesAfterTheHostIsGone)
{
    HostFixture fixture;
    fixture.service->behaviour = nullptr;
    fixture.send("not json", false);
    // The request id of a refused body is never echoed.
    fixture.send(R"({"schemaVersion":1,"requestId":"r-1","method":"getAppInfo","arguments":[],"extra":1})");
    fixture.send(R"({"schemaVersion":1,"requestId":"r-2","method":"preferences.setLocale","arguments":["en"]})");
    fixture.host.reset();
    ASSERT_EQ(fixture.service->requests, std::vector { BridgeRequest("r-2", BridgeMethod::PreferencesSetLocale, { BridgeValue::string("en") }) });
    fixture.service->held.front()(BridgeValue::string("late"));
    EXPECT_EQ(fixture.replies, (std::vector { failureReply("BRIDGE_SOURCE_DENIED"), failureReply("BRIDGE_REQUEST_INVALID"), reply("r-2", "late") }));
}

} // namespace
} // namespace quorin
