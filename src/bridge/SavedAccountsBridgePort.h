#pragma once

// What the bridge service needs of the saved-account store. Tokens live in the key store, so
// every operation may wait for it; each completes with the resulting list as an array value or
// the store's coded error. Main thread only.

#include "LauncherBridgeServicing.h"

#include <string_view>

#include <string>

namespace quorin {

class SavedAccountsBridgePort {
public:
    virtual ~SavedAccountsBridgePort() = default;
    // The answer to a change while there is no store, and to a change without its entry.
    static constexpr std::string_view invalidEntryCode = "SAVED_ACCOUNTS_INVALID_ENTRY";
    virtual void list(BridgeServiceCompletion completion) = 0;
    virtual void upsert(const BridgeValue& entry, BridgeServiceCompletion completion) = 0;
    virtual void remove(const std::string& accountID, BridgeServiceCompletion completion) = 0;
};

} // namespace quorin
