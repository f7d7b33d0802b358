#pragma once

// The store's order: most recently used first, by the time in lastUsedAt.

#include "SavedAccount.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace quorin {

// Milliseconds since 1970 of an internet date-time (RFC 3339) with or without fractional
// seconds, such as "2024-05-01T12:30:00.250Z" or "2024-05-01T14:30:00+02:00"; 0 when the text
// is empty or not such a time.
std::int64_t savedAccountUseTime(std::string_view lastUsedAt);

// Newest first; accounts with equal times keep their relative order.
void sortByLastUse(std::vector<SavedAccount>& accounts);

} // namespace quorin
