#include "SavedAccountNormalizing.h"

#include "core/WhiteSpace.h"

#include <array>
#include <glib.h>
#include <nlohmann/json.hpp>
#include <string_view>

namespace quorin {

namespace {

std::string field(const SavedAccountMembers& members, std::string_view key, std::size_t limit)
{
    auto member = members.find(key);
    if (member == members.end())
        return {};
    auto value = std::string(trimmedWhiteSpace(member->second));
    return value.size() > limit ? std::string() : value;
}

// Simple Unicode case mapping, code point by code point: unlike the C library's, it does not
// depend on the user's locale, so a derived id is the same everywhere.
std::string lowercased(const std::string& text)
{
    std::string lowered;
    const char* end = text.data() + text.size();
    for (const char* p = text.data(); p < end; p = g_utf8_next_char(p)) {
        std::array<char, 6> bytes {};
        auto length = g_unichar_to_utf8(g_unichar_tolower(g_utf8_get_char(p)), bytes.data());
        lowered.append(bytes.data(), static_cast<std::size_t>(length));
    }
    return lowered;
}

std::string derivedID(const SavedAccount& account)
{
    if (!account.userID.empty())
        return "user:" + account.userID;
    if (!account.email.empty())
        return "email:" + lowercased(account.email);
    if (!account.username.empty())
        return "username:" + lowercased(account.username);
    if (!account.lastLoginIdentifier.empty())
        return "login:" + lowercased(account.lastLoginIdentifier);
    return {};
}

} // namespace

SavedAccountMembers savedAccountMembers(const BridgeValue::Object& object)
{
    SavedAccountMembers members;
    for (const auto& [key, value] : object) {
        if (value.isString())
            members.emplace(key, value.asString());
    }
    return members;
}

SavedAccountMembers savedAccountMembers(const nlohmann::json& object)
{
    SavedAccountMembers members;
    for (const auto& [key, value] : object.items()) {
        if (value.is_string())
            members.emplace(key, value.get<std::string>());
    }
    return members;
}

std::optional<NormalizedSavedAccount> normalizedSavedAccount(const SavedAccountMembers& members)
{
    SavedAccount account {
        .id = field(members, "id", SavedAccount::maximumIDBytes),
        .userID = field(members, "userId", SavedAccount::maximumFieldBytes),
        .displayName = field(members, "displayName", SavedAccount::maximumFieldBytes),
        .username = field(members, "username", SavedAccount::maximumFieldBytes),
        .email = field(members, "email", SavedAccount::maximumFieldBytes),
        .token = field(members, "token", SavedAccount::maximumTokenBytes),
        .lastLoginIdentifier = field(members, "lastLoginIdentifier", SavedAccount::maximumFieldBytes),
        .lastUsedAt = field(members, "lastUsedAt", SavedAccount::maximumFieldBytes),
    };
    bool idWasDerived = account.id.empty();
    if (idWasDerived)
        account.id = derivedID(account);
    if (account.id.empty())
        return std::nullopt;
    return NormalizedSavedAccount { std::move(account), idWasDerived };
}

std::optional<std::string> normalizedSavedAccountID(const std::string& id)
{
    auto value = std::string(trimmedWhiteSpace(id));
    if (value.empty() || value.size() > SavedAccount::maximumIDBytes)
        return std::nullopt;
    return value;
}

} // namespace quorin
