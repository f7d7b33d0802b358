#include "SavedAccountNormalizing.h"

#include <array>
#include <glib.h>
#include <nlohmann/json.hpp>
#include <string_view>

namespace quorin {

namespace {

// Unicode white space and line breaks (general category Z, U+0009-U+000D, U+0085), as UTF-8.
constexpr std::array<std::string_view, 25> whiteSpace = {
    "\t", "\n", "\v", "\f", "\r", " ", "\xC2\x85", "\xC2\xA0", "\xE1\x9A\x80",
    "\xE2\x80\x80", "\xE2\x80\x81", "\xE2\x80\x82", "\xE2\x80\x83", "\xE2\x80\x84", "\xE2\x80\x85",
    "\xE2\x80\x86", "\xE2\x80\x87", "\xE2\x80\x88", "\xE2\x80\x89", "\xE2\x80\x8A",
    "\xE2\x80\xA8", "\xE2\x80\xA9", "\xE2\x80\xAF", "\xE2\x81\x9F", "\xE3\x80\x80",
};

// Length of the white space that `matches` finds at one end of `text`, 0 when none.
template<typename Matches>
std::size_t whiteSpaceLength(Matches matches)
{
    for (auto space : whiteSpace) {
        if (matches(space))
            return space.size();
    }
    return 0;
}

std::string trimmed(std::string_view text)
{
    while (auto length = whiteSpaceLength([&](std::string_view space) { return text.starts_with(space); }))
        text.remove_prefix(length);
    while (auto length = whiteSpaceLength([&](std::string_view space) { return text.ends_with(space); }))
        text.remove_suffix(length);
    return std::string(text);
}

std::string field(const SavedAccountMembers& members, std::string_view key, std::size_t limit)
{
    auto member = members.find(key);
    if (member == members.end())
        return {};
    auto value = trimmed(member->second);
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
    auto value = trimmed(id);
    if (value.empty() || value.size() > SavedAccount::maximumIDBytes)
        return std::nullopt;
    return value;
}

} // namespace quorin
