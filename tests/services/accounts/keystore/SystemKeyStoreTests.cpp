#include "core/AtomicFileDataPersistence.h"
#include "core/ReadableFile.h"
#include "services/accounts/SavedAccountsBridgeService.h"
#include "services/accounts/SystemKeychainClient.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <thread>
#include <unistd.h>

namespace quorin {
namespace {

// This run's own service name: items of other runs and programs never meet ours.
const std::string service = "com.quorin42.launcher.tests." + std::to_string(getpid());

std::string token(KeychainClient& keychain, const std::string& account)
{
    auto value = keychain.read(service, account);
    return value ? value->value_or("(none)") : value.error().description();
}

TEST(SystemKeyStoreTest, StoresReplacesAndDeletesRealItems)
{
    SystemKeychainClient keychain;
    std::string unusual("tok-\xC3\xBC\0x", 8);
    EXPECT_TRUE(keychain.write(service, "ann", unusual) && token(keychain, "ann") == unusual);
    EXPECT_TRUE(keychain.write(service, "ann", "tok-2") && token(keychain, "ann") == "tok-2");
    EXPECT_EQ(token(keychain, "bob"), "(none)");
    EXPECT_TRUE(keychain.remove(service, "ann") && token(keychain, "ann") == "(none)");
    EXPECT_TRUE(keychain.remove(service, "ann"));

    EXPECT_EQ(keychain.read(service, std::string(1025, 'a')).error(), KeychainClientError::invalidIdentifier());
    EXPECT_EQ(keychain.remove("", "ann").error(), KeychainClientError::invalidIdentifier());
    EXPECT_EQ(keychain.write(service, "ann", "\xFF").error(), KeychainClientError::invalidEncoding());
}

// Answers come on the main loop, in the order asked; the token reaches the real key store and
// never the real file, and a second start finds the account again.
TEST(SystemKeyStoreTest, BridgeAnswersOnTheMainLoopInOrder)
{
    testing::TemporaryDirectory folder;
    auto path = folder.pathOf("saved-accounts.json");
    auto keychain = std::make_shared<SystemKeychainClient>();
    auto open = [&] { return std::make_unique<SavedAccountsBridgeService>(MUST(SavedAccountStore::create(std::make_shared<AtomicFileDataPersistence>(path), keychain, service))); };
    std::vector<std::string> answers;
    auto record = [&, mainThread = std::this_thread::get_id()](BridgeServiceResult result) {
        EXPECT_EQ(std::this_thread::get_id(), mainThread);
        answers.push_back(result ? result->jsonText() : result.error().code.value_or("?"));
    };
    auto waitFor = [&](std::size_t count) {
        while (answers.size() < count)
            g_main_context_iteration(nullptr, TRUE);
    };
    auto accounts = open();
    accounts->upsert(BridgeValue::object({ { "userId", BridgeValue::string("1") }, { "token", BridgeValue::string("tok-real") } }), record);
    accounts->upsert(BridgeValue::object({ { "userId", BridgeValue::string("1") }, { "displayName", BridgeValue::string("Ann") } }), record);
    accounts->remove(" ", record);
    EXPECT_TRUE(answers.empty());
    waitFor(3);
    EXPECT_EQ(answers[1], R"([{"displayName":"Ann","email":"","id":"user:1","lastLoginIdentifier":"","lastUsedAt":"","token":"tok-real","userId":"1","username":""}])");
    EXPECT_EQ(answers[2], "SAVED_ACCOUNTS_INVALID_ENTRY");
    accounts.reset();

    EXPECT_EQ(MUST(ReadableFile::readContents(path)).find("tok-"), std::string::npos);

    accounts = open();
    accounts->list(record);
    accounts->remove("user:1", record);
    waitFor(5);
    EXPECT_EQ(answers[3], answers[1]);
    EXPECT_EQ(answers[4], "[]");
    EXPECT_EQ(token(*keychain, "user:1"), "(none)");
}

} // namespace
} // namespace quorin
