#pragma once

// "saved-accounts.json": a JSON array of accounts in the store's order, without tokens.
// Files of older versions held the tokens too; reading one says it must be written again.

#include "SavedAccount.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorin {

inline constexpr std::size_t maximumSavedAccounts = 64;

struct LoadedSavedAccounts {
    // Sorted, one per id, at most 64; tokens as the file held them.
    std::vector<SavedAccount> entries;
    // The file held tokens or entries that were dropped, cut or given a derived id.
    bool needsRewrite { false };
};

// No file, text that is not JSON, or JSON that is not an array of objects: no accounts, and
// nothing to rewrite.
LoadedSavedAccounts decodedSavedAccounts(const std::optional<std::string>& bytes);

// The seven keys of each account in the launcher's file format; nullopt when a value is not UTF-8.
std::optional<std::string> encodedSavedAccounts(const std::vector<SavedAccount>& accounts);

} // namespace quorin
