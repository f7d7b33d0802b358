#include "SavedAccount.h"

#include <ostream>

namespace quorin {

BridgeValue SavedAccount::bridgeValue() const
{
    return BridgeValue::object({
        { "id", BridgeValue::string(id) },
        { "userId", BridgeValue::string(userID) },
        { "displayName", BridgeValue::string(displayName) },
        { "username", BridgeValue::string(username) },
        { "email", BridgeValue::string(email) },
        { "token", BridgeValue::string(token) },
        { "lastLoginIdentifier", BridgeValue::string(lastLoginIdentifier) },
        { "lastUsedAt", BridgeValue::string(lastUsedAt) },
    });
}

std::string SavedAccount::description() const
{
    return "SavedAccount(id=" + id + ", userId=" + userID + ", displayName=" + displayName + ", username=" + username
        + ", email=" + email + ", token=redacted, lastLoginIdentifier=" + lastLoginIdentifier + ", lastUsedAt=" + lastUsedAt + ")";
}

std::ostream& operator<<(std::ostream& stream, const SavedAccount& account)
{
    return stream << account.description();
}

} // namespace quorin
