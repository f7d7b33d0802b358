#pragma once

// The saved accounts as the bridge service sees them. Every store operation blocks on the key
// store, so all of them run on one worker thread, in the order the page asked; each answer
// comes back on the main loop. After construction only that worker touches the store.
// Called on the main thread.

#include "SavedAccountStore.h"
#include "SerialWorker.h"
#include "bridge/SavedAccountsBridgePort.h"

#include <memory>

namespace quorin {

class SavedAccountsBridgeService final : public SavedAccountsBridgePort {
public:
    // Start-up, on the main thread: loads the file (and moves an older version's tokens out of
    // it) with the tokens in the desktop's Secret Service under the platform's service name.
    // Fails as SavedAccountStore::create does: SAVED_ACCOUNTS_PERSISTENCE_FAILED or
    // SAVED_ACCOUNTS_KEYCHAIN_FAILED.
    static Result<std::shared_ptr<SavedAccountsBridgeService>, SavedAccountStoreError> open(std::shared_ptr<LauncherDataPersisting> file);

    // Takes over a loaded store.
    explicit SavedAccountsBridgeService(SavedAccountStore store);

    // Each answers with the resulting accounts as an array of account values, or the store's
    // coded error.
    void list(BridgeServiceCompletion completion) override;
    void upsert(const BridgeValue& entry, BridgeServiceCompletion completion) override;
    void remove(const std::string& accountID, BridgeServiceCompletion completion) override;

private:
    using Operation = std::function<SavedAccountStore::AccountsResult(SavedAccountStore&)>;
    void run(Operation operation, BridgeServiceCompletion completion);

    SavedAccountStore m_store;
    // Last, so that it is destroyed first: it finishes the queued operations while the store lives.
    SerialWorker m_worker;
};

} // namespace quorin
