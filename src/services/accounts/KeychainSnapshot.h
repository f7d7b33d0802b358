#pragma once

// Key store items as they were before a change, so that a change that fails half-way can be
// undone. Holds tokens: it lives only for the length of one store operation.

#include "KeychainClient.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quorin {

class KeychainSnapshot {
public:
    // Reads the items of `accounts` under `service`; fails when any read fails.
    static Result<KeychainSnapshot, KeychainClientError> take(KeychainClient& keychain, const std::string& service, std::vector<std::string> accounts);

    // Writes each remembered item back, or removes it when there was none. Best effort: a
    // failure here cannot be reported any better than the one that made us restore.
    void restore(KeychainClient& keychain) const;

private:
    KeychainSnapshot(std::string service, std::vector<std::pair<std::string, std::optional<std::string>>> items)
        : m_service(std::move(service))
        , m_items(std::move(items))
    {
    }

    std::string m_service;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_items;
};

} // namespace quorin
