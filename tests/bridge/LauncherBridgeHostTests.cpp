#include "RecordingBridgeService.h"
#include "bridge/LauncherBridgeHost.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace quorin {
namespace {

using testing::answering;
using testing::RecordingBridgeService;

constexpr std::string_view validBody = R"({"schemaVersion":1,"requestId":"r-1","method":"getAppInfo","arguments":[]})";
constexpr std::string_view rootURL = "file:///x/WebUI";
constexpr std::string_view indexURL = "file:///x/WebUI/renderer/index.html";

nlohmann::json failureReply(std::string_view code)
{
    return { { "ok", false }, { "requestId", "invalid" }, { "error", { { "code", code } } } };
}

std::string bodyWith(std::string_view requestID, std::string_view method)
{
    return nlohmann::json({ { "schemaVersion", 1 }, { "requestId", requestID }, { "method", method }, { "arguments", nlohmann::json::array() } }).dump();
}

// A host over a real dispatcher whose service is the recording fake.
struct HostFixture {
    explicit HostFixture(std::string_view root = rootURL, RecordingBridgeService::Behaviour behaviour = answering(BridgeValue::string("served")))
        : service(std::make_shared<RecordingBridgeService>(std::move(behaviour)))
        , host(std::make_unique<LauncherBridgeHost>(std::make_shared<BridgeDispatcher>(service), *Url::parse(root)))
    {
    }

    void send(std::string_view body, bool isMainFrame = true, std::optional<std::string> documentURL = std::string(indexURL))
    {
        host->handleMessage(body, isMainFrame, std::move(documentURL), [this](std::string text) {
            replies.push_back(nlohmann::json::parse(text));
        });
    }

    std::shared_ptr<RecordingBridgeService> service;
    std::unique_ptr<LauncherBridgeHost> host;
    std::vector<nlohmann::json> replies;
};

struct SourceCase {
    const char* name;
    bool isMainFrame;
    std::optional<std::string> documentURL;
    bool allowed;
};

const SourceCase sourceCases[] = {
    { "main frame index page", true, std::string(indexURL), true },
    { "sub-frame with an allowed URL", false, std::string(indexURL), false },
    { "no document URL", true, std::nullopt, false },
    { "the root itself", true, "file:///x/WebUI", true },
    { "the root with a trailing slash", true, "file:///x/WebUI/", true },
    { "query and fragment", true, "file:///x/WebUI/renderer/index.html?tab=1#/home", true },
    { "localhost file URL", true, "file://localhost/x/WebUI/renderer/index.html", true },
    { "dot segments that stay inside", true, "file:///x/WebUI/renderer/../index.html", true },
    { "sibling with the root as prefix", true, "file:///x/WebUI-evil/renderer/index.html", false },
    { "sibling without separator", true, "file:///x/WebUIevil", false },
    { "parent of the root", true, "file:///x", false },
    { "dot-dot out of the root", true, "file:///x/WebUI/../secret/index.html", false },
    { "escaped dot-dot out of the root", true, "file:///x/WebUI/%2E%2E/secret/index.html", false },
    { "escaped slashes hiding dot-dot", true, "file:///x/WebUI/a%2F..%2F..%2Fsecret", false },
    { "https with the same path", true, "https://example.test/x/WebUI/renderer/index.html", false },
    { "custom scheme with the same path", true, "quorin-game://app/x/WebUI/index.html", false },
    { "scheme without authority", true, "resource:/x/WebUI/renderer/index.html", false },
    { "file URL on another host", true, "file://fileserver/x/WebUI/renderer/index.html", false },
    { "about:blank", true, "about:blank", false },
    { "not a URL", true, "renderer/index.html", false },
    { "bad escape", true, "file:///x/WebUI/%zz", false },
};

TEST(LauncherBridgeHost, AllowsOnlyTheMainFrameOfDocumentsInsideTheRoot)
{
    // The same answers whichever spelling of the root folder the host was given.
    for (auto root : { "file:///x/WebUI", "file:///x/WebUI/", "file:///x/other/../WebUI", "file:///x/./WebUI/." }) {
        for (const auto& testCase : sourceCases) {
            SCOPED_TRACE(std::string(root) + ": " + testCase.name);
            HostFixture fixture(root);
            fixture.send(validBody, testCase.isMainFrame, testCase.documentURL);
            ASSERT_EQ(fixture.replies.size(), 1u);
            if (testCase.allowed) {
                EXPECT_EQ(fixture.replies.front(), nlohmann::json({ { "ok", true }, { "requestId", "r-1" }, { "value", "served" } }));
                EXPECT_EQ(fixture.service->requests.size(), 1u);
            } else {
                EXPECT_EQ(fixture.replies.front(), failureReply("BRIDGE_SOURCE_DENIED"));
                EXPECT_TRUE(fixture.service->requests.empty());
            }
        }
    }
}

TEST(LauncherBridgeHost, KeepsTheRootStandardised)
{
    HostFixture fixture("file:///x/other/../WebUI/./");
    EXPECT_EQ(fixture.host->allowedDocumentRoot(), Url::parse("file:///x/WebUI/"));
}

TEST(LauncherBridgeHost, DeniesEverythingWhenTheRootIsNotALocalFolder)
{
    for (auto root : { "https://example.test/x/WebUI", "file://fileserver/x/WebUI" }) {
        SCOPED_TRACE(root);
        HostFixture fixture(root);
        fixture.send(validBody, true, std::string(indexURL));
        ASSERT_EQ(fixture.replies.size(), 1u);
        EXPECT_EQ(fixture.replies.front(), failureReply("BRIDGE_SOURCE_DENIED"));
    }
}

TEST(LauncherBridgeHost, ChecksTheSourceBeforeTheBody)
{
    HostFixture fixture;
    fixture.send("not json", false);
    ASSERT_EQ(fixture.replies.size(), 1u);
    EXPECT_EQ(fixture.replies.front(), failureReply("BRIDGE_SOURCE_DENIED"));
}

TEST(LauncherBridgeHost, AnswersInvalidBodiesWithoutEchoingTheirRequestID)
{
    std::string seventeenArguments = R"({"schemaVersion":1,"requestId":"r-1","method":"getAppInfo","arguments":[)";
    for (int i = 0; i < 17; ++i)
        seventeenArguments += i ? ",0" : "0";
    seventeenArguments += "]}";
    nlohmann::json oversized = nlohmann::json::parse(validBody);
    for (int i = 0; i < 16; ++i)
        oversized["arguments"].push_back(std::string(20000, 'a'));

    const std::pair<const char*, std::string> bodies[] = {
        { "extra key", R"({"schemaVersion":1,"requestId":"r-1","method":"getAppInfo","arguments":[],"extra":1})" },
        { "missing arguments", R"({"schemaVersion":1,"requestId":"r-1","method":"getAppInfo"})" },
        { "schema version 2", R"({"schemaVersion":2,"requestId":"r-1","method":"getAppInfo","arguments":[]})" },
        { "request id with a dot", R"({"schemaVersion":1,"requestId":"r.1","method":"getAppInfo","arguments":[]})" },
        { "method in the wrong case", R"({"schemaVersion":1,"requestId":"r-1","method":"GetAppInfo","arguments":[]})" },
        { "arguments as an object", R"({"schemaVersion":1,"requestId":"r-1","method":"getAppInfo","arguments":{}})" },
        { "seventeen arguments", seventeenArguments },
        { "body over 256 KiB", oversized.dump() },
        { "truncated JSON", R"({"schemaVersion":1,"requestId":"r-1")" },
    };
    for (const auto& [name, body] : bodies) {
        SCOPED_TRACE(name);
        HostFixture fixture;
        fixture.send(body);
        ASSERT_EQ(fixture.replies.size(), 1u);
        EXPECT_EQ(fixture.replies.front(), failureReply("BRIDGE_REQUEST_INVALID"));
        EXPECT_TRUE(fixture.service->requests.empty());
    }
}

TEST(LauncherBridgeHost, PassesTheParsedRequestToTheService)
{
    HostFixture fixture;
    fixture.send(R"({"schemaVersion":1.0,"requestId":"linux_1700000000000_5","method":"preferences.setPlayBackgroundTheme","arguments":["s1","https://a/b.png"]})");
    ASSERT_EQ(fixture.service->requests.size(), 1u);
    const auto& request = fixture.service->requests.front();
    EXPECT_EQ(request.requestID(), "linux_1700000000000_5");
    EXPECT_EQ(request.method(), BridgeMethod::PreferencesSetPlayBackgroundTheme);
    EXPECT_EQ(request.arguments(), (std::vector { BridgeValue::string("s1"), BridgeValue::string("https://a/b.png") }));
}

TEST(LauncherBridgeHost, RepliesWithTheServiceOutcomeUnderTheRequestID)
{
    const std::pair<BridgeServiceResult, nlohmann::json> outcomes[] = {
        { BridgeValue::null(), { { "ok", true }, { "requestId", "r-1" }, { "value", nullptr } } },
        { fail(BridgeServiceError { "GAME_ALREADY_OPEN" }), { { "ok", false }, { "requestId", "r-1" }, { "error", { { "code", "GAME_ALREADY_OPEN" } } } } },
        { fail(BridgeServiceError::uncoded()), { { "ok", false }, { "requestId", "r-1" }, { "error", { { "code", "BRIDGE_FAILED" } } } } },
    };
    for (const auto& [result, expected] : outcomes) {
        SCOPED_TRACE(expected.dump());
        HostFixture fixture(rootURL, answering(result));
        fixture.send(validBody);
        ASSERT_EQ(fixture.replies.size(), 1u);
        EXPECT_EQ(fixture.replies.front(), expected);
    }
}

TEST(LauncherBridgeHost, RepliesOnceWhenTheServiceNeverAnswers)
{
    HostFixture fixture(rootURL, [](const BridgeRequest&, BridgeServiceCompletion) {});
    fixture.send(validBody);
    ASSERT_EQ(fixture.replies.size(), 1u);
    EXPECT_EQ(fixture.replies.front(), nlohmann::json({ { "ok", false }, { "requestId", "r-1" }, { "error", { { "code", "BRIDGE_FAILED" } } } }));
}

TEST(LauncherBridgeHost, RepliesInTheOrderTheServiceFinishes)
{
    HostFixture fixture(rootURL, nullptr);
    fixture.send(bodyWith("first", "launcherUpdates.download"));
    fixture.send(bodyWith("second", "getZoomFactor"));
    ASSERT_EQ(fixture.service->held.size(), 2u);
    EXPECT_TRUE(fixture.replies.empty());

    fixture.service->held[1](BridgeValue::number(1.25));
    fixture.service->held[0](BridgeValue::boolean(true));
    fixture.service->held[0](BridgeValue::boolean(false));

    ASSERT_EQ(fixture.replies.size(), 2u);
    EXPECT_EQ(fixture.replies[0], nlohmann::json({ { "ok", true }, { "requestId", "second" }, { "value", 1.25 } }));
    EXPECT_EQ(fixture.replies[1], nlohmann::json({ { "ok", true }, { "requestId", "first" }, { "value", true } }));
}

TEST(LauncherBridgeHost, StillRepliesAfterTheHostIsGone)
{
    HostFixture fixture(rootURL, nullptr);
    fixture.send(validBody);
    fixture.host.reset();
    ASSERT_EQ(fixture.service->held.size(), 1u);
    fixture.service->held.front()(BridgeValue::string("late"));
    ASSERT_EQ(fixture.replies.size(), 1u);
    EXPECT_EQ(fixture.replies.front()["value"], "late");
}

} // namespace
} // namespace quorin
