#include "JsonReaders.h"

#include "WhiteSpace.h"

#include <cmath>
#include <limits>

namespace quorin::json {

namespace {

// 2^63, the first double beyond the signed 64-bit range; exactly representable.
constexpr double twoToThe63 = 9223372036854775808.0;

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
    return !text.empty() && trimmedWhiteSpace(text).size() == text.size();
}

std::optional<std::string> fileText(const nlohmann::json& document)
{
    try {
        return document.dump(2, ' ', false, nlohmann::json::error_handler_t::strict) + "\n";
    } catch (const nlohmann::json::exception&) {
        return std::nullopt;
    }
}

} // namespace quorin::json
