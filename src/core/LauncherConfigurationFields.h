#pragma once

// The field readers of the launcher configuration decoder. Each looks one key up in one
// JSON object; a missing key and a value of the wrong kind both give invalidValue with the
// bare key, never a key path.

#include "LauncherConfigurationError.h"
#include "Result.h"
#include "Url.h"

#include <cstdint>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace quorin::LauncherConfigurationFields {

template<typename T>
using Read = Result<T, LauncherConfigurationError>;

// A JSON object; the pointer refers into `in`.
Read<const nlohmann::json*> object(std::string_view key, const nlohmann::json& in);
// A number, not a boolean, whose value is exactly a signed 64-bit integer.
Read<std::int64_t> integer(std::string_view key, const nlohmann::json& in);
// A string that is non-empty and has no white space or line break at either end.
Read<std::string> nonemptyString(std::string_view key, const nlohmann::json& in);
// An array of strings, in order and unchanged.
Read<std::vector<std::string>> stringArray(std::string_view key, const nlohmann::json& in);

// unknownKey for a key outside `allowed`: the key itself without a prefix, otherwise
// prefix + "." + key.
Status<LauncherConfigurationError> rejectUnknownKeys(const nlohmann::json& in,
    std::initializer_list<std::string_view> allowed, std::string_view prefix);

// A URL with a host (else invalidValue) whose scheme is "https" (else insecureURL).
Read<Url> parsedHTTPSURL(std::string_view value, std::string_view key);
// parsedHTTPSURL without user, password, query, fragment and with the path "" or "/"
// (else invalidOrigin).
Read<Url> secureOrigin(std::string_view value, std::string_view key);
// A non-empty string holding parsedHTTPSURL without user, password, query and fragment and
// with a path other than "" and "/" (else invalidValue).
Read<Url> secureURL(std::string_view key, const nlohmann::json& in);

} // namespace quorin::LauncherConfigurationFields
