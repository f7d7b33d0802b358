#pragma once

// Turning an incoming entry (from the page or from the file) into a SavedAccount: fields are
// trimmed, fields past their limit become empty, and a missing id is derived from the user id,
// email, username or login identifier.

#include "SavedAccount.h"

#include <map>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>

namespace quorin {

// The string members of an entry by JSON key; a member of any other kind counts as absent.
using SavedAccountMembers = std::map<std::string, std::string, std::less<>>;

SavedAccountMembers savedAccountMembers(const BridgeValue::Object& object);
SavedAccountMembers savedAccountMembers(const nlohmann::json& object);

struct NormalizedSavedAccount {
    SavedAccount account;
    bool idWasDerived { false }; // the entry's own id was missing, blank or too long
};

// nullopt when no id can be had: the entry is invalid.
std::optional<NormalizedSavedAccount> normalizedSavedAccount(const SavedAccountMembers& members);

// Trimmed and at most 1,024 bytes, or nullopt: the id a removal names.
std::optional<std::string> normalizedSavedAccountID(const std::string& id);

} // namespace quorin
