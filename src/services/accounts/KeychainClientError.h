#pragma once

// A key store call that failed. Every case has the one code "KEYCHAIN_OPERATION_FAILED".

#include <string>

namespace quorin {

struct KeychainClientError {
    enum class Case { OperationFailed, InvalidIdentifier, InvalidEncoding };
    Case errorCase;
    int status { 0 }; // the key store's own status, only for OperationFailed

    static KeychainClientError operationFailed(int status) { return { Case::OperationFailed, status }; }
    static KeychainClientError invalidIdentifier() { return { Case::InvalidIdentifier }; }
    static KeychainClientError invalidEncoding() { return { Case::InvalidEncoding }; }

    std::string code() const { return "KEYCHAIN_OPERATION_FAILED"; }
    // The code, followed by "(status)" for OperationFailed.
    std::string description() const;
    bool operator==(const KeychainClientError&) const = default;
};

} // namespace quorin
