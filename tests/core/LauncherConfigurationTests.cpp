#include "CorePrinters.h"
#include "support/TemporaryDirectory.h"
#include "UnprivilegedProcess.h"
#include "core/BuildConfig.h"
#include "core/GameServerHost.h"
#include "core/LauncherConfiguration.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quorin {

void PrintTo(const LauncherConfigurationError& error, std::ostream* stream)
{
    *stream << error.description();
}

namespace {

using Json = nlohmann::json;
using Error = LauncherConfigurationError;
using Change = std::function<void(Json&)>;
using testing::TemporaryDirectory;

const Error invalidJSON = Error::of(Error::Case::InvalidJSON);
const Error invalidWindowBounds = Error::of(Error::Case::InvalidWindowBounds);
const Error unsupportedSchemaVersion = Error::of(Error::Case::UnsupportedSchemaVersion);
const Error missingBundledConfiguration = Error::of(Error::Case::MissingBundledConfiguration);

std::string server(std::string_view label)
{
    return std::string(label) + "." + std::string(BuildConfig::gameServerDomain);
}

Json socket(const std::string& host, Json port = 25565)
{
    return Json { { "host", host }, { "port", std::move(port) } };
}

Json baseDocument()
{
    return Json {
        { "schemaVersion", 1 },
        { "product", { { "displayName", "Quorin 4.2" }, { "bundleIdentifier", "com.quorin42.desktop" } } },
        { "window", { { "initialWidth", 1280 }, { "initialHeight", 800 }, { "minimumWidth", 960 }, { "minimumHeight", 600 } } },
        { "apiOrigin", "https://api.quorin42.net" },
        { "authOrigin", "https://login.quorin42.net/" },
        { "gameOrigins", { "https://game.quorin42.net", "https://cdn.quorin42.net:8443/" } },
        { "gameSockets", { socket(server("server7")), socket(server("server2")) } },
        { "updateFeedURL", "https://updates.quorin42.net/linux/feed.yml" },
    };
}

std::string documentWith(const Change& change)
{
    Json document = baseDocument();
    change(document);
    return document.dump();
}

Json origins(int count)
{
    Json list = Json::array();
    for (int i = 1; i <= count; ++i)
        list.push_back("https://game" + std::to_string(i) + ".quorin42.net");
    return list;
}

Json sockets(int count)
{
    Json list = Json::array();
    for (int i = 1; i <= count; ++i)
        list.push_back(socket(server("server" + std::to_string(i))));
    return list;
}

struct RefusedCase {
    const char* name;
    Change change;
    Error expected;
};

void expectRefused(const std::vector<RefusedCase>& cases)
{
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        auto decoded = LauncherConfiguration::decode(documentWith(testCase.change));
        ASSERT_TRUE(decoded.isError());
        EXPECT_EQ(decoded.error(), testCase.expected);
    }
}

struct AcceptedCase {
    const char* name;
    Change change;
    std::function<void(const LauncherConfiguration&)> check;
};

void expectAccepted(const std::vector<AcceptedCase>& cases)
{
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        auto decoded = LauncherConfiguration::decode(documentWith(testCase.change));
        ASSERT_TRUE(decoded.hasValue()) << decoded.error().description();
        if (testCase.check)
            testCase.check(*decoded);
    }
}

TEST(LauncherConfiguration, DecodesTheValuesInFileOrder)
{
    auto decoded = LauncherConfiguration::decode(baseDocument().dump());
    ASSERT_TRUE(decoded.hasValue()) << decoded.error().description();
    const auto& configuration = *decoded;
    EXPECT_EQ(configuration.schemaVersion(), 1);
    EXPECT_EQ(configuration.product(), (LauncherConfiguration::Product { "Quorin 4.2", "com.quorin42.desktop" }));
    EXPECT_EQ(configuration.window(), (LauncherConfiguration::Window { 1280, 800, 960, 600 }));
    EXPECT_EQ(configuration.apiOrigin().string(), "https://api.quorin42.net");
    EXPECT_EQ(configuration.authOrigin().string(), "https://login.quorin42.net/");
    ASSERT_EQ(configuration.gameOrigins().size(), 2u);
    EXPECT_EQ(configuration.gameOrigins()[0].string(), "https://game.quorin42.net");
    EXPECT_EQ(configuration.gameOrigins()[1].string(), "https://cdn.quorin42.net:8443/");
    EXPECT_EQ(configuration.gameOrigins()[1].port(), 8443);
    std::vector<LauncherConfiguration::GameSocket> expectedSockets {
        { server("server7"), 25565 },
        { server("server2"), 25565 },
    };
    EXPECT_EQ(configuration.gameSockets(), expectedSockets);
    EXPECT_EQ(configuration.updateFeedURL().string(), "https://updates.quorin42.net/linux/feed.yml");
}

TEST(LauncherConfiguration, RecordsCompareFieldByField)
{
    auto first = LauncherConfiguration::decode(baseDocument().dump());
    auto second = LauncherConfiguration::decode(baseDocument().dump());
    auto other = LauncherConfiguration::decode(documentWith([](Json& d) { d["gameSockets"] = Json::array(); }));
    ASSERT_TRUE(first.hasValue() && second.hasValue() && other.hasValue());
    EXPECT_EQ(*first, *second);
    EXPECT_NE(*first, *other);
}

TEST(LauncherConfiguration, RefusesTextThatIsNotAJsonObject)
{
    const std::string base = baseDocument().dump();
    struct Case {
        std::string text;
        Error expected;
    } cases[] = {
        { "", invalidJSON },
        { "not json", invalidJSON },
        { "{", invalidJSON },
        { base.substr(0, base.size() - 1), invalidJSON },
        { base + " x", invalidJSON },
        { base + std::string("\0 trailing", 10), invalidJSON },
        { "[]", invalidJSON },
        { "null", invalidJSON },
        { "{\"schemaVersion\": 1e400}", invalidJSON },
        { "{\"schemaVersion\": 1, \"product\": \"\xFF\"}", invalidJSON },
        { std::string(200000, '[') + std::string(200000, ']'), invalidJSON },
        { "{}", Error::invalidValue("schemaVersion") },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.text.substr(0, 40));
        auto decoded = LauncherConfiguration::decode(testCase.text);
        ASSERT_TRUE(decoded.isError());
        EXPECT_EQ(decoded.error(), testCase.expected);
    }
}

TEST(LauncherConfiguration, AcceptsAByteOrderMark)
{
    EXPECT_TRUE(LauncherConfiguration::decode("\xEF\xBB\xBF" + baseDocument().dump()).hasValue());
}

TEST(LauncherConfiguration, ChecksRunInTheirFixedOrder)
{
    expectRefused({
        { "unknown top-level key before a bad schema version",
            [](Json& d) { d["title"] = "x"; d["schemaVersion"] = 2; }, Error::unknownKey("title") },
        { "unknown top-level key before everything missing",
            [](Json& d) { d = Json { { "extra", 1 } }; }, Error::unknownKey("extra") },
        { "schema version before product", [](Json& d) { d["schemaVersion"] = 2; d.erase("product"); }, unsupportedSchemaVersion },
        { "product before window", [](Json& d) { d["product"]["displayName"] = " "; d["window"]["initialWidth"] = 1; },
            Error::invalidValue("displayName") },
        { "unknown product key before a missing display name",
            [](Json& d) { d["product"]["title"] = "x"; d["product"].erase("displayName"); }, Error::unknownKey("product.title") },
        { "display name before bundle identifier",
            [](Json& d) { d["product"]["displayName"] = ""; d["product"]["bundleIdentifier"] = ""; },
            Error::invalidValue("displayName") },
        { "unknown window key before a bad width",
            [](Json& d) { d["window"]["depth"] = 1; d["window"]["initialWidth"] = "wide"; }, Error::unknownKey("window.depth") },
        { "window integers in order", [](Json& d) { d["window"].erase("minimumHeight"); d["window"]["initialHeight"] = 1.5; },
            Error::invalidValue("initialHeight") },
        { "every window integer before the bounds",
            [](Json& d) { d["window"]["initialWidth"] = 100; d["window"].erase("minimumHeight"); },
            Error::invalidValue("minimumHeight") },
        { "window bounds before the api origin",
            [](Json& d) { d["window"]["initialWidth"] = 100; d["apiOrigin"] = "http://api.quorin42.net"; }, invalidWindowBounds },
        { "api origin before auth origin",
            [](Json& d) { d["apiOrigin"] = "https://a/x"; d["authOrigin"] = "http://b"; }, Error::invalidOrigin("apiOrigin") },
        { "auth origin before game origins",
            [](Json& d) { d["authOrigin"] = "https://b/x"; d["gameOrigins"] = Json::array(); }, Error::invalidOrigin("authOrigin") },
        { "game origins before update feed",
            [](Json& d) { d["gameOrigins"] = Json::array(); d["updateFeedURL"] = "https://u"; }, Error::invalidValue("gameOrigins") },
        { "update feed before game sockets",
            [](Json& d) { d["updateFeedURL"] = "http://u/feed"; d["gameSockets"] = sockets(9); }, Error::insecureURL("updateFeedURL") },
        { "game socket count before the entries",
            [](Json& d) { d["gameSockets"] = sockets(9); d["gameSockets"][0]["tls"] = true; }, Error::invalidValue("gameSockets") },
        { "entries in order: a bad port before a later missing port",
            [](Json& d) { d["gameSockets"] = { socket(server("server1"), 443), Json { { "host", server("server2") } } }; },
            Error::invalidValue("gameSockets") },
        { "entries in order: a missing port before a later unknown key",
            [](Json& d) { d["gameSockets"] = { Json { { "host", server("server1") } }, socket(server("server2")) }; d["gameSockets"][1]["tls"] = 1; },
            Error::invalidValue("port") },
        { "unknown entry key before a missing host",
            [](Json& d) { d["gameSockets"] = { Json { { "tls", true }, { "port", 25565 } } }; }, Error::unknownKey("gameSockets.tls") },
        { "host before port", [](Json& d) { d["gameSockets"] = { Json { { "host", 1 }, { "port", "x" } } }; }, Error::invalidValue("host") },
        { "duplicates only after every entry has been read",
            [](Json& d) { d["gameSockets"] = { socket(server("server1")), socket(server("server1")), Json { { "host", server("server3") } } }; },
            Error::invalidValue("port") },
    });
}

TEST(LauncherConfiguration, SchemaVersion)
{
    expectRefused({
        { "missing", [](Json& d) { d.erase("schemaVersion"); }, Error::invalidValue("schemaVersion") },
        { "string 1", [](Json& d) { d["schemaVersion"] = "1"; }, Error::invalidValue("schemaVersion") },
        { "1.5", [](Json& d) { d["schemaVersion"] = 1.5; }, Error::invalidValue("schemaVersion") },
        { "beyond 64 bits", [](Json& d) { d["schemaVersion"] = 1e19; }, Error::invalidValue("schemaVersion") },
        { "2", [](Json& d) { d["schemaVersion"] = 2; }, unsupportedSchemaVersion },
        { "0", [](Json& d) { d["schemaVersion"] = 0; }, unsupportedSchemaVersion },
    });
    expectAccepted({
        { "1.0", [](Json& d) { d["schemaVersion"] = 1.0; }, [](const auto& c) { EXPECT_EQ(c.schemaVersion(), 1); } },
    });
}

TEST(LauncherConfiguration, Product)
{
    expectRefused({
        { "missing", [](Json& d) { d.erase("product"); }, Error::invalidValue("product") },
        { "a string", [](Json& d) { d["product"] = "Quorin"; }, Error::invalidValue("product") },
        { "unknown key", [](Json& d) { d["product"]["title"] = "x"; }, Error::unknownKey("product.title") },
        { "missing display name", [](Json& d) { d["product"].erase("displayName"); }, Error::invalidValue("displayName") },
        { "trailing space", [](Json& d) { d["product"]["displayName"] = "Quorin "; }, Error::invalidValue("displayName") },
        { "empty", [](Json& d) { d["product"]["displayName"] = ""; }, Error::invalidValue("displayName") },
        { "leading line break", [](Json& d) { d["product"]["displayName"] = "\nQuorin"; }, Error::invalidValue("displayName") },
        { "trailing no-break space", [](Json& d) { d["product"]["displayName"] = "Quorin\u00A0"; }, Error::invalidValue("displayName") },
        { "a number", [](Json& d) { d["product"]["displayName"] = 42; }, Error::invalidValue("displayName") },
        { "missing bundle identifier", [](Json& d) { d["product"].erase("bundleIdentifier"); }, Error::invalidValue("bundleIdentifier") },
        { "bundle identifier with a tab", [](Json& d) { d["product"]["bundleIdentifier"] = "com.quorin42\t"; },
            Error::invalidValue("bundleIdentifier") },
    });
    expectAccepted({
        { "inner spaces", [](Json& d) { d["product"]["displayName"] = "Quorin  4.2 Beta"; },
            [](const auto& c) { EXPECT_EQ(c.product().displayName, "Quorin  4.2 Beta"); } },
        { "non-ASCII", [](Json& d) { d["product"]["displayName"] = "Qu\u00F6rin"; },
            [](const auto& c) { EXPECT_EQ(c.product().displayName, "Qu\u00F6rin"); } },
    });
}

TEST(LauncherConfiguration, WindowBounds)
{
    const char* keys[] = { "initialWidth", "initialHeight", "minimumWidth", "minimumHeight" };
    std::vector<RefusedCase> refused;
    for (const char* key : keys) {
        refused.push_back({ key, [key](Json& d) { d["window"][key] = 319; }, invalidWindowBounds });
        refused.push_back({ key, [key](Json& d) { d["window"][key] = 8193; }, invalidWindowBounds });
        refused.push_back({ key, [key](Json& d) { d["window"].erase(key); }, Error::invalidValue(key) });
        refused.push_back({ key, [key](Json& d) { d["window"][key] = 1000.5; }, Error::invalidValue(key) });
    }
    refused.push_back({ "initial width below minimum width",
        [](Json& d) { d["window"]["initialWidth"] = 959; }, invalidWindowBounds });
    refused.push_back({ "initial height below minimum height",
        [](Json& d) { d["window"]["initialHeight"] = 599; }, invalidWindowBounds });
    refused.push_back({ "missing", [](Json& d) { d.erase("window"); }, Error::invalidValue("window") });
    refused.push_back({ "an array", [](Json& d) { d["window"] = Json::array({ 1280, 800 }); }, Error::invalidValue("window") });
    refused.push_back({ "unknown key", [](Json& d) { d["window"]["maximized"] = false; }, Error::unknownKey("window.maximized") });
    expectRefused(refused);

    auto window = [](std::int64_t iw, std::int64_t ih, std::int64_t mw, std::int64_t mh) {
        return [=](Json& d) { d["window"] = { { "initialWidth", iw }, { "initialHeight", ih }, { "minimumWidth", mw }, { "minimumHeight", mh } }; };
    };
    expectAccepted({
        { "all 320", window(320, 320, 320, 320), [](const auto& c) { EXPECT_EQ(c.window(), (LauncherConfiguration::Window { 320, 320, 320, 320 })); } },
        { "all 8192", window(8192, 8192, 8192, 8192), nullptr },
        { "initial equal to minimum", window(1000, 700, 1000, 700), nullptr },
        { "integral floats", [](Json& d) { d["window"]["initialWidth"] = 1280.0; },
            [](const auto& c) { EXPECT_EQ(c.window().initialWidth, 1280); } },
    });
}

TEST(LauncherConfiguration, ApiAndAuthOrigins)
{
    std::vector<RefusedCase> refused;
    std::vector<AcceptedCase> accepted;
    for (const char* key : { "apiOrigin", "authOrigin" }) {
        struct Rule {
            Json value;
            Error expected;
        } rules[] = {
            { nullptr, Error::invalidValue(key) },
            { 5, Error::invalidValue(key) },
            { "", Error::invalidValue(key) },
            { " https://a.quorin42.net", Error::invalidValue(key) },
            { "https://a.quorin42.net\n", Error::invalidValue(key) },
            { "not a url", Error::invalidValue(key) },
            { "https://", Error::invalidValue(key) },
            { "https://a.quorin42.net:99999", Error::invalidValue(key) },
            { "http://a.quorin42.net", Error::insecureURL(key) },
            { "ftp://a.quorin42.net", Error::insecureURL(key) },
            { "https://a.quorin42.net/api", Error::invalidOrigin(key) },
            { "https://a.quorin42.net//", Error::invalidOrigin(key) },
            { "https://a.quorin42.net?", Error::invalidOrigin(key) },
            { "https://a.quorin42.net/#", Error::invalidOrigin(key) },
            { "https://user@a.quorin42.net", Error::invalidOrigin(key) },
            { "https://@a.quorin42.net", Error::invalidOrigin(key) },
        };
        for (const auto& rule : rules) {
            auto value = rule.value;
            if (value.is_null())
                refused.push_back({ key, [key](Json& d) { d.erase(key); }, rule.expected });
            else
                refused.push_back({ key, [key, value](Json& d) { d[key] = value; }, rule.expected });
        }
        for (const char* origin : { "https://a.quorin42.net", "https://a.quorin42.net/", "HTTPS://a.quorin42.net", "https://a.quorin42.net:8443",
                 "https://[::1]", "https://203.0.113.5" }) {
            accepted.push_back({ key, [key, origin](Json& d) { d[key] = origin; }, [key](const LauncherConfiguration& c) {
                                    const Url& url = std::string_view(key) == "apiOrigin" ? c.apiOrigin() : c.authOrigin();
                                    EXPECT_EQ(url.scheme(), "https");
                                    EXPECT_TRUE(url.hasHost());
                                } });
        }
    }
    expectRefused(refused);
    expectAccepted(accepted);
}

TEST(LauncherConfiguration, GameOrigins)
{
    expectRefused({
        { "missing", [](Json& d) { d.erase("gameOrigins"); }, Error::invalidValue("gameOrigins") },
        { "empty", [](Json& d) { d["gameOrigins"] = Json::array(); }, Error::invalidValue("gameOrigins") },
        { "17", [](Json& d) { d["gameOrigins"] = origins(17); }, Error::invalidValue("gameOrigins") },
        { "a number among strings", [](Json& d) { d["gameOrigins"] = { "https://g.quorin42.net", 5 }; }, Error::invalidValue("gameOrigins") },
        { "an empty string", [](Json& d) { d["gameOrigins"] = { "" }; }, Error::invalidValue("gameOrigins") },
        { "plain HTTP second", [](Json& d) { d["gameOrigins"] = { "https://g.quorin42.net", "http://h.quorin42.net" }; },
            Error::insecureURL("gameOrigins") },
        { "a path", [](Json& d) { d["gameOrigins"] = { "https://g.quorin42.net/play" }; }, Error::invalidOrigin("gameOrigins") },
        { "a user", [](Json& d) { d["gameOrigins"] = { "https://u@g.quorin42.net" }; }, Error::invalidOrigin("gameOrigins") },
        { "first failure decides", [](Json& d) { d["gameOrigins"] = { "https://g.quorin42.net/x", "http://h.quorin42.net" }; },
            Error::invalidOrigin("gameOrigins") },
    });
    expectAccepted({
        { "16", [](Json& d) { d["gameOrigins"] = origins(16); },
            [](const auto& c) {
                ASSERT_EQ(c.gameOrigins().size(), 16u);
                EXPECT_EQ(c.gameOrigins().front().string(), "https://game1.quorin42.net");
                EXPECT_EQ(c.gameOrigins().back().string(), "https://game16.quorin42.net");
            } },
        { "1", [](Json& d) { d["gameOrigins"] = origins(1); }, [](const auto& c) { EXPECT_EQ(c.gameOrigins().size(), 1u); } },
        { "duplicates kept", [](Json& d) { d["gameOrigins"] = { "https://g.quorin42.net", "https://g.quorin42.net" }; },
            [](const auto& c) {
                ASSERT_EQ(c.gameOrigins().size(), 2u);
                EXPECT_EQ(c.gameOrigins()[0], c.gameOrigins()[1]);
            } },
        { "upper-case scheme", [](Json& d) { d["gameOrigins"] = { "HTTPS://g.quorin42.net/" }; },
            [](const auto& c) { EXPECT_EQ(c.gameOrigins()[0].string(), "https://g.quorin42.net/"); } },
    });
}

TEST(LauncherConfiguration, UpdateFeedURL)
{
    expectRefused({
        { "missing", [](Json& d) { d.erase("updateFeedURL"); }, Error::invalidValue("updateFeedURL") },
        { "not a string", [](Json& d) { d["updateFeedURL"] = Json::array({ "https://u/feed" }); }, Error::invalidValue("updateFeedURL") },
        { "surrounding space", [](Json& d) { d["updateFeedURL"] = "https://u.quorin42.net/feed.yml "; }, Error::invalidValue("updateFeedURL") },
        { "no path", [](Json& d) { d["updateFeedURL"] = "https://u.quorin42.net"; }, Error::invalidValue("updateFeedURL") },
        { "root path", [](Json& d) { d["updateFeedURL"] = "https://u.quorin42.net/"; }, Error::invalidValue("updateFeedURL") },
        { "an empty query", [](Json& d) { d["updateFeedURL"] = "https://u.quorin42.net/feed.yml?"; }, Error::invalidValue("updateFeedURL") },
        { "a fragment", [](Json& d) { d["updateFeedURL"] = "https://u.quorin42.net/feed.yml#x"; }, Error::invalidValue("updateFeedURL") },
        { "a user", [](Json& d) { d["updateFeedURL"] = "https://me@u.quorin42.net/feed.yml"; }, Error::invalidValue("updateFeedURL") },
        { "no host", [](Json& d) { d["updateFeedURL"] = "https:///feed.yml"; }, Error::invalidValue("updateFeedURL") },
        { "plain HTTP", [](Json& d) { d["updateFeedURL"] = "http://u.quorin42.net/feed.yml"; }, Error::insecureURL("updateFeedURL") },
        { "plain HTTP without path", [](Json& d) { d["updateFeedURL"] = "http://u.quorin42.net"; }, Error::insecureURL("updateFeedURL") },
    });
    expectAccepted({
        { "a short path", [](Json& d) { d["updateFeedURL"] = "https://u.quorin42.net/a"; },
            [](const auto& c) { EXPECT_EQ(c.updateFeedURL().percentEncodedPath(), "/a"); } },
        { "a port and upper-case scheme", [](Json& d) { d["updateFeedURL"] = "HTTPS://u.quorin42.net:8443/feeds/latest.yml"; },
            [](const auto& c) { EXPECT_EQ(c.updateFeedURL().string(), "https://u.quorin42.net:8443/feeds/latest.yml"); } },
    });
}

TEST(LauncherConfiguration, GameSocketList)
{
    expectRefused({
        { "null", [](Json& d) { d["gameSockets"] = nullptr; }, Error::invalidValue("gameSockets") },
        { "an object", [](Json& d) { d["gameSockets"] = socket(server("server1")); }, Error::invalidValue("gameSockets") },
        { "a string entry", [](Json& d) { d["gameSockets"] = { server("server1") }; }, Error::invalidValue("gameSockets") },
        { "an object and a number", [](Json& d) { d["gameSockets"] = { socket(server("server1")), 1 }; }, Error::invalidValue("gameSockets") },
        { "9 entries", [](Json& d) { d["gameSockets"] = sockets(9); }, Error::invalidValue("gameSockets") },
        { "duplicate hosts", [](Json& d) { d["gameSockets"] = { socket(server("server3")), socket(server("server4")), socket(server("server3")) }; },
            Error::invalidValue("gameSockets") },
        { "unknown entry key", [](Json& d) { d["gameSockets"][1]["tls"] = true; }, Error::unknownKey("gameSockets.tls") },
        { "missing host", [](Json& d) { d["gameSockets"][0].erase("host"); }, Error::invalidValue("host") },
        { "host with a trailing space", [](Json& d) { d["gameSockets"][0]["host"] = server("server1") + " "; }, Error::invalidValue("host") },
        { "missing port", [](Json& d) { d["gameSockets"][0].erase("port"); }, Error::invalidValue("port") },
        { "fractional port", [](Json& d) { d["gameSockets"][0]["port"] = 25565.5; }, Error::invalidValue("port") },
        { "port 25566", [](Json& d) { d["gameSockets"][1]["port"] = 25566; }, Error::invalidValue("gameSockets") },
        { "port 0", [](Json& d) { d["gameSockets"][0]["port"] = 0; }, Error::invalidValue("gameSockets") },
    });
    expectAccepted({
        { "absent", [](Json& d) { d.erase("gameSockets"); }, [](const auto& c) { EXPECT_TRUE(c.gameSockets().empty()); } },
        { "empty", [](Json& d) { d["gameSockets"] = Json::array(); }, [](const auto& c) { EXPECT_TRUE(c.gameSockets().empty()); } },
        { "8 entries in order", [](Json& d) { d["gameSockets"] = sockets(8); },
            [](const auto& c) {
                ASSERT_EQ(c.gameSockets().size(), 8u);
                for (std::size_t i = 0; i < 8; ++i)
                    EXPECT_EQ(c.gameSockets()[i], (LauncherConfiguration::GameSocket { server("server" + std::to_string(i + 1)), 25565 }));
            } },
        { "integral float port", [](Json& d) { d["gameSockets"][0]["port"] = 25565.0; },
            [](const auto& c) { EXPECT_EQ(c.gameSockets()[0].port, 25565); } },
    });
}

TEST(LauncherConfiguration, GameServerHostPattern)
{
    const std::string domain(BuildConfig::gameServerDomain);
    std::string domainWithoutDots = domain;
    std::replace(domainWithoutDots.begin(), domainWithoutDots.end(), '.', 'X');
    std::string upperDomain = domain;
    std::transform(upperDomain.begin(), upperDomain.end(), upperDomain.begin(), [](unsigned char c) { return std::toupper(c); });

    struct Case {
        std::string host;
        bool accepted;
    } cases[] = {
        { "server1." + domain, true },
        { "server10." + domain, true },
        { "server999." + domain, true },
        { "server0." + domain, false },
        { "server01." + domain, false },
        { "server1000." + domain, false },
        { "Server1." + domain, false },
        { "server." + domain, false },
        { "server-1." + domain, false },
        { "server1a." + domain, false },
        { "server1" + domain, false },
        { "server1.." + domain, false },
        { "server1." + domain + ".", false },
        { "server1." + domain + ".evil.example", false },
        { "server1." + upperDomain, domain == upperDomain },
        { "server1." + domainWithoutDots, domain == domainWithoutDots },
        { "xserver1." + domain, false },
        { "game.server1." + domain, false },
        { "server1.other.example", false },
        { "server1.", domain.empty() },
        { "", false },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.host);
        EXPECT_EQ(isGameServerHost(testCase.host), testCase.accepted);
        auto decoded = LauncherConfiguration::decode(documentWith([&](Json& d) { d["gameSockets"] = { socket(testCase.host) }; }));
        if (testCase.accepted) {
            EXPECT_TRUE(decoded.hasValue());
            continue;
        }
        ASSERT_TRUE(decoded.isError());
        EXPECT_EQ(decoded.error(), Error::invalidValue(testCase.host.empty() ? "host" : "gameSockets"));
    }
}

TEST(LauncherConfiguration, GameServerHostMatcherTakesTheDomainLiterally)
{
    EXPECT_TRUE(isGameServerHost("server12.a.b", "a.b"));
    EXPECT_FALSE(isGameServerHost("server12.aXb", "a.b"));
    EXPECT_FALSE(isGameServerHost("server12.a.b", "a.B"));
    EXPECT_FALSE(isGameServerHost("server12.a.b", "b"));
}

TEST(LauncherConfigurationError, DescriptionNamesTheCaseAndPayload)
{
    struct Case {
        Error error;
        const char* description;
    } cases[] = {
        { Error::unknownKey("product.title"), "unknownKey(product.title)" },
        { Error::invalidValue("gameSockets"), "invalidValue(gameSockets)" },
        { Error::insecureURL("apiOrigin"), "insecureURL(apiOrigin)" },
        { Error::invalidOrigin("gameOrigins"), "invalidOrigin(gameOrigins)" },
        { invalidJSON, "invalidJSON" },
        { invalidWindowBounds, "invalidWindowBounds" },
        { unsupportedSchemaVersion, "unsupportedSchemaVersion" },
        { missingBundledConfiguration, "missingBundledConfiguration" },
    };
    for (const auto& testCase : cases)
        EXPECT_EQ(testCase.error.description(), testCase.description);
    EXPECT_NE(Error::invalidValue("port"), Error::invalidValue("host"));
    EXPECT_NE(Error::invalidValue("port"), Error::insecureURL("port"));
}

// An application bundle in a temporary folder.
class BundledConfiguration : public ::testing::Test {
protected:
    std::string besideApplication() const { return "Quorin 4.2.app/Contents/Resources/launcher-config.json"; }
    std::string coreCopy() const { return "Quorin 4.2.app/Contents/Resources/LauncherCore/launcher-config.json"; }
    ApplicationBundle bundle() const { return ApplicationBundle(m_directory.pathOf("Quorin 4.2.app")); }

    std::string documentNamed(const char* displayName) const
    {
        return documentWith([displayName](Json& d) { d["product"]["displayName"] = displayName; });
    }

    TemporaryDirectory m_directory;
};

TEST_F(BundledConfiguration, FileBesideTheApplicationWins)
{
    m_directory.write(besideApplication(), documentNamed("Beside"));
    m_directory.write(coreCopy(), documentNamed("Core"));
    auto loaded = LauncherConfiguration::bundled(bundle());
    ASSERT_TRUE(loaded.hasValue());
    EXPECT_EQ(loaded->product().displayName, "Beside");
}

TEST_F(BundledConfiguration, CoreCopyServesWhenNothingIsBesideTheApplication)
{
    m_directory.write(coreCopy(), documentNamed("Core"));
    auto loaded = LauncherConfiguration::bundled(bundle());
    ASSERT_TRUE(loaded.hasValue());
    EXPECT_EQ(loaded->product().displayName, "Core");
}

TEST_F(BundledConfiguration, NeitherFileGivesMissingBundledConfiguration)
{
    struct Case {
        const char* name;
        std::function<void()> prepare;
    } cases[] = {
        { "no bundle at all", [] {} },
        { "no resources folder", [this] { m_directory.makeDirectory("Quorin 4.2.app/Contents/MacOS"); } },
        { "empty resources folder", [this] { m_directory.makeDirectory("Quorin 4.2.app/Contents/Resources/LauncherCore"); } },
        { "file under another name", [this] { m_directory.write("Quorin 4.2.app/Contents/Resources/launcher-config.json.bak", "{}"); } },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        testCase.prepare();
        auto loaded = LauncherConfiguration::bundled(bundle());
        ASSERT_TRUE(loaded.isError());
        EXPECT_EQ(loaded.error(), LauncherConfigurationLoadError(missingBundledConfiguration));
    }
}

TEST_F(BundledConfiguration, FoundPathThatCannotBeReadGivesTheFileSystemError)
{
    m_directory.makeDirectory(besideApplication());
    m_directory.write(coreCopy(), documentNamed("Core"));
    auto loaded = LauncherConfiguration::bundled(bundle());
    ASSERT_TRUE(loaded.isError());
    auto expectedPath = bundle().resourcesDirectory().value() + "/launcher-config.json";
    EXPECT_EQ(loaded.error(), LauncherConfigurationLoadError(FileSystemError::fromErrno(expectedPath, EISDIR)));
}

TEST_F(BundledConfiguration, FoundFileIsDecodedWithoutFallingBack)
{
    m_directory.write(besideApplication(), "[]");
    m_directory.write(coreCopy(), documentNamed("Core"));
    auto loaded = LauncherConfiguration::bundled(bundle());
    ASSERT_TRUE(loaded.isError());
    EXPECT_EQ(loaded.error(), LauncherConfigurationLoadError(invalidJSON));

    m_directory.write(besideApplication(), documentWith([](Json& d) { d["product"]["title"] = "x"; }));
    loaded = LauncherConfiguration::bundled(bundle());
    ASSERT_TRUE(loaded.isError());
    EXPECT_EQ(loaded.error(), LauncherConfigurationLoadError(Error::unknownKey("product.title")));
}

TEST_F(BundledConfiguration, DanglingLinkBesideTheApplicationIsNotAFile)
{
    m_directory.write(coreCopy(), documentNamed("Core"));
    std::filesystem::create_symlink(m_directory.pathOf("nowhere.json"), m_directory.pathOf(besideApplication()));
    auto loaded = LauncherConfiguration::bundled(bundle());
    ASSERT_TRUE(loaded.hasValue());
    EXPECT_EQ(loaded->product().displayName, "Core");
}

TEST_F(BundledConfiguration, UnreadableFileGivesEACCES)
{
    ASSERT_EQ(chmod(m_directory.path().c_str(), 0755), 0);
    auto path = m_directory.write(besideApplication(), documentNamed("Beside"));
    m_directory.write(coreCopy(), documentNamed("Core"));
    ASSERT_EQ(chmod(path.c_str(), 0), 0);
    int result = testing::runUnprivileged([&] {
        auto loaded = LauncherConfiguration::bundled(bundle());
        if (loaded.hasValue())
            return 0;
        return loaded.error() == LauncherConfigurationLoadError(FileSystemError::fromErrno(path, EACCES)) ? 1 : 2;
    });
    EXPECT_EQ(result, 1) << "0: read anyway or fell back, 2: another error";
}

TEST_F(BundledConfiguration, FileInAFolderThatCannotBeSearchedCountsAsFound)
{
    // Only "does not exist" lets the lookup move on; any other answer is passed on.
    ASSERT_EQ(chmod(m_directory.path().c_str(), 0755), 0);
    auto path = m_directory.write(besideApplication(), documentNamed("Beside"));
    auto resources = bundle().resourcesDirectory().value();
    ASSERT_EQ(chmod(resources.c_str(), 0644), 0);
    int result = testing::runUnprivileged([&] {
        auto loaded = LauncherConfiguration::bundled(bundle());
        if (loaded.hasValue())
            return 0;
        return loaded.error() == LauncherConfigurationLoadError(FileSystemError::fromErrno(path, EACCES)) ? 1 : 2;
    });
    ASSERT_EQ(chmod(resources.c_str(), 0755), 0);
    EXPECT_EQ(result, 1) << "0: read anyway, 2: another error";
}

} // namespace
} // namespace quorin
