#pragma once

// One remembered login: what the login screen offers again. All fields are strings, empty
// when not set. The token is a secret: it lives only in the key store, and no text form of
// an account shows it.

#include "bridge/BridgeValue.h"

#include <cstddef>
#include <iosfwd>
#include <string>

namespace quorin {

struct SavedAccount {
    static constexpr std::size_t maximumIDBytes = 1024;
    static constexpr std::size_t maximumFieldBytes = 512;
    static constexpr std::size_t maximumTokenBytes = 32768;

    std::string id;
    std::string userID;
    std::string displayName;
    std::string username;
    std::string email;
    std::string token;
    std::string lastLoginIdentifier;
    std::string lastUsedAt;

    // The page's form: an object with all eight keys, the token included.
    BridgeValue bridgeValue() const;
    // For people reading test output: every field but the token, which reads "redacted".
    std::string description() const;

    bool operator==(const SavedAccount&) const = default;
};

// The description, so that printing an account (a failed test's output) shows no token.
std::ostream& operator<<(std::ostream& stream, const SavedAccount& account);

} // namespace quorin
