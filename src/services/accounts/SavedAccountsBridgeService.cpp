#include "SavedAccountsBridgeService.h"

#include "SystemKeychainClient.h"
#include "core/glib/MainLoop.h"

namespace quorin {

namespace {

BridgeServiceResult answer(SavedAccountStore::AccountsResult accounts)
{
    if (accounts.isError())
        return fail(BridgeServiceError::coded(accounts.error()));
    BridgeValue::Array values;
    for (const auto& account : *accounts)
        values.push_back(account.bridgeValue());
    return BridgeValue::array(std::move(values));
}

} // namespace

Result<std::shared_ptr<SavedAccountsBridgeService>, SavedAccountStoreError> SavedAccountsBridgeService::open(std::shared_ptr<LauncherDataPersisting> file)
{
    auto store = TRY(SavedAccountStore::create(std::move(file), std::make_shared<SystemKeychainClient>()));
    return std::make_shared<SavedAccountsBridgeService>(std::move(store));
}

SavedAccountsBridgeService::SavedAccountsBridgeService(SavedAccountStore store)
    : m_store(std::move(store))
{
}

void SavedAccountsBridgeService::list(BridgeServiceCompletion completion)
{
    run([](SavedAccountStore& store) { return store.list(); }, std::move(completion));
}

void SavedAccountsBridgeService::upsert(const BridgeValue& entry, BridgeServiceCompletion completion)
{
    run([entry](SavedAccountStore& store) { return store.upsert(entry); }, std::move(completion));
}

void SavedAccountsBridgeService::remove(const std::string& accountID, BridgeServiceCompletion completion)
{
    run([accountID](SavedAccountStore& store) { return store.remove(accountID); }, std::move(completion));
}

void SavedAccountsBridgeService::run(Operation operation, BridgeServiceCompletion completion)
{
    // The worker dies before the store, so the store outlives every task that uses it.
    m_worker.post([store = &m_store, operation = std::move(operation), completion = std::move(completion)]() mutable {
        auto result = answer(operation(*store));
        glib::runOnMainLoop([completion = std::move(completion), result = std::move(result)]() mutable { completion(std::move(result)); });
    });
}

} // namespace quorin
