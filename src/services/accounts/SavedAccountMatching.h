#pragma once

// Which stored account an incoming one updates, and what the update keeps of it.

#include "SavedAccount.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace quorin {

// The first stored account with the incoming user id; failing that, one that has no user id
// and the incoming username, then email. Without an incoming user id: the first with the same
// username, then email. Values compare exactly; empty values never match.
std::optional<std::size_t> matchingAccountIndex(const std::vector<SavedAccount>& stored, const SavedAccount& incoming);

// Each field from `incoming` when it is set, else from `stored` (the token included).
SavedAccount mergedAccount(const SavedAccount& incoming, const SavedAccount& stored);

} // namespace quorin
