#include "CorePrinters.h"
#include "core/BuildConfig.h"
#include "core/GameServerHost.h"
#include "core/LauncherConfiguration.h"
#include "support/TemporaryDirectory.h"
#include "support/UnprivilegedProcess.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <sys/stat.h>

namespace quorin {

void PrintTo(const LauncherConfigurationError& error, std::ostream* stream) { *stream << error.description(); }

namespace {

using Json = nlohmann::json;
using Error = LauncherConfigurationError;

std::string server(int number) { return "server" + std::to_string(number) + "." + std::string(BuildConfig::gameServerDomain); }
Json socket(const std::string& host, int port = 25565) { return { { "host", host }, { "port", port } }; }

Json numbered(int count, bool asSockets)
{
    Json list = Json::array();
    for (int i = 1; i <= count; ++i) list.push_back(asSockets ? socket(server(i)) : Json("https://game" + std::to_string(i) + ".quorin42.net"));
    return list;
}

Json baseDocument()
{
    return { { "schemaVersion", 1 }, { "product", { { "displayName", "Quorin 4.2" }, { "bundleIdentifier", "com.quorin42.desktop" } } },
        { "window", { { "initialWidth", 1280 }, { "initialHeight", 800 }, { "minimumWidth", 960 }, { "minimumHeight", 600 } } },
        { "apiOrigin", "https://api.quorin42.net" }, { "authOrigin", "https://login.quorin42.net/" },
        { "gameOrigins", { "https://game.quorin42.net", "https://cdn.quorin42.net:8443/" } }, { "gameSockets", { socket(server(7)), socket(server(2)) } },
        { "updateFeedURL", "https://updates.quorin42.net/linux/feed.yml" } };
}

// name, change to the base document, error (nullopt: accepted)
using Case = std::tuple<std::string, std::function<void(Json&)>, std::optional<Error>>;

void expectDecoded(const std::vector<Case>& cases)
{
    for (const auto& [name, change, expected] : cases) {
        Json document = baseDocument();
        change(document);
        auto decoded = LauncherConfiguration::decode(document.dump());
        EXPECT_EQ(decoded ? std::nullopt : std::optional(decoded.error()), expected) << name;
    }
}

// Sets `key` of `section` ("" for the top level); a null value removes the key.
std::function<void(Json&)> set(std::string section, std::string key, Json value)
{
    return [=](Json& document) { Json& object = section.empty() ? document : document[section]; value.is_null() ? void(object.erase(key)) : void(object[key] = value); };
}

TEST(LauncherConfiguration, DecodesTheValuesInFileOrder)
{
    Json document = baseDocument();
    std::tie(document["schemaVersion"], document["window"]["initialWidth"], document["gameSockets"][0]["port"]) = std::tuple(1.0, 1280.0, 25565.0);
    document["gameOrigins"][0] = "HTTPS://game.quorin42.net";
    auto decoded = LauncherConfiguration::decode("\xEF\xBB\xBF" + document.dump());
    ASSERT_TRUE(decoded.hasValue()) << decoded.error().description();
    EXPECT_EQ(decoded->product(), (LauncherConfiguration::Product { "Quorin 4.2", "com.quorin42.desktop" }));
    EXPECT_EQ(decoded->window(), (LauncherConfiguration::Window { 1280, 800, 960, 600 }));
    EXPECT_EQ(decoded->apiOrigin().string() + " " + decoded->authOrigin().string(), "https://api.quorin42.net https://login.quorin42.net/");
    EXPECT_EQ(decoded->gameOrigins(), (std::vector { Url::parse("https://game.quorin42.net").value(), Url::parse("https://cdn.quorin42.net:8443/").value() }));
    EXPECT_EQ(decoded->gameSockets(), (std::vector<LauncherConfiguration::GameSocket> { { server(7), 25565 }, { server(2), 25565 } }));
    EXPECT_EQ(decoded->updateFeedURL().string(), "https://updates.quorin42.net/linux/feed.yml");
}

// Each row breaks two rules and the earlier wins. The page sees only LAUNCHER_CONFIGURATION_INVALID, so the rows
// kept are those whose rule no boundary row below reaches.
TEST(LauncherConfiguration, ChecksRunInTheirFixedOrder)
{
    expectDecoded({
        { "unknown top-level key, then schema version", [](Json& d) { d["title"] = "x"; d["schemaVersion"] = 2; }, Error::unknownKey("title") },
        { "schema version, then product", [](Json& d) { d["schemaVersion"] = 2; d.erase("product"); }, Error::unsupportedSchemaVersion() },
        { "unknown product key, then display name", [](Json& d) { d["product"]["title"] = "x"; d["product"].erase("displayName"); }, Error::unknownKey("product.title") },
        { "display name, then bundle identifier", [](Json& d) { d["product"]["displayName"] = ""; d["product"]["bundleIdentifier"] = ""; }, Error::invalidValue("displayName") },
        { "product, then window", [](Json& d) { d["product"]["bundleIdentifier"] = " "; d["window"]["initialWidth"] = 1; }, Error::invalidValue("bundleIdentifier") },
        { "unknown window key, then a bad width", [](Json& d) { d["window"]["depth"] = 1; d["window"]["initialWidth"] = "wide"; }, Error::unknownKey("window.depth") },
        { "window integers in order", [](Json& d) { d["window"].erase("minimumHeight"); d["window"]["initialHeight"] = 1.5; }, Error::invalidValue("initialHeight") },
        { "every window integer, then the bounds", [](Json& d) { d["window"]["initialWidth"] = 100; d["window"].erase("minimumHeight"); }, Error::invalidValue("minimumHeight") },
        { "auth origin, then game origins", [](Json& d) { d["authOrigin"] = "https://b/x"; d["gameOrigins"] = Json::array(); }, Error::invalidOrigin("authOrigin") },
        { "game origins, then update feed", [](Json& d) { d["gameOrigins"] = Json::array(); d["updateFeedURL"] = "https://u"; }, Error::invalidValue("gameOrigins") },
        { "unknown entry key, then host", [](Json& d) { d["gameSockets"] = { Json { { "tls", true }, { "port", 25565 } } }; }, Error::unknownKey("gameSockets.tls") },
        { "host, then port", [](Json& d) { d["gameSockets"] = { Json { { "host", 1 }, { "port", "x" } } }; }, Error::invalidValue("host") },
        { "every entry, then duplicate hosts", [](Json& d) { d["gameSockets"] = { socket(server(1)), socket(server(1)), Json { { "host", server(3) } } }; }, Error::invalidValue("port") },
    });
}

TEST(LauncherConfiguration, EachRuleAtItsBoundary)
{
    auto window = [](int side) { return set("", "window", { { "initialWidth", side }, { "initialHeight", side }, { "minimumWidth", side }, { "minimumHeight", side } }); };
    std::vector<Case> cases = {
        { "not an object", [](Json& d) { d = Json::array(); }, Error::invalidJSON() },
        { "an empty object", [](Json& d) { d = Json::object(); }, Error::invalidValue("schemaVersion") },
        { "product as a string", set("", "product", "Quorin"), Error::invalidValue("product") },
        { "every window side 320", window(320), std::nullopt },
        { "every window side 8192", window(8192), std::nullopt },
        { "a side of 319", set("window", "minimumWidth", 319), Error::invalidWindowBounds() },
        { "a side of 8193", set("window", "initialHeight", 8193), Error::invalidWindowBounds() },
        { "initial width one below minimum", set("window", "initialWidth", 959), Error::invalidWindowBounds() },
        { "initial height one below minimum", set("window", "initialHeight", 599), Error::invalidWindowBounds() },
        { "16 game origins", set("", "gameOrigins", numbered(16, false)), std::nullopt },
        { "17 game origins", set("", "gameOrigins", numbered(17, false)), Error::invalidValue("gameOrigins") },
        { "duplicate game origins", set("", "gameOrigins", { "https://g.quorin42.net", "https://g.quorin42.net" }), std::nullopt },
        { "a plain HTTP game origin", set("", "gameOrigins", { "https://g.quorin42.net", "http://h.quorin42.net" }), Error::insecureURL("gameOrigins") },
        { "the first bad game origin decides", set("", "gameOrigins", { "https://g.quorin42.net/x", "http://h" }), Error::invalidOrigin("gameOrigins") },
        { "update feed at the root", set("", "updateFeedURL", "https://u.quorin42.net/"), Error::invalidValue("updateFeedURL") },
        { "update feed with an empty query", set("", "updateFeedURL", "https://u.quorin42.net/f?"), Error::invalidValue("updateFeedURL") },
        { "update feed over plain HTTP without a path", set("", "updateFeedURL", "http://u.quorin42.net"), Error::insecureURL("updateFeedURL") },
        { "update feed with a one-letter path", set("", "updateFeedURL", "https://u.quorin42.net/a"), std::nullopt },
        { "game sockets absent", set("", "gameSockets", nullptr), std::nullopt },
        { "game sockets as an object", set("", "gameSockets", socket(server(1))), Error::invalidValue("gameSockets") },
        { "8 game sockets", set("", "gameSockets", numbered(8, true)), std::nullopt },
        { "9 game sockets", set("", "gameSockets", numbered(9, true)), Error::invalidValue("gameSockets") },
        { "duplicate socket hosts", set("", "gameSockets", { socket(server(3)), socket(server(4)), socket(server(3)) }), Error::invalidValue("gameSockets") },
        { "a socket host that is no game server", set("", "gameSockets", { socket("server1.example.com") }), Error::invalidValue("gameSockets") },
        { "socket port 25566", set("", "gameSockets", { socket(server(1), 25566) }), Error::invalidValue("gameSockets") },
    };
    // One decoder for both origins; the auth origin's key, an accepted and a plain HTTP origin show in other rows.
    const std::pair<const char*, std::optional<Error>> originRules[] = {
        { " https://a.quorin42.net", Error::invalidValue("apiOrigin") },
        { "https://", Error::invalidValue("apiOrigin") },
        { "https://a.quorin42.net//", Error::invalidOrigin("apiOrigin") },
        { "https://a.quorin42.net?", Error::invalidOrigin("apiOrigin") },
        { "https://a.quorin42.net/#", Error::invalidOrigin("apiOrigin") },
        { "https://@a.quorin42.net", Error::invalidOrigin("apiOrigin") },
    };
    for (const auto& [value, expected] : originRules)
        cases.push_back({ std::string("apiOrigin ") + value, set("", "apiOrigin", value), expected });
    expectDecoded(cases);
}

// "server" + 1 to 999 without a leading zero + "." + the domain, taken literally.
TEST(LauncherConfiguration, GameServerHostPattern)
{
    for (const char* host : { "server1.play.example", "server999.play.example" })
        EXPECT_TRUE(isGameServerHost(host, "play.example")) << host;
    for (const char* host : { "server1000.play.example", "server01.play.example", "Server1.play.example", "server.play.example", "server1a.play.example",
             "server1.playXexample", "server1.PLAY.example", "server1.play.example.", "server1.play.example.evil.test", "" })
        EXPECT_FALSE(isGameServerHost(host, "play.example")) << host;
}

// Lookup of the bundled file in a real bundle, as an unprivileged user so that modes bind.
TEST(LauncherConfiguration, BundledFileLookup)
{
    const std::string resources = "Q.app/Contents/Resources", beside = resources + "/launcher-config.json", core = resources + "/LauncherCore/launcher-config.json";
    auto named = [](const char* displayName) { Json document = baseDocument(); document["product"]["displayName"] = displayName; return document.dump(); };
    using Prepare = std::function<void(testing::TemporaryDirectory&)>;
    const std::tuple<const char*, Prepare, std::string> cases[] = {
        { "the file beside the application wins", [&](auto& d) { d.write(beside, named("Beside")); d.write(core, named("Core")); }, "Beside" },
        { "the core copy serves when nothing is beside", [&](auto& d) { d.write(core, named("Core")); }, "Core" },
        { "a dangling link is not a file", [&](auto& d) { d.write(core, named("Core")); std::filesystem::create_symlink("nowhere", d.pathOf(beside)); }, "Core" },
        { "neither file", [&](auto& d) { d.makeDirectory(resources + "/LauncherCore"); }, "missingBundledConfiguration" },
        { "a found file is decoded without falling back", [&](auto& d) { d.write(beside, "[]"); d.write(core, named("Core")); }, "invalidJSON" },
        { "an unreadable file gives its open error", [&](auto& d) { chmod(d.write(beside, named("Beside")).c_str(), 0); d.write(core, named("Core")); }, beside + ": Permission denied" },
        { "a file in a folder that cannot be searched counts as found", [&](auto& d) { d.write(beside, named("Beside")); chmod(d.pathOf(resources).c_str(), 0644); }, beside + ": Permission denied" },
    };
    for (const auto& [name, prepare, expected] : cases) {
        SCOPED_TRACE(name);
        testing::TemporaryDirectory directory;
        ASSERT_EQ(chmod(directory.path().c_str(), 0755), 0);
        prepare(directory);
        int result = testing::runUnprivileged([&] {
            auto loaded = LauncherConfiguration::bundled(ApplicationBundle(directory.pathOf("Q.app")));
            const auto* refused = loaded.hasValue() ? nullptr : std::get_if<Error>(&loaded.error());
            auto actual = loaded.hasValue() ? loaded->product().displayName
                : refused                   ? refused->description()
                                            : std::get<FileSystemError>(loaded.error()).message().substr(directory.path().size() + 1);
            std::cerr << (actual == expected ? "" : name + std::string(": got ") + actual + "\n");
            return actual == expected ? 1 : 0;
        });
        chmod(directory.pathOf(resources).c_str(), 0755);
        EXPECT_EQ(result, 1) << "expected " << expected;
    }
}

} // namespace
} // namespace quorin
