#include "bridge/BridgeRequest.h"
#include "core/LauncherDataPersisting.h"
#include "services/accounts/KeychainClient.h"
#include "services/accounts/SavedAccountOrder.h"
#include "services/accounts/SavedAccountStore.h"
#include "services/accounts/SavedAccountsFile.h"
#include "core/StorageLocation.h"
#include "support/KilledWriter.h"
#include "support/TemporaryDirectory.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>

namespace quorin {
namespace {

// Every token in these tests starts with "tok-", and no write may carry one into the file.
class MemoryPersistence final : public LauncherDataPersisting {
public:
    std::optional<std::string> bytes;
    bool failWrites { false };

    Result<std::optional<std::string>, FileSystemError> read() const override { return bytes; }
    Status<FileSystemError> write(std::string_view written) override
    {
        EXPECT_EQ(written.find("tok-"), std::string_view::npos) << "a token reached the file";
        if (!failWrites)
            bytes = std::string(written);
        return failWrites ? Status<FileSystemError>(fail(FileSystemError::fromErrno("saved-accounts.json", ENOSPC))) : Ok {};
    }
};

// Fails call number `failingCall` (reads, writes and removals from 0), as a locked Secret Service does.
class MemoryKeychain final : public KeychainClient {
public:
    std::map<std::string, std::string> items; // by account: one service per test
    std::optional<int> failingCall;
    int calls { 0 };

    Result<std::optional<std::string>, KeychainClientError> read(std::string_view, std::string_view account) override
    {
        TRY(nextCall());
        return items.contains(std::string(account)) ? std::optional(items.at(std::string(account))) : std::nullopt;
    }
    Status<KeychainClientError> write(std::string_view, std::string_view account, std::string_view value) override { TRY(nextCall()); items[std::string(account)] = value; return Ok {}; }
    Status<KeychainClientError> remove(std::string_view, std::string_view account) override { TRY(nextCall()); items.erase(std::string(account)); return Ok {}; }
    Status<KeychainClientError> nextCall() { return calls++ == failingCall ? Status<KeychainClientError>(fail(KeychainClientError::operationFailed(2))) : Ok {}; }
};

// "<N>" stands for N letters "x", so rows can reach the limits.
std::string expanded(std::string text)
{
    std::smatch match;
    while (std::regex_search(text, match, std::regex("<(\\d+)>")))
        text.replace(match.position(), match.length(), std::string(std::stoul(match[1]), 'x'));
    return text;
}

struct Store {
    std::shared_ptr<MemoryPersistence> file = std::make_shared<MemoryPersistence>();
    std::shared_ptr<MemoryKeychain> keychain = std::make_shared<MemoryKeychain>();
    Result<SavedAccountStore, SavedAccountStoreError> store = fail(SavedAccountStoreError::invalidEntry());

    explicit Store(const char* bytes, std::string service = "service", std::string_view faults = "")
    {
        file->bytes = bytes ? std::optional(expanded(bytes)) : std::nullopt;
        file->failWrites = faults.find('w') != faults.npos;
        keychain->failingCall = faults.find('k') != faults.npos ? std::optional(0) : std::nullopt;
        store = SavedAccountStore::create(file, keychain, std::move(service));
        keychain->calls = 0;
        keychain->failingCall.reset();
    }
    SavedAccountStore::AccountsResult call(const std::string& call)
    {
        if (call == "list")
            return store->list();
        if (call.starts_with("remove:"))
            return store->remove(call.substr(7));
        auto request = BridgeRequest::decode(R"({"schemaVersion":1,"requestId":"r","method":"savedAccounts.upsert","arguments":[)" + expanded(call) + "]}");
        return store->upsert(MUST(std::move(request)).arguments().front());
    }
};

// The code, or the accounts' page values with only the keys `expected` lists for each.
std::string outcome(const SavedAccountStore::AccountsResult& result, const char* expected)
{
    if (result.isError())
        return result.error().code();
    auto wanted = nlohmann::json::parse(expanded(expected)), accounts = nlohmann::json::array();
    for (std::size_t i = 0; i < result->size(); ++i) {
        auto value = (*result)[i].bridgeValue().toJson();
        accounts.push_back(nlohmann::json::object());
        for (const auto& [key, member] : value.items())
            if (i >= wanted.size() || wanted[i].contains(key))
                accounts.back()[key] = member;
    }
    return accounts.dump();
}

// user:1 (newer, token "tok-a") before b, after loading, which rewrites the file.
constexpr const char* twoAccounts = R"([
    {"id": "b", "username": "bob", "email": "Bob@x.io", "lastUsedAt": "2024-01-01T00:00:00.500Z"},
    {"id": "user:1", "userId": "1", "displayName": "Ann", "username": "ann", "token": "tok-a", "lastUsedAt": "2024-01-02T00:00:00Z"}])";

// The file (nullptr: none); faults while loading ('w' the file cannot be written, 'k' the key store fails); the call
// ("list", "remove:ID", or an upsert's argument); a code or the accounts with the keys that matter; the key store after.
struct Case { const char *name, *file, *faults, *call, *expected, *keychain; bool rewrittenByLoading; };

const Case cases[] = {
    { "no file", nullptr, "", "list", "[]", "{}", false },
    { "not an array of objects", R"([{"id": "a"}, 1])", "", "list", "[]", "{}", false },
    { "current file: no key store call, no write", R"([{"id": "a", "email": " E ", "extra": 1}])", "kw", "list", R"([{"id": "a", "email": "E"}])", "{}", false },
    { "tokens move to the key store", R"([{"id": "a", "token": "tok-a"}, {"id": "b", "token": 7}, {"id": "c", "token": "tok-<32765>"}])", "", "list", R"([{"id": "a", "token": "tok-a"}, {"token": ""}, {"token": ""}])", R"({"a": "tok-a"})", true },
    { "an invalid entry is dropped", R"([{"id": "a"}, {"displayName": "x"}])", "", "list", R"([{"id": "a"}])", "{}", true },
    { "the newest of one id stays", R"([{"id": "a"}, {"id": "a", "email": "new", "lastUsedAt": "2024-01-01T00:00:00Z"}])", "", "list", R"([{"id": "a", "email": "new"}])", "{}", true },
    { "a token that cannot move", R"([{"id": "a", "token": "tok-a"}])", "k", "list", "SAVED_ACCOUNTS_KEYCHAIN_FAILED", "{}", false },
    { "a file that cannot be rewritten", R"([{"id": "a", "token": "tok-a"}])", "w", "list", "SAVED_ACCOUNTS_PERSISTENCE_FAILED", R"({"a": "tok-a"})", false },
    { "email only: trimmed, lower-cased derived id", "[]", "", R"({"email": "  Ann@X.io \n"})", R"([{"id": "email:ann@x.io", "email": "Ann@X.io", "token": ""}])", "{}", false },
    { "user id derives the id before email", "[]", "", R"({"userId": " 7 ", "email": "e@x", "token": "tok-7"})", R"([{"id": "user:7", "userId": "7", "token": "tok-7"}])", R"({"user:7": "tok-7"})", false },
    { "username derives the id before the login", "[]", "", R"({"username": "ÇAĞ", "lastLoginIdentifier": "X"})", R"([{"id": "username:çağ"}])", "{}", false },
    { "login identifier derives the id last", "[]", "", R"({"lastLoginIdentifier": "ME@x", "userId": 5})", R"([{"id": "login:me@x", "userId": ""}])", "{}", false },
    { "nothing to derive an id from", "[]", "", R"({"id": "  ", "displayName": "Ann", "token": "tok-x"})", "SAVED_ACCOUNTS_INVALID_ENTRY", "{}", false },
    { "not an object", "[]", "", R"("user:1")", "SAVED_ACCOUNTS_INVALID_ENTRY", "{}", false },
    { "fields past their limit become empty", "[]", "", R"({"email": "e@x", "displayName": "<513>", "username": "<512>", "token": "tok-<32764>"})", R"([{"displayName": "", "username": "<512>", "token": "tok-<32764>"}])", R"({"email:e@x": "tok-<32764>"})", false },
    { "same user id: empty fields keep the stored ones", twoAccounts, "", R"({"userId": "1", "displayName": "", "email": "a@x"})", R"([{"id": "user:1", "displayName": "Ann", "email": "a@x", "token": "tok-a"}, {"id": "b"}])", R"({"user:1": "tok-a"})", true },
    { "user id matches by username an entry without one, which takes its id", twoAccounts, "", R"({"userId": "9", "username": "bob", "token": "tok-b"})", R"([{"id": "user:1"}, {"id": "user:9", "email": "Bob@x.io", "token": "tok-b"}])", R"({"user:1": "tok-a", "user:9": "tok-b"})", true },
    { "user id never matches an entry with another user id", twoAccounts, "", R"({"userId": "2", "username": "ann"})", R"([{"id": "user:1"}, {"id": "b"}, {"id": "user:2", "displayName": ""}])", R"({"user:1": "tok-a"})", true },
    { "without user id, username matches any entry; its token follows the new id", twoAccounts, "", R"({"username": "ann", "displayName": "Annie"})", R"([{"id": "username:ann", "userId": "1", "displayName": "Annie", "token": "tok-a"}, {"id": "b"}])", R"({"username:ann": "tok-a"})", true },
    { "email compares case-sensitively", twoAccounts, "", R"({"email": "bob@x.io"})", R"([{"id": "user:1"}, {"id": "b"}, {"id": "email:bob@x.io"}])", R"({"user:1": "tok-a"})", true },
    { "a new entry with another's id", twoAccounts, "", R"({"id": "b", "userId": "5"})", "SAVED_ACCOUNTS_DUPLICATE_ID", R"({"user:1": "tok-a"})", true },
    { "a match renamed to another's id", twoAccounts, "", R"({"id": "b", "userId": "1"})", "SAVED_ACCOUNTS_DUPLICATE_ID", R"({"user:1": "tok-a"})", true },
    { "a newer time moves an entry to the front", twoAccounts, "", R"({"id": "b", "username": "bob", "lastUsedAt": "2024-01-02T00:00:00.001Z"})", R"([{"id": "b"}, {"id": "user:1"}])", R"({"user:1": "tok-a"})", true },
    { "an equal time keeps the order", twoAccounts, "", R"({"id": "b", "username": "bob", "lastUsedAt": "2024-01-02T01:00:00+01:00"})", R"([{"id": "user:1"}, {"id": "b"}])", R"({"user:1": "tok-a"})", true },
    { "remove trims the id and deletes the token", twoAccounts, "", "remove: user:1\n", R"([{"id": "b"}])", "{}", true },
    { "remove of an unknown id changes nothing", twoAccounts, "", "remove:c", R"([{"id": "user:1"}, {"id": "b"}])", R"({"user:1": "tok-a"})", true },
    { "remove of a blank id", twoAccounts, "", "remove: \t", "SAVED_ACCOUNTS_INVALID_ENTRY", R"({"user:1": "tok-a"})", true },
};

TEST(SavedAccountStoreTest, LoadingAndOperations)
{
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        Store subject(row.file, "service", row.faults);
        auto loaded = subject.file->bytes;
        EXPECT_EQ(loaded != (row.file ? std::optional(expanded(row.file)) : std::nullopt), row.rewrittenByLoading);
        auto result = subject.store ? subject.call(row.call) : SavedAccountStore::AccountsResult(fail(subject.store.error()));
        EXPECT_EQ(outcome(result, row.expected), row.expected[0] == '[' ? nlohmann::json::parse(expanded(row.expected)).dump() : row.expected);
        EXPECT_EQ(nlohmann::json(subject.keychain->items), nlohmann::json::parse(expanded(row.keychain)));
        EXPECT_EQ(subject.file->bytes, result && row.call != std::string_view("list") ? encodedSavedAccounts(subject.store->entries()) : loaded);
        EXPECT_TRUE(!subject.store || std::ranges::all_of(subject.store->entries(), [](const SavedAccount& entry) { return entry.token.empty(); }));
    }
    for (auto [service, expected] : { std::pair(std::string(), false), { std::string(512, 's'), true }, { std::string(513, 's'), false } })
        EXPECT_EQ(Store("[]", service).store.hasValue(), expected) << service.size();
}

TEST(SavedAccountStoreTest, HoldsAtMostSixtyFourAccounts)
{
    // a0, a1, ... with user ids 0, 1, ..., each used a millisecond after the one before.
    auto accounts = [](int count) {
        auto file = nlohmann::json::array();
        for (int i = 0; i < count; ++i)
            file.push_back({ { "id", "a" + std::to_string(i) }, { "userId", std::to_string(i) }, { "lastUsedAt", "2024-01-01T00:00:00." + std::to_string(100 + i) + "Z" } });
        return file.dump();
    };
    Store full(accounts(64).c_str());
    EXPECT_EQ(outcome(full.call(R"({"userId": "new"})"), "[]"), "SAVED_ACCOUNTS_CAPACITY_EXCEEDED");
    EXPECT_EQ(full.call(R"({"userId": "3", "displayName": "x"})")->size(), 64u);

    Store crowded(accounts(130).c_str()); // the first 128 elements are read; the newest 64 of them stay
    EXPECT_EQ(std::pair(crowded.store->entries().size(), crowded.store->entries().front().id), std::pair(std::size_t(64), std::string("a127")));
    EXPECT_EQ(crowded.file->bytes, encodedSavedAccounts(crowded.store->entries()));
}

// Every key store call before the file is written fails once in turn (-1: the file write
// fails): each failure leaves the entries, the file and the key store as they were.
TEST(SavedAccountStoreTest, FailuresChangeNothing)
{
    for (const char* call : { R"({"email": "new@x", "token": "tok-n"})", R"({"userId": "9", "username": "bob", "token": "tok-b"})", R"({"username": "ann"})", "remove:user:1" }) {
        SCOPED_TRACE(call);
        bool committed = false;
        for (int failing = -1; failing < 10 && !committed; ++failing) {
            Store subject(twoAccounts);
            auto before = std::tuple(subject.store->entries(), subject.file->bytes, subject.keychain->items);
            subject.keychain->failingCall = failing;
            subject.file->failWrites = failing < 0;
            auto result = subject.call(call);
            committed = subject.file->bytes != std::get<1>(before); // later calls only list
            if (!committed) {
                EXPECT_EQ(outcome(result, "[]"), failing < 0 ? "SAVED_ACCOUNTS_PERSISTENCE_FAILED" : "SAVED_ACCOUNTS_KEYCHAIN_FAILED");
                EXPECT_EQ(std::tuple(subject.store->entries(), subject.file->bytes, subject.keychain->items), before);
            }
        }
        EXPECT_TRUE(committed);
    }
}

TEST(SavedAccountStoreTest, UseTime)
{
    const std::pair<const char*, std::int64_t> rows[] = {
        { "1970-01-01T00:00:01Z", 1000 }, { "1970-01-01T00:00:01.25Z", 1250 }, { "1970-01-01t00:00:01.1239z", 1123 }, { "1970-01-01T02:00:01+01:00", 3601000 }, { "1970-01-01T00:00:01-00:30", 1801000 },
        { "2024-02-29T00:00:00Z", 1709164800000 }, { "2023-02-29T00:00:00Z", 0 }, { "1970-01-01T24:00:00Z", 0 }, { "1970-01-01T00:00:01", 0 }, { "1970-01-01T00:00:01.Z", 0 },
        { "1970-01-01 00:00:01Z", 0 }, { "1970-01-01T00:00:01+0100", 0 }, { "1970-01-01T00:00:01Z ", 0 }, { "", 0 },
    };
    for (const auto& [text, milliseconds] : rows)
        EXPECT_EQ(savedAccountUseTime(text), milliseconds) << text;
}

TEST(SavedAccountStoreTest, FileFormatAndDescriptionShowNoToken)
{
    SavedAccount account;
    std::tie(account.id, account.displayName, account.token) = std::tuple("x", "A/B", "tok-secret");
    EXPECT_EQ(encodedSavedAccounts({ account }), "[\n  {\n    \"displayName\": \"A/B\",\n    \"email\": \"\",\n    \"id\": \"x\",\n    \"lastLoginIdentifier\": \"\",\n    \"lastUsedAt\": \"\",\n    \"userId\": \"\",\n    \"username\": \"\"\n  }\n]\n");
    EXPECT_EQ(account.description(), "SavedAccount(id=x, userId=, displayName=A/B, username=, email=, token=redacted, lastLoginIdentifier=, lastUsedAt=)");
}

// The file is replaced the way the preferences file is: a writer killed at any moment leaves one whole version.
TEST(SavedAccountStoreTest, FileStaysWholeWhenItsWriterIsKilledAtAnyMoment)
{
    testing::TemporaryDirectory directory;
    auto path = StorageLocation::savedAccountsFilePath(directory.path());
    auto entry = [](bool second) { return BridgeValue::object({ { "username", BridgeValue::string("ann") }, { "displayName", BridgeValue::string(second ? "B" : "A") } }); };
    std::string contents[2];
    for (bool second : { false, true }) {
        Store subject("[]");
        ASSERT_TRUE(subject.store->upsert(entry(second)));
        contents[second] = *subject.file->bytes;
    }
    testing::expectFileWholeWhileItsWriterIsKilled(path, contents, [&] {
        auto store = std::make_shared<Result<SavedAccountStore, SavedAccountStoreError>>(
            SavedAccountStore::create(std::make_shared<AtomicFileDataPersistence>(path), std::make_shared<MemoryKeychain>(), "service"));
        return [store, entry](bool second) { return *store && (*store)->upsert(entry(second)).hasValue(); };
    });
}

} // namespace
} // namespace quorin
