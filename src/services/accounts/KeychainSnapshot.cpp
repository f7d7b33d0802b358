#include "KeychainSnapshot.h"

namespace quorin {

Result<KeychainSnapshot, KeychainClientError> KeychainSnapshot::take(KeychainClient& keychain, const std::string& service, std::vector<std::string> accounts)
{
    std::vector<std::pair<std::string, std::optional<std::string>>> items;
    for (auto& account : accounts) {
        auto value = TRY(keychain.read(service, account));
        items.emplace_back(std::move(account), std::move(value));
    }
    return KeychainSnapshot(service, std::move(items));
}

void KeychainSnapshot::restore(KeychainClient& keychain) const
{
    for (const auto& [account, value] : m_items) {
        auto restored = value ? keychain.write(m_service, account, *value) : keychain.remove(m_service, account);
        (void)restored;
    }
}

} // namespace quorin
