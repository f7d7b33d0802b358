#include "BridgeRequest.h"

// One bounded simdjson parse, then one walk over the document: the walk builds the
// argument values under the value limits and measures everything else, so that the
// checks can then run in their fixed order. Duplicate keys collapse as a JSON reader
// collapses them into a map (the last member wins); sizes and counts are those of that
// collapsed form.

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <simdjson.h>

namespace quorin {
namespace {

using Case = BridgeRequestError::Case;
using Element = simdjson::dom::element;
using Type = simdjson::dom::element_type;

struct Member {
    std::string_view key;
    Element value;
    std::uint64_t keyPrefix; // the first eight key bytes, zero-padded, so that most comparisons are one
    std::uint64_t position; // 64 bits, so that sorting moves whole words
};

std::uint64_t keyPrefix(std::string_view key)
{
    std::uint64_t prefix = 0;
    for (std::size_t i = 0; i < 8; ++i)
        prefix = prefix << 8 | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0);
    return prefix;
}

// Kept between requests, so that a request allocates little beyond its own values.
struct Workspace {
    simdjson::dom::parser parser { BridgeRequest::maximumTextBytes * 2 };
    std::string paddedText;
    std::vector<Member> members; // the members of the objects being walked, innermost last
    std::vector<Element> pending; // values still to measure
    std::vector<double> doubles; // measured doubles; formatted only when the size is close
};

Workspace& workspace()
{
    thread_local Workspace space;
    return space;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// End of the number token at `at` by the JSON grammar -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
std::size_t numberEnd(std::string_view text, std::size_t at)
{
    auto skipDigits = [&] {
        while (at < text.size() && isDigit(text[at]))
            ++at;
    };
    if (text[at] == '-')
        ++at;
    if (at < text.size() && text[at] == '0')
        ++at;
    else
        skipDigits();
    if (at + 1 < text.size() && text[at] == '.' && isDigit(text[at + 1])) {
        ++at;
        skipDigits();
    }
    if (at + 1 < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        std::size_t exponent = at + 1 + (text[at + 1] == '+' || text[at + 1] == '-');
        if (exponent < text.size() && isDigit(text[exponent])) {
            at = exponent;
            skipDigits();
        }
    }
    return at;
}

std::size_t stringEnd(std::string_view text, std::size_t openingQuote)
{
    for (std::size_t at = openingQuote + 1; at < text.size(); ++at) {
        if (text[at] == '\\')
            ++at;
        else if (text[at] == '"')
            return at + 1;
    }
    return text.size();
}

bool fitsIn64Bits(std::string_view integer)
{
    const char* end = integer.data() + integer.size();
    std::int64_t signedValue;
    std::uint64_t unsignedValue;
    auto result = integer.front() == '-' ? std::from_chars(integer.data(), end, signedValue) : std::from_chars(integer.data(), end, unsignedValue);
    return result.ec == std::errc {} && result.ptr == end;
}

struct RewrittenNumbers {
    std::string text;
    double infinityMarker;
};

// simdjson refuses two kinds of valid number tokens: integers beyond 64 bits, which a
// JSON reader takes as doubles, and numbers beyond the double range, which the value
// rules refuse as infinite. The first become the same double in exponent form, the
// second ±marker, a finite double that no number of the text equals. Only well-formed
// tokens change, so the text stays exactly as valid as it was.
RewrittenNumbers rewriteNumbers(std::string_view text)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t {});
    struct Token {
        std::size_t begin, end;
        double value;
    };
    std::vector<Token> tokens;
    std::vector<double> largeMagnitudes; // those a marker must not equal
    for (std::size_t at = 0; at < text.size();) {
        if (text[at] == '"') {
            at = stringEnd(text, at);
            continue;
        }
        if (text[at] != '-' && !isDigit(text[at])) {
            ++at;
            continue;
        }
        std::size_t end = std::max(numberEnd(text, at), at + 1);
        std::string token(text.substr(at, end - at));
        double value = strtod_l(token.c_str(), nullptr, cLocale);
        bool isInteger = token.find_first_of(".eE") == std::string::npos;
        if (isDigit(token.back()) && (std::isinf(value) || (isInteger && !fitsIn64Bits(token))))
            tokens.push_back({ at, end, value });
        if (std::isfinite(value) && std::fabs(value) >= 1e307)
            largeMagnitudes.push_back(std::fabs(value));
        at = end;
    }
    double marker = 1e308;
    while (std::find(largeMagnitudes.begin(), largeMagnitudes.end(), marker) != largeMagnitudes.end())
        marker = std::nextafter(marker, 0.0);
    RewrittenNumbers result { {}, marker };
    std::size_t copied = 0;
    for (const Token& token : tokens) {
        result.text.append(text.substr(copied, token.begin - copied));
        double value = std::isinf(token.value) ? std::copysign(marker, token.value) : token.value;
        std::array<char, 32> buffer;
        auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::scientific);
        result.text.append(buffer.data(), written.ptr);
        copied = token.end;
    }
    result.text.append(text.substr(copied));
    return result;
}

simdjson::error_code parseText(Workspace& space, std::string_view text, Element& root)
{
    // Capacity in powers of two, and depth to match: no valid text of n bytes nests
    // deeper than n / 2. Memory taken for a text over twice the body limit is given back
    // at the next smaller text.
    constexpr std::size_t keptCapacity = 2 * BridgeRequest::maximumBodyBytes;
    std::size_t capacity = std::bit_ceil(std::max<std::size_t>(text.size(), 4096));
    if (space.parser.capacity() > std::max(capacity, keptCapacity))
        space.parser = simdjson::dom::parser(space.parser.max_capacity());
    if (space.parser.capacity() < capacity) {
        if (auto error = space.parser.allocate(capacity, capacity / 2 + 2))
            return error;
    }
    space.paddedText.assign(text);
    space.paddedText.append(simdjson::SIMDJSON_PADDING, ' ');
    return space.parser.parse(space.paddedText.data(), text.size(), false).get(root);
}

// False when the text is not valid JSON.
bool parse(Workspace& space, std::string_view text, Element& root, double& infinityMarker)
{
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF"; // JSON readers skip a leading one
    if (text.starts_with(byteOrderMark))
        text.remove_prefix(byteOrderMark.size());
    auto error = parseText(space, text, root);
    if (error == simdjson::NUMBER_ERROR) {
        auto rewritten = rewriteNumbers(text);
        infinityMarker = rewritten.infinityMarker;
        error = parseText(space, rewritten.text, root);
    }
    return error == simdjson::SUCCESS;
}

// Extra bytes a compact serialiser writes for one string byte: \" \\ \b \t \n \f \r take
// two bytes, other control characters six (\u00XX); everything else, "/" and UTF-8
// included, is written as it is.
constexpr auto escapeExtras = [] {
    std::array<std::uint8_t, 256> extras {};
    for (int byte = 0; byte < 0x20; ++byte)
        extras[byte] = 5;
    for (unsigned char shortEscape : { '\b', '\t', '\n', '\f', '\r', '"', '\\' })
        extras[shortEscape] = 1;
    return extras;
}();

// Whether any of eight bytes is a control character, '"' or '\\': the bytes that take an escape.
bool mayNeedEscapes(std::uint64_t bytes)
{
    constexpr std::uint64_t ones = 0x0101010101010101, highBits = 0x8080808080808080;
    auto hasZeroByte = [](std::uint64_t word) { return (word - ones) & ~word & highBits; };
    return ((bytes - 0x20 * ones) & ~bytes & highBits) || hasZeroByte(bytes ^ ('"' * ones)) || hasZeroByte(bytes ^ ('\\' * ones));
}

std::size_t quotedLength(std::string_view text)
{
    std::size_t length = text.size() + 2;
    std::size_t at = 0;
    for (; at + 8 <= text.size(); at += 8) {
        std::uint64_t bytes;
        std::memcpy(&bytes, text.data() + at, 8);
        if (!mayNeedEscapes(bytes))
            continue;
        for (std::size_t i = at; i < at + 8; ++i)
            length += escapeExtras[static_cast<unsigned char>(text[i])];
    }
    for (; at < text.size(); ++at)
        length += escapeExtras[static_cast<unsigned char>(text[at])];
    return length;
}

std::size_t decimalLength(std::uint64_t value)
{
    std::size_t digits = 1;
    for (; value >= 10; value /= 10)
        ++digits;
    return digits;
}

std::size_t integerLength(std::int64_t value)
{
    // Negated in unsigned arithmetic, so that the smallest value does not overflow.
    return value < 0 ? 1 + decimalLength(0 - static_cast<std::uint64_t>(value)) : decimalLength(static_cast<std::uint64_t>(value));
}

constexpr std::size_t nullLength = 4;

std::size_t literalLength(bool value)
{
    return value ? 4 : 5;
}

std::size_t containerLength(std::size_t entries)
{
    return 2 + (entries > 0 ? entries - 1 : 0);
}

bool isValidRequestID(std::string_view id)
{
    if (id.empty() || id.size() > BridgeRequest::maximumRequestIDBytes)
        return false;
    return std::all_of(id.begin(), id.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || isDigit(c) || c == '_' || c == '-';
    });
}

// Walks one parsed body, adding up the length of its compact form as nlohmann::json
// writes it, and building the argument values.
class Walk {
public:
    Walk(Workspace& space, double infinityMarker)
        : m_space(space)
        , m_infinityMarker(infinityMarker)
    {
        m_space.members.clear();
        m_space.pending.clear();
        m_space.doubles.clear();
    }

    Result<BridgeRequest, BridgeRequestError> request(simdjson::dom::object body);
    void measure(Element root);
    bool exceedsBodyLimit() const;

private:
    bool isInfinite(double value) const { return std::fabs(value) == m_infinityMarker; }
    std::size_t openObject(simdjson::dom::object object);
    void measureScalar(const Element& scalar);
    void measureDouble(double value);
    // Each returns what it built, or records in m_error the first rule the value breaks; called
    // only while no rule is broken.
    BridgeValue value(const Element& element, int depth);
    BridgeValue::Array entries(simdjson::dom::array array, std::size_t limit, Case tooMany, int entryDepth);
    BridgeValue objectValue(simdjson::dom::object object, int depth);
    BridgeValue failure(Case errorCase)
    {
        m_error = errorCase;
        return {};
    }

    Workspace& m_space;
    double m_infinityMarker;
    std::size_t m_bytes = 0; // doubles not included
    std::optional<Case> m_error;
};

// Appends the object's members as a map holds them, in ascending key order with the
// last of equal keys kept, and counts the object's own bytes. Returns the index of its
// first member; the caller truncates the members back to it when done.
std::size_t Walk::openObject(simdjson::dom::object object)
{
    auto& members = m_space.members;
    std::size_t first = members.size();
    std::uint64_t position = 0;
    for (auto [key, value] : object)
        members.push_back({ key, value, keyPrefix(key), position++ });
    auto begin = members.begin() + static_cast<std::ptrdiff_t>(first);
    std::sort(begin, members.end(), [](const Member& a, const Member& b) {
        // Byte order, as std::string compares.
        if (a.keyPrefix != b.keyPrefix)
            return a.keyPrefix < b.keyPrefix;
        int order = a.key.compare(b.key);
        return order != 0 ? order < 0 : a.position < b.position;
    });
    auto sameKey = [](const Member& a, const Member& b) { return a.keyPrefix == b.keyPrefix && a.key == b.key; };
    auto kept = std::adjacent_find(begin, members.end(), sameKey); // members before the first replaced one stay
    for (auto member = kept; member != members.end(); ++member) {
        if (member + 1 == members.end() || !sameKey(member[1], *member))
            *kept++ = *member;
    }
    members.erase(kept, members.end());
    m_bytes += containerLength(members.size() - first);
    for (std::size_t i = first; i < members.size(); ++i)
        m_bytes += quotedLength(members[i].key) + 1; // and the colon
    return first;
}

// Without recursion, so that nesting as deep as the text allows is measured safely.
void Walk::measure(Element root)
{
    auto& pending = m_space.pending;
    pending.push_back(root);
    while (!pending.empty()) {
        Element element = pending.back();
        pending.pop_back();
        if (element.type() == Type::ARRAY) {
            auto array = element.get_array().value_unsafe();
            m_bytes += containerLength(array.size());
            for (Element entry : array)
                pending.push_back(entry);
        } else if (element.type() == Type::OBJECT) {
            std::size_t first = openObject(element.get_object().value_unsafe());
            for (std::size_t i = first; i < m_space.members.size(); ++i)
                pending.push_back(m_space.members[i].value);
            m_space.members.resize(first);
        } else {
            measureScalar(element);
        }
    }
}

void Walk::measureScalar(const Element& scalar)
{
    switch (scalar.type()) {
    case Type::STRING:
        m_bytes += quotedLength(scalar.get_string().value_unsafe());
        break;
    case Type::INT64:
        m_bytes += integerLength(scalar.get_int64().value_unsafe());
        break;
    case Type::UINT64:
        m_bytes += decimalLength(scalar.get_uint64().value_unsafe());
        break;
    case Type::DOUBLE:
        measureDouble(scalar.get_double().value_unsafe());
        break;
    case Type::BOOL:
        m_bytes += literalLength(scalar.get_bool().value_unsafe());
        break;
    case Type::NULL_VALUE:
        m_bytes += nullLength;
        break;
    case Type::ARRAY:
    case Type::OBJECT:
        break;
    }
}

void Walk::measureDouble(double value)
{
    if (isInfinite(value))
        m_bytes += nullLength; // written as null
    else
        m_space.doubles.push_back(value);
}

bool Walk::exceedsBodyLimit() const
{
    // nlohmann::json writes a double in 3 to 24 bytes; format them only when that range
    // leaves the outcome open.
    const auto& doubles = m_space.doubles;
    constexpr std::size_t limit = BridgeRequest::maximumBodyBytes;
    if (m_bytes + 24 * doubles.size() <= limit)
        return false;
    if (m_bytes + 3 * doubles.size() > limit)
        return true;
    std::size_t listLength = nlohmann::json(doubles).dump().size(); // with brackets and commas
    return m_bytes + listLength - (doubles.size() + 1) > limit;
}

// The value rules. The depth test comes before the type test, and a count before any
// entry; a failed value's remaining parts are only measured.
BridgeValue Walk::value(const Element& element, int depth)
{
    if (depth > BridgeRequest::maximumDepth) {
        measure(element);
        return failure(Case::ValueTooDeep);
    }
    switch (element.type()) {
    case Type::ARRAY: {
        auto elements = entries(element.get_array().value_unsafe(), BridgeRequest::maximumContainerEntries, Case::ValueTooLarge, depth + 1);
        return m_error ? BridgeValue() : BridgeValue::array(std::move(elements));
    }
    case Type::OBJECT:
        return objectValue(element.get_object().value_unsafe(), depth);
    // Scalars are measured as measureScalar does, each read once.
    case Type::STRING: {
        std::string_view text = element.get_string().value_unsafe();
        m_bytes += quotedLength(text);
        if (text.size() > BridgeRequest::maximumStringBytes)
            return failure(Case::ValueTooLarge);
        return BridgeValue::string(std::string(text));
    }
    case Type::INT64: {
        std::int64_t number = element.get_int64().value_unsafe();
        m_bytes += integerLength(number);
        return BridgeValue::number(static_cast<double>(number));
    }
    case Type::UINT64: {
        std::uint64_t number = element.get_uint64().value_unsafe();
        m_bytes += decimalLength(number);
        return BridgeValue::number(static_cast<double>(number));
    }
    case Type::DOUBLE: {
        double number = element.get_double().value_unsafe();
        measureDouble(number);
        if (isInfinite(number))
            return failure(Case::InvalidValue);
        return BridgeValue::number(number);
    }
    case Type::BOOL: {
        bool value = element.get_bool().value_unsafe();
        m_bytes += literalLength(value);
        return BridgeValue::boolean(value);
    }
    case Type::NULL_VALUE:
        break;
    }
    m_bytes += nullLength;
    return {};
}

// Entries in order; the first failure decides. More than `limit` entries fail with
// `tooMany` before any entry is looked at.
BridgeValue::Array Walk::entries(simdjson::dom::array array, std::size_t limit, Case tooMany, int entryDepth)
{
    std::size_t count = array.size();
    m_bytes += containerLength(count);
    BridgeValue::Array out;
    if (count > limit)
        m_error = tooMany;
    else
        out.reserve(count);
    for (Element entry : array) {
        if (m_error)
            measure(entry);
        else
            out.push_back(value(entry, entryDepth));
    }
    return out;
}

// Members in ascending key order; the first failure decides, a key too long failing
// before its value is looked at. More than the limit of members fails first.
BridgeValue Walk::objectValue(simdjson::dom::object object, int depth)
{
    std::size_t first = openObject(object);
    std::size_t end = m_space.members.size();
    std::vector<BridgeValue::Object::value_type> members;
    if (end - first > BridgeRequest::maximumContainerEntries)
        m_error = Case::ValueTooLarge;
    else
        members.reserve(end - first);
    for (std::size_t i = first; i < end; ++i) {
        Member member = m_space.members[i]; // the walk below may reallocate the members
        if (!m_error && member.key.size() > BridgeRequest::maximumKeyBytes)
            m_error = Case::ValueTooLarge;
        if (m_error)
            measure(member.value);
        else
            members.emplace_back(member.key, value(member.value, depth + 1));
    }
    m_space.members.resize(first);
    return m_error ? BridgeValue() : BridgeValue::object(BridgeValue::Object::fromSorted(std::move(members)));
}

// Reads the four fields and the size first, then applies the checks in their order.
Result<BridgeRequest, BridgeRequestError> Walk::request(simdjson::dom::object body)
{
    std::size_t first = openObject(body);
    std::size_t end = m_space.members.size();
    std::optional<std::string_view> unknownKey; // the smallest, as members come sorted
    int knownKeys = 0;
    bool schemaVersionIsOne = false;
    std::optional<std::string_view> requestID;
    std::optional<BridgeMethod> method;
    BridgeValue::Array arguments;
    std::optional<Case> argumentsError = Case::InvalidArguments;
    for (std::size_t i = first; i < end; ++i) {
        Member member = m_space.members[i];
        Element field = member.value;
        if (member.key == "arguments") {
            ++knownKeys;
            if (field.is_array()) {
                arguments = entries(field.get_array().value_unsafe(), BridgeRequest::maximumArguments, Case::InvalidArguments, 0);
                argumentsError = m_error;
            } else {
                measure(field);
            }
            continue;
        }
        measure(field);
        if (member.key == "schemaVersion") {
            ++knownKeys;
            schemaVersionIsOne = field.is_number() && field.get_double().value_unsafe() == 1.0;
        } else if (member.key == "requestId") {
            ++knownKeys;
            if (field.is_string() && isValidRequestID(field.get_string().value_unsafe()))
                requestID = field.get_string().value_unsafe();
        } else if (member.key == "method") {
            ++knownKeys;
            if (field.is_string())
                method = bridgeMethodFromWireString(field.get_string().value_unsafe());
        } else if (!unknownKey) {
            unknownKey = member.key;
        }
    }
    m_space.members.resize(first);

    auto failWith = [](Case errorCase) { return fail(BridgeRequestError::of(errorCase)); };
    if (exceedsBodyLimit())
        return failWith(Case::PayloadTooLarge);
    if (unknownKey)
        return fail(BridgeRequestError::unknownKey(std::string(*unknownKey)));
    if (knownKeys < 4 || !schemaVersionIsOne)
        return failWith(Case::InvalidSchema);
    if (!requestID)
        return failWith(Case::InvalidRequestID);
    if (!method)
        return failWith(Case::UnknownMethod);
    if (argumentsError)
        return failWith(*argumentsError);
    return BridgeRequest(std::string(*requestID), *method, std::move(arguments));
}

} // namespace

BridgeRequest::BridgeRequest(std::string requestID, BridgeMethod method, std::vector<BridgeValue> arguments)
    : m_requestID(std::move(requestID))
    , m_method(method)
    , m_arguments(std::move(arguments))
{
}

Result<BridgeRequest, BridgeRequestError> BridgeRequest::decode(std::string_view jsonText)
{
    if (jsonText.size() > maximumTextBytes)
        return fail(BridgeRequestError::of(Case::PayloadTooLarge));
    Workspace& space = workspace();
    Element root;
    double infinityMarker = std::numeric_limits<double>::quiet_NaN(); // equals nothing
    if (!parse(space, jsonText, root, infinityMarker))
        return fail(BridgeRequestError::of(Case::InvalidBody));
    Walk walk(space, infinityMarker);
    switch (root.type()) {
    case Type::OBJECT:
        return walk.request(root.get_object().value_unsafe());
    case Type::ARRAY:
        walk.measure(root);
        return fail(BridgeRequestError::of(walk.exceedsBodyLimit() ? Case::PayloadTooLarge : Case::InvalidBody));
    default:
        return fail(BridgeRequestError::of(Case::InvalidBody)); // a bare value, whatever its size
    }
}

} // namespace quorin
