#include "JsonReaders.h"

#include <cmath>
#include <limits>

namespace quorin::json {

namespace {

// 2^63, the first double beyond the signed 64-bit range; exactly representable.
constexpr double twoToThe63 = 9223372036854775808.0;

// One code point of UTF-8 text; nullopt when the bytes are not well formed.
std::optional<char32_t> decodeCodePoint(std::string_view bytes)
{
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.empty())
        return std::nullopt;
    unsigned char lead = byte(0);
    std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || bytes.size() != length)
        return std::nullopt;
    if (length == 1)
        return lead;
    char32_t codePoint = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return std::nullopt;
        codePoint = (codePoint << 6) | (byte(i) & 0x3F);
    }
    return codePoint;
}

// Unicode white space and line breaks: general category Z, tab, U+000A-U+000D and U+0085.
bool isWhiteSpaceOrLineBreak(char32_t c)
{
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680
        || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

std::string_view firstCodePoint(std::string_view text)
{
    std::size_t length = 1;
    while (length < text.size() && length < 4 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
        ++length;
    return text.substr(0, length);
}

std::string_view lastCodePoint(std::string_view text)
{
    std::size_t start = text.size() - 1;
    while (start > 0 && text.size() - start < 4 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
        --start;
    return text.substr(start);
}

bool isWhiteSpaceCodePoint(std::string_view bytes)
{
    auto codePoint = decodeCodePoint(bytes);
    return codePoint && isWhiteSpaceOrLineBreak(*codePoint);
}

} // namespace

std::optional<nlohmann::json> parse(std::string_view text)
{
    // nlohmann's lexer takes a NUL byte for the end of the input and would ignore whatever
    // follows; a raw NUL is never valid JSON anyway.
    if (text.find('\0') != std::string_view::npos)
        return std::nullopt;
    auto value = nlohmann::json::parse(text.begin(), text.end(), nullptr, false);
    if (value.is_discarded())
        return std::nullopt;
    return value;
}

std::optional<std::int64_t> integerValue(const nlohmann::json& value)
{
    if (value.is_number_unsigned()) {
        auto number = value.get<std::uint64_t>();
        if (number > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
            return std::nullopt;
        return static_cast<std::int64_t>(number);
    }
    if (value.is_number_integer())
        return value.get<std::int64_t>();
    if (value.is_number_float()) {
        double number = value.get<double>();
        // Comparisons with NaN are false, so NaN and both infinities fail the range test.
        if (!(number >= -twoToThe63 && number < twoToThe63) || std::trunc(number) != number)
            return std::nullopt;
        return static_cast<std::int64_t>(number);
    }
    return std::nullopt;
}

std::optional<std::string> stringValue(const nlohmann::json& value)
{
    if (!value.is_string())
        return std::nullopt;
    return value.get<std::string>();
}

std::optional<bool> booleanValue(const nlohmann::json& value)
{
    if (!value.is_boolean())
        return std::nullopt;
    return value.get<bool>();
}

std::optional<std::vector<std::string>> stringArray(const nlohmann::json& value)
{
    if (!value.is_array())
        return std::nullopt;
    std::vector<std::string> strings;
    strings.reserve(value.size());
    for (const auto& element : value) {
        if (!element.is_string())
            return std::nullopt;
        strings.push_back(element.get<std::string>());
    }
    return strings;
}

const nlohmann::json* member(const nlohmann::json& object, std::string_view key)
{
    if (!object.is_object())
        return nullptr;
    auto found = object.find(std::string(key));
    return found == object.end() ? nullptr : &*found;
}

bool isTrimmedNonEmpty(std::string_view text)
{
    if (text.empty())
        return false;
    return !isWhiteSpaceCodePoint(firstCodePoint(text)) && !isWhiteSpaceCodePoint(lastCodePoint(text));
}

} // namespace quorin::json
