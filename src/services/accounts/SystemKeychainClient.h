#pragma once

// The desktop's Secret Service (libsecret): one item per (service, account) in the default
// collection, with the attributes "service" and "account". Every call blocks on D-Bus, so
// after start-up only the saved-accounts worker thread calls it; any one thread at a time.

#include "KeychainClient.h"

namespace quorin {

class SystemKeychainClient final : public KeychainClient {
public:
    // Fails with invalidIdentifier unless the service is 1 to 512 bytes and the account 1 to
    // 1,024 bytes of UTF-8 without NUL; with invalidEncoding for a value that is not UTF-8; with
    // operationFailed(the GError code) when the Secret Service refuses (locked, missing).
    Result<std::optional<std::string>, KeychainClientError> read(std::string_view service, std::string_view account) override;
    Status<KeychainClientError> write(std::string_view service, std::string_view account, std::string_view value) override;
    Status<KeychainClientError> remove(std::string_view service, std::string_view account) override;
};

} // namespace quorin
