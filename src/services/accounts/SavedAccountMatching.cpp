#include "SavedAccountMatching.h"

#include <algorithm>

namespace quorin {

namespace {

using Field = std::string SavedAccount::*;

// The first stored account whose `field` equals the incoming one's (when that is set), among
// those that have no user id when `withoutUserID` says so.
std::optional<std::size_t> firstWithSame(const std::vector<SavedAccount>& stored, const SavedAccount& incoming, Field field, bool withoutUserID)
{
    const auto& value = incoming.*field;
    if (value.empty())
        return std::nullopt;
    auto found = std::ranges::find_if(stored, [&](const SavedAccount& account) {
        return account.*field == value && (!withoutUserID || account.userID.empty());
    });
    if (found == stored.end())
        return std::nullopt;
    return static_cast<std::size_t>(found - stored.begin());
}

} // namespace

std::optional<std::size_t> matchingAccountIndex(const std::vector<SavedAccount>& stored, const SavedAccount& incoming)
{
    bool hasUserID = !incoming.userID.empty();
    if (auto byUserID = firstWithSame(stored, incoming, &SavedAccount::userID, false))
        return byUserID;
    if (auto byUsername = firstWithSame(stored, incoming, &SavedAccount::username, hasUserID))
        return byUsername;
    return firstWithSame(stored, incoming, &SavedAccount::email, hasUserID);
}

SavedAccount mergedAccount(const SavedAccount& incoming, const SavedAccount& stored)
{
    auto pick = [&](Field field) { return (incoming.*field).empty() ? stored.*field : incoming.*field; };
    return {
        .id = pick(&SavedAccount::id),
        .userID = pick(&SavedAccount::userID),
        .displayName = pick(&SavedAccount::displayName),
        .username = pick(&SavedAccount::username),
        .email = pick(&SavedAccount::email),
        .token = pick(&SavedAccount::token),
        .lastLoginIdentifier = pick(&SavedAccount::lastLoginIdentifier),
        .lastUsedAt = pick(&SavedAccount::lastUsedAt),
    };
}

} // namespace quorin
