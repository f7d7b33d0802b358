#include "core/AtomicFileDataPersistence.h"
#include "core/StorageLocation.h"
#include "services/preferences/LauncherPreferencesBridge.h"
#include "support/KilledWriter.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <functional>

namespace quorin {
namespace {

// A file in memory whose reads and writes fail while `failing` is set.
struct FakeFile final : LauncherDataPersisting {
    std::optional<std::string> bytes;
    bool failing = false;
    int writes = 0;

    Result<std::optional<std::string>, FileSystemError> read() const override { return failing ? Result<std::optional<std::string>, FileSystemError>(fail(FileSystemError {})) : bytes; }
    Status<FileSystemError> write(std::string_view text) override { return failing ? Status<FileSystemError>(fail(FileSystemError {})) : (++writes, bytes = std::string(text), Ok {}); }
};

std::pair<FakeFile*, std::unique_ptr<LauncherPreferencesBridge>> openStore(std::optional<std::string> bytes)
{
    auto file = std::make_unique<FakeFile>();
    file->bytes = std::move(bytes);
    return { file.get(), std::make_unique<LauncherPreferencesBridge>(MUST(LauncherPreferencesStore::create(std::move(file)))) };
}

// The snapshot a call answered with, or its error code.
std::string answer(const BridgeServiceResult& result) { return result ? result->jsonText() : result.error().code.value_or(""); }

TEST(LauncherPreferencesStore, LoadsEachKindOnItsOwnAndMigratesEachKindAtMostOnce)
{
    const auto defaults = R"({"audioMuted":false,"locale":"tr","playBackgroundThemesByServer":{},"version":1})";
    const auto all = R"({"audioMuted":true,"locale":"en","playBackgroundThemesByServer":{"L":"https://legacy"},"version":1})";
    const auto fromFile = R"({"audioMuted":false,"locale":"en","playBackgroundThemesByServer":{"12":"https://a"},"version":1})";
    // file, snapshot loaded, after the legacy values came in
    const std::tuple<std::optional<std::string>, std::string, std::string> cases[] = {
        { std::nullopt, defaults, all },
        { "{", defaults, all },
        { R"({"locale":"de","audioMuted":1,"playBackgroundThemesByServer":[]})", defaults, all },
        { R"({"locale":"en","audioMuted":false,"playBackgroundThemesByServer":{" 12 ":" https://a ","x":5}})", fromFile, fromFile },
        { R"({"playBackgroundThemesByServer":{}})", defaults, R"({"audioMuted":true,"locale":"en","playBackgroundThemesByServer":{},"version":1})" },
    };
    auto legacyThemes = BridgeValue::object({ { "L", BridgeValue::string("https://legacy") }, { "N", BridgeValue::number(1) } });
    for (const auto& [file, loaded, migrated] : cases) {
        SCOPED_TRACE(file.value_or("no file"));
        auto [fake, store] = openStore(file);
        EXPECT_EQ(answer(store->initialize({})), loaded);
        EXPECT_EQ(fake->writes, 0);
        EXPECT_EQ(answer(store->initialize({ { "locale", BridgeValue::string("en") }, { "audioMuted", BridgeValue::boolean(true) }, { "playBackgroundThemesByServer", legacyThemes } })), migrated);
        EXPECT_EQ(answer(store->initialize({ { "locale", BridgeValue::string("tr") }, { "audioMuted", BridgeValue::boolean(false) }, { "playBackgroundThemesByServer", BridgeValue::object({}) } })), migrated);
    }
    auto unreadable = std::make_unique<FakeFile>();
    unreadable->failing = true;
    EXPECT_EQ(LauncherPreferencesStore::create(std::move(unreadable)).error(), LauncherPreferencesStoreError::persistenceFailed());
}

TEST(LauncherPreferencesStore, RefusesBadArgumentsAndA129thThemeWithoutWriting)
{
    auto [fake, store] = openStore(std::nullopt);
    auto theme = [&](std::string id, std::string url) { return store->setPlayBackgroundTheme({ BridgeValue::string(id), BridgeValue::string(url) }); };
    for (int i = 1; i < 128; ++i)
        ASSERT_TRUE(theme("s" + std::to_string(i), "https://cdn.test/old.png"));
    const BridgeValue de = BridgeValue::string("de"), yes = BridgeValue::string("true"), absent = BridgeValue::string("absent"), one = BridgeValue::number(1);
    const std::pair<std::function<BridgeServiceResult()>, std::string> cases[] = {
        { [&] { return store->setLocale(&one); }, "PREFERENCES_INVALID_LOCALE" },
        { [&] { return store->setLocale(&de); }, "PREFERENCES_INVALID_LOCALE" },
        { [&] { return store->setAudioMuted(&yes); }, "PREFERENCES_INVALID_AUDIO_MUTED" },
        { [&] { return store->setPlayBackgroundTheme({ BridgeValue::string("s0"), BridgeValue::string("https://cdn.test/a.png"), BridgeValue::string("") }); }, "PREFERENCES_INVALID_SERVER_ID" },
        { [&] { return theme(" \n", "https://cdn.test/a.png"); }, "PREFERENCES_INVALID_SERVER_ID" },
        { [&] { return theme("s0", "file:///etc/passwd"); }, "PREFERENCES_INVALID_THEME_URL" },
        { [&] { return store->clearPlayBackgroundTheme(&one); }, "PREFERENCES_INVALID_SERVER_ID" },
        { [&] { return theme("s0", "https://cdn.test/a.png"); }, "" }, // the 128th
        { [&] { return theme("s200", "https://cdn.test/a.png"); }, "PREFERENCES_INVALID_SERVER_ID" },
        { [&] { return theme(" s1 ", "https://cdn.test/new.png"); }, "" }, // replaces "s1"
        { [&] { return store->clearPlayBackgroundTheme(&absent); }, "" },
    };
    for (const auto& [call, expected] : cases) {
        int writes = fake->writes;
        auto result = call();
        EXPECT_EQ(std::pair(result ? "" : answer(result), fake->writes - writes), std::pair(expected, result ? 1 : 0)) << "row " << &call - &cases[0].first;
    }
}

TEST(LauncherPreferencesStore, WritesItsFormatAndAFailedWriteChangesNothingButTheKindsAMigrationTook)
{
    auto [fake, store] = openStore(std::nullopt);
    const BridgeValue en = BridgeValue::string("en"), yes = BridgeValue::boolean(true), id = BridgeValue::string("s1");
    ASSERT_TRUE(store->setPlayBackgroundTheme({ id, BridgeValue::string("https://cdn.test/a/b.png") }));
    EXPECT_EQ(fake->bytes, "{\n  \"audioMuted\": false,\n  \"locale\": \"tr\",\n  \"playBackgroundThemesByServer\": {\n    \"s1\": \"https://cdn.test/a/b.png\"\n  },\n  \"version\": 1\n}\n");
    fake->failing = true;
    BridgeServiceResult failed[] = { store->setLocale(&en), store->setAudioMuted(&yes), store->clearPlayBackgroundTheme(&id), store->initialize({ { "locale", en } }) };
    for (const auto& result : failed)
        EXPECT_EQ(answer(result), "PREFERENCES_PERSISTENCE_FAILED");
    fake->failing = false;
    // The failed migration took the locale; the failed setters marked nothing.
    auto after = store->initialize({ { "locale", en }, { "audioMuted", yes } });
    EXPECT_EQ(answer(after), R"({"audioMuted":true,"locale":"tr","playBackgroundThemesByServer":{"s1":"https://cdn.test/a/b.png"},"version":1})");
}

TEST(LauncherPreferencesStore, FileStaysWholeWhenItsWriterIsKilledAtAnyMoment)
{
    testing::TemporaryDirectory directory;
    auto path = StorageLocation::preferencesFilePath(directory.path());
    testing::expectFileWholeWhileItsWriterIsKilled(path, { *LauncherPreferencesSnapshot {}.fileText(), *LauncherPreferencesSnapshot { .audioMuted = true }.fileText() }, [&] {
        auto store = std::make_shared<decltype(LauncherPreferencesStore::create(nullptr))>(LauncherPreferencesStore::create(std::make_unique<AtomicFileDataPersistence>(path)));
        return [store](bool muted) { return *store && (*store)->setAudioMuted(muted).hasValue(); };
    });
}

} // namespace
} // namespace quorin
