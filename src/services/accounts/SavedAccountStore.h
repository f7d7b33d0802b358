#pragma once

// The accounts the page remembers: up to 64, described in "saved-accounts.json", each token in
// the key store under (keychainService, id) and nowhere else. Every failing operation leaves
// the entries, the file and (as far as undoing succeeds) the key store as they were.
// Not thread-safe: one thread at a time; its calls block on the key store and the file.

#include "KeychainClient.h"
#include "SavedAccount.h"
#include "SavedAccountStoreError.h"
#include "bridge/BridgeValue.h"
#include "core/LauncherDataPersisting.h"
#include "core/PlatformValues.h"
#include "core/Result.h"

#include <memory>
#include <string>
#include <vector>

namespace quorin {

class SavedAccountStore {
public:
    using Accounts = std::vector<SavedAccount>;
    using AccountsResult = Result<Accounts, SavedAccountStoreError>;

    // Loads the file and moves tokens an older version left in it into the key store.
    // Fails with keychainFailed for a service name that is not 1 to 512 bytes or a token that
    // could not be moved, and with persistenceFailed when the file cannot be read or rewritten.
    static Result<SavedAccountStore, SavedAccountStoreError> create(std::shared_ptr<LauncherDataPersisting> persistence,
        std::shared_ptr<KeychainClient> keychain, std::string keychainService = std::string(PlatformValues::savedAccountsKeyStoreService));

    // The accounts in order, each with its token from the key store.
    AccountsResult list() const;
    // Adds the entry (an object of strings) or updates the account it matches; then list().
    AccountsResult upsert(const BridgeValue& entry);
    // Forgets the account with that id, if any; then list().
    AccountsResult remove(const std::string& accountID);

    // The accounts in order, without tokens.
    const Accounts& entries() const { return m_entries; }

private:
    SavedAccountStore(std::shared_ptr<LauncherDataPersisting> persistence, std::shared_ptr<KeychainClient> keychain, std::string keychainService, Accounts entries);

    Result<std::string, SavedAccountStoreError> token(const std::string& accountID) const;
    bool hasOtherWithID(const std::string& accountID, std::optional<std::size_t> except) const;
    Status<KeychainClientError> applyTokenChange(const SavedAccount& merged, const std::string& previousID);
    Status<SavedAccountStoreError> writeFile(const Accounts& accounts);

    std::shared_ptr<LauncherDataPersisting> m_persistence;
    std::shared_ptr<KeychainClient> m_keychain;
    std::string m_keychainService;
    Accounts m_entries;
};

} // namespace quorin
