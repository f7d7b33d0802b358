#include "APIHeaderText.h"

#include <algorithm>

namespace quorin {

namespace {

constexpr std::size_t maximumVersionBytes = 64;
constexpr std::size_t maximumContentTypeBytes = 256;

bool isVersionCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-';
}

} // namespace

bool isHeaderValueText(std::string_view value)
{
    return std::none_of(value.begin(), value.end(), [](char c) {
        auto byte = static_cast<unsigned char>(c);
        return byte < 32 || byte == 127;
    });
}

std::string sanitizedApplicationVersion(std::string_view version)
{
    if (version.empty() || version.size() > maximumVersionBytes || !std::all_of(version.begin(), version.end(), isVersionCharacter))
        return "0";
    return std::string(version);
}

std::string sanitizedContentType(std::optional<std::string_view> contentType)
{
    if (!contentType || contentType->size() > maximumContentTypeBytes || !isHeaderValueText(*contentType))
        return "";
    return std::string(*contentType);
}

} // namespace quorin
