#include "CodedError.h"

namespace quorin {

bool isWellFormedCode(std::string_view code)
{
    if (code.empty() || code.size() > 64)
        return false;
    for (char c : code) {
        bool allowed = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!allowed)
            return false;
    }
    return true;
}

std::string sanitizedCode(std::string_view code)
{
    return std::string(isWellFormedCode(code) ? code : fallbackErrorCode);
}

} // namespace quorin
