#include "SavedAccountStore.h"

#include "KeychainSnapshot.h"
#include "SavedAccountMatching.h"
#include "SavedAccountNormalizing.h"
#include "SavedAccountOrder.h"
#include "SavedAccountsFile.h"

#include <algorithm>

namespace quorin {

namespace {

constexpr std::size_t maximumKeychainServiceBytes = 512;

// `accounts` with `account` (its token left out) in place of the one at `replacing`, or
// added; in the store's order.
SavedAccountStore::Accounts withAccount(SavedAccountStore::Accounts accounts, SavedAccount account, std::optional<std::size_t> replacing)
{
    account.token.clear();
    if (replacing)
        accounts[*replacing] = std::move(account);
    else
        accounts.push_back(std::move(account));
    sortByLastUse(accounts);
    return accounts;
}

Status<SavedAccountStoreError> writeAccounts(LauncherDataPersisting& persistence, const SavedAccountStore::Accounts& accounts)
{
    auto text = encodedSavedAccounts(accounts);
    if (!text || persistence.write(*text).isError())
        return fail(SavedAccountStoreError::persistenceFailed());
    return Ok {};
}

// Moves the tokens an older version kept in the file into the key store, then writes the
// file without them.
Status<SavedAccountStoreError> migrateTokens(LauncherDataPersisting& persistence, KeychainClient& keychain, const std::string& service, SavedAccountStore::Accounts& entries)
{
    for (auto& entry : entries) {
        if (!entry.token.empty() && keychain.write(service, entry.id, entry.token).isError())
            return fail(SavedAccountStoreError::keychainFailed());
        entry.token.clear();
    }
    return writeAccounts(persistence, entries);
}

} // namespace

Result<SavedAccountStore, SavedAccountStoreError> SavedAccountStore::create(std::shared_ptr<LauncherDataPersisting> persistence,
    std::shared_ptr<KeychainClient> keychain, std::string keychainService)
{
    if (keychainService.empty() || keychainService.size() > maximumKeychainServiceBytes)
        return fail(SavedAccountStoreError::keychainFailed());
    auto bytes = persistence->read();
    if (bytes.isError())
        return fail(SavedAccountStoreError::persistenceFailed());
    auto loaded = decodedSavedAccounts(*bytes);
    // A file with tokens always needs rewriting, so afterwards no entry holds one.
    if (loaded.needsRewrite)
        TRY(migrateTokens(*persistence, *keychain, keychainService, loaded.entries));
    return SavedAccountStore(std::move(persistence), std::move(keychain), std::move(keychainService), std::move(loaded.entries));
}

SavedAccountStore::SavedAccountStore(std::shared_ptr<LauncherDataPersisting> persistence, std::shared_ptr<KeychainClient> keychain, std::string keychainService, Accounts entries)
    : m_persistence(std::move(persistence))
    , m_keychain(std::move(keychain))
    , m_keychainService(std::move(keychainService))
    , m_entries(std::move(entries))
{
}

SavedAccountStore::AccountsResult SavedAccountStore::list() const
{
    Accounts accounts = m_entries;
    for (auto& account : accounts)
        account.token = TRY(token(account.id));
    return accounts;
}

SavedAccountStore::AccountsResult SavedAccountStore::upsert(const BridgeValue& entry)
{
    auto normalized = entry.isObject() ? normalizedSavedAccount(savedAccountMembers(entry.asObject())) : std::nullopt;
    if (!normalized)
        return fail(SavedAccountStoreError::invalidEntry());
    const auto& incoming = normalized->account;
    auto match = matchingAccountIndex(m_entries, incoming);
    if (!match && m_entries.size() >= maximumSavedAccounts)
        return fail(SavedAccountStoreError::capacityExceeded());
    if (hasOtherWithID(incoming.id, match))
        return fail(SavedAccountStoreError::duplicateID());

    auto merged = incoming;
    auto previousID = incoming.id;
    if (match) {
        auto stored = m_entries[*match];
        stored.token = TRY(token(stored.id));
        merged = mergedAccount(incoming, stored);
        previousID = stored.id;
        if (hasOtherWithID(merged.id, match))
            return fail(SavedAccountStoreError::duplicateID());
    }
    auto updated = withAccount(m_entries, merged, match);

    std::vector<std::string> touched { merged.id };
    if (previousID != merged.id)
        touched.push_back(previousID);
    auto snapshot = KeychainSnapshot::take(*m_keychain, m_keychainService, std::move(touched));
    if (snapshot.isError())
        return fail(SavedAccountStoreError::keychainFailed());
    if (applyTokenChange(merged, previousID).isError()) {
        snapshot->restore(*m_keychain);
        return fail(SavedAccountStoreError::keychainFailed());
    }
    if (auto written = writeFile(updated); written.isError()) {
        snapshot->restore(*m_keychain);
        return fail(written.releaseError());
    }
    m_entries = std::move(updated);
    return list();
}

SavedAccountStore::AccountsResult SavedAccountStore::remove(const std::string& accountID)
{
    auto id = normalizedSavedAccountID(accountID);
    if (!id)
        return fail(SavedAccountStoreError::invalidEntry());
    auto found = std::ranges::find(m_entries, *id, &SavedAccount::id);
    if (found == m_entries.end())
        return list();

    auto snapshot = KeychainSnapshot::take(*m_keychain, m_keychainService, { *id });
    if (snapshot.isError() || m_keychain->remove(m_keychainService, *id).isError())
        return fail(SavedAccountStoreError::keychainFailed());
    auto updated = m_entries;
    updated.erase(updated.begin() + (found - m_entries.begin()));
    if (auto written = writeFile(updated); written.isError()) {
        snapshot->restore(*m_keychain);
        return fail(written.releaseError());
    }
    m_entries = std::move(updated);
    return list();
}

Result<std::string, SavedAccountStoreError> SavedAccountStore::token(const std::string& accountID) const
{
    auto value = m_keychain->read(m_keychainService, accountID);
    if (value.isError())
        return fail(SavedAccountStoreError::keychainFailed());
    return value->value_or(std::string());
}

bool SavedAccountStore::hasOtherWithID(const std::string& accountID, std::optional<std::size_t> except) const
{
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (i != except && m_entries[i].id == accountID)
            return true;
    }
    return false;
}

Status<KeychainClientError> SavedAccountStore::applyTokenChange(const SavedAccount& merged, const std::string& previousID)
{
    if (!merged.token.empty())
        TRY(m_keychain->write(m_keychainService, merged.id, merged.token));
    else
        TRY(m_keychain->remove(m_keychainService, merged.id));
    if (previousID != merged.id)
        TRY(m_keychain->remove(m_keychainService, previousID));
    return Ok {};
}

Status<SavedAccountStoreError> SavedAccountStore::writeFile(const Accounts& accounts)
{
    return writeAccounts(*m_persistence, accounts);
}

} // namespace quorin
