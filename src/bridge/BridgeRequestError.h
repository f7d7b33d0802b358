#pragma once

#include <string>

namespace quorin {

// Why a raw message is not a valid request. Every case reaches the page as
// "BRIDGE_REQUEST_INVALID"; the cases tell failures apart for tests and callers.
struct BridgeRequestError {
    enum class Case {
        UnknownKey, // carries the key
        InvalidBody,
        PayloadTooLarge,
        InvalidSchema,
        InvalidRequestID,
        UnknownMethod,
        InvalidArguments,
        InvalidValue,
        ValueTooDeep,
        ValueTooLarge,
    };

    Case errorCase;
    std::string key; // only for UnknownKey

    static BridgeRequestError unknownKey(std::string key) { return { Case::UnknownKey, std::move(key) }; }
    static BridgeRequestError of(Case errorCase) { return { errorCase, {} }; }

    std::string code() const { return "BRIDGE_REQUEST_INVALID"; }
    bool operator==(const BridgeRequestError&) const = default;
};

} // namespace quorin
