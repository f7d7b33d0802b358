#include "CodedError.h"

#include <algorithm>

namespace quorin {

namespace {

bool isWellFormedCode(std::string_view code)
{
    return !code.empty() && code.size() <= 64
        && std::ranges::all_of(code, [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'; });
}

} // namespace

std::string sanitizedCode(std::string_view code)
{
    return std::string(isWellFormedCode(code) ? code : fallbackErrorCode);
}

} // namespace quorin
