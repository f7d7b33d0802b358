#pragma once

// A secret store with one item per (service, account): the saved-account tokens. Calls are
// synchronous and may block; callers decide on which thread.

#include "KeychainClientError.h"
#include "core/Result.h"

#include <optional>
#include <string>
#include <string_view>

namespace quorin {

class KeychainClient {
public:
    virtual ~KeychainClient() = default;
    // The item's value, or nullopt when there is no item.
    virtual Result<std::optional<std::string>, KeychainClientError> read(std::string_view service, std::string_view account) = 0;
    // Creates the item or replaces its value.
    virtual Status<KeychainClientError> write(std::string_view service, std::string_view account, std::string_view value) = 0;
    // Removes the item; a missing item is no error.
    virtual Status<KeychainClientError> remove(std::string_view service, std::string_view account) = 0;
};

} // namespace quorin
