#include "SavedAccountsFile.h"

#include "SavedAccountNormalizing.h"
#include "SavedAccountOrder.h"
#include "core/JsonReaders.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <set>

namespace quorin {

namespace {

// Elements past this many are not even looked at.
constexpr std::size_t maximumFileElements = 128;

bool isArrayOfObjects(const nlohmann::json& document)
{
    return document.is_array() && std::ranges::all_of(document, [](const nlohmann::json& element) { return element.is_object(); });
}

// Keeps the first account of each id; true when any was removed.
bool removeDuplicateIDs(std::vector<SavedAccount>& accounts)
{
    std::set<std::string, std::less<>> seen;
    auto size = accounts.size();
    std::erase_if(accounts, [&](const SavedAccount& account) { return !seen.insert(account.id).second; });
    return accounts.size() != size;
}

} // namespace

LoadedSavedAccounts decodedSavedAccounts(const std::optional<std::string>& bytes)
{
    auto document = bytes ? json::parse(*bytes) : std::nullopt;
    if (!document || !isArrayOfObjects(*document))
        return {};
    LoadedSavedAccounts loaded;
    loaded.needsRewrite = document->size() > maximumFileElements;
    for (std::size_t i = 0; i < std::min(document->size(), maximumFileElements); ++i) {
        const auto& element = (*document)[i];
        auto normalized = normalizedSavedAccount(savedAccountMembers(element));
        loaded.needsRewrite |= !normalized || normalized->idWasDerived || element.contains("token");
        if (normalized)
            loaded.entries.push_back(std::move(normalized->account));
    }
    sortByLastUse(loaded.entries);
    loaded.needsRewrite |= removeDuplicateIDs(loaded.entries);
    if (loaded.entries.size() > maximumSavedAccounts) {
        loaded.entries.resize(maximumSavedAccounts);
        loaded.needsRewrite = true;
    }
    return loaded;
}

std::optional<std::string> encodedSavedAccounts(const std::vector<SavedAccount>& accounts)
{
    auto document = nlohmann::json::array();
    for (const auto& account : accounts) {
        document.push_back({
            { "id", account.id },
            { "userId", account.userID },
            { "displayName", account.displayName },
            { "username", account.username },
            { "email", account.email },
            { "lastLoginIdentifier", account.lastLoginIdentifier },
            { "lastUsedAt", account.lastUsedAt },
        });
    }
    return json::fileText(document);
}

} // namespace quorin
