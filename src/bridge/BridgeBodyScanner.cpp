#include "BridgeBodyScanner.h"

#include "BridgeRequest.h"
#include "JsonCompactLength.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quorin {
namespace {

using Shape = BridgeBodySummary::Shape;

bool isWellFormedRequestID(std::string_view id)
{
    if (id.empty() || id.size() > BridgeRequest::maximumRequestIDBytes)
        return false;
    return std::all_of(id.begin(), id.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
    });
}

} // namespace

BridgeBodyScanner::BridgeBodyScanner(const Options& options)
    : m_options(options)
{
}

BridgeBodySummary BridgeBodyScanner::scan(std::string_view text, const Options& options)
{
    // nlohmann's lexer takes a NUL byte for the end of the input, so "{...}\0junk" would
    // pass; a NUL byte is never valid in JSON text (inside strings it must be escaped).
    if (text.find('\0') != std::string_view::npos)
        return {};
    BridgeBodyScanner scanner(options);
    bool completed = nlohmann::json::sax_parse(text.begin(), text.end(), &scanner, nlohmann::json::input_format_t::json,
        /* strict: nothing may follow the value */ true, /* ignore_comments */ false);
    BridgeBodySummary summary = std::move(scanner.m_summary);
    summary.isWellFormed = completed || scanner.m_stoppedAfterArguments;
    std::sort(summary.replacedMembers.begin(), summary.replacedMembers.end());
    return summary;
}

bool BridgeBodyScanner::null()
{
    beginValue(Shape::Scalar);
    if (atTopMember())
        clearTopField();
    else if (m_arguments)
        m_arguments->addNull(JsonCompactLength::nullLength);
    scalarRead(JsonCompactLength::nullLength);
    return true;
}

bool BridgeBodyScanner::boolean(bool value)
{
    std::size_t length = JsonCompactLength::booleanLength(value);
    beginValue(Shape::Scalar);
    if (atTopMember())
        clearTopField();
    else if (m_arguments)
        m_arguments->addBoolean(value, length);
    scalarRead(length);
    return true;
}

// Only negative integers arrive here.
bool BridgeBodyScanner::number_integer(std::int64_t value)
{
    return number(static_cast<double>(value), false, JsonCompactLength::ofInteger(value));
}

bool BridgeBodyScanner::number_unsigned(std::uint64_t value)
{
    return number(static_cast<double>(value), value == 1, JsonCompactLength::ofUnsigned(value));
}

bool BridgeBodyScanner::number_float(double value, const std::string&)
{
    return number(value, value == 1.0, JsonCompactLength::ofFloat(value));
}

bool BridgeBodyScanner::number(double value, bool isOne, std::size_t length)
{
    std::size_t index = m_numberCount++;
    const auto& infinite = m_options.infiniteNumbers;
    if (m_nextInfinite < infinite.size() && infinite[m_nextInfinite] == index) {
        ++m_nextInfinite;
        value = std::numeric_limits<double>::infinity();
        isOne = false;
        length = JsonCompactLength::ofFloat(value);
    }
    beginValue(Shape::Scalar);
    if (atTopMember()) {
        clearTopField();
        if (m_topKey == TopKey::SchemaVersion)
            m_summary.schemaVersionIsOne = isOne;
    } else if (m_arguments) {
        m_arguments->addNumber(value, length);
    }
    scalarRead(length);
    return true;
}

bool BridgeBodyScanner::string(std::string& value)
{
    std::size_t length = JsonCompactLength::ofString(value);
    beginValue(Shape::Scalar);
    if (atTopMember()) {
        clearTopField();
        if (m_topKey == TopKey::RequestID && isWellFormedRequestID(value))
            m_summary.requestID = value;
        else if (m_topKey == TopKey::Method)
            m_summary.method = bridgeMethodFromWireString(value);
    } else if (m_arguments) {
        m_arguments->addString(value, length);
    }
    scalarRead(length);
    return true;
}

bool BridgeBodyScanner::binary(nlohmann::json::binary_t&)
{
    return false; // JSON text has no binary values
}

bool BridgeBodyScanner::start_object(std::size_t)
{
    beginValue(Shape::Object);
    if (atTopMember())
        clearTopField();
    else if (m_arguments)
        m_arguments->startObject();
    m_length += 1;
    m_containers.push_back(Container::Object);
    m_objects.push_back({ m_length, 0 });
    m_keys.openObject();
    return true;
}

bool BridgeBodyScanner::key(std::string& key)
{
    std::size_t position = m_memberCount++;
    auto [index, isNew] = m_keys.insert(key);
    JsonKeyStack::Member& member = m_keys.member(index);
    if (!isNew) {
        m_length -= member.length;
        if (!isRebuild())
            m_summary.replacedMembers.push_back(member.position);
    }
    member = { .length = 0, .position = position };
    m_objects.back() = { m_length, index };
    std::size_t keyLength = JsonCompactLength::ofString(key);
    m_length += keyLength + 2; // the colon, and a comma after the value

    bool skip = isRebuild() && std::binary_search(m_options.replacedMembers->begin(), m_options.replacedMembers->end(), position);
    if (m_containers.size() == 1) {
        m_topMemberReplaced = skip;
        readTopKey(key);
    } else if (m_arguments) {
        m_arguments->key(key, keyLength, skip);
    }
    return true;
}

bool BridgeBodyScanner::end_object()
{
    bool hasMembers = m_keys.innermostSize() > 0;
    m_keys.closeObject();
    m_objects.pop_back();
    m_length += hasMembers ? 0 : 1; // '}' replaces the last member's comma
    return closeContainer();
}

bool BridgeBodyScanner::start_array(std::size_t)
{
    beginValue(Shape::Array);
    if (atTopMember()) {
        clearTopField();
        if (m_topKey == TopKey::Arguments)
            openArguments();
    } else if (m_arguments) {
        m_arguments->startArray();
    }
    m_length += 1;
    m_containers.push_back(Container::Array);
    return true;
}

bool BridgeBodyScanner::end_array()
{
    m_length += 1;
    return closeContainer();
}

bool BridgeBodyScanner::parse_error(std::size_t, const std::string&, const nlohmann::json::exception& error)
{
    // 406: a number token beyond the double range.
    if (error.id == 406)
        m_summary.hasNumberOverflow = true;
    return false;
}

void BridgeBodyScanner::scalarRead(std::size_t length)
{
    m_length += length;
    endValue();
}

bool BridgeBodyScanner::atTopMember() const
{
    return m_containers.size() == 1 && (m_containers.front() & Container::Object);
}

void BridgeBodyScanner::beginValue(Shape shape)
{
    if (m_containers.empty()) {
        m_summary.shape = shape;
        return;
    }
    std::uint8_t& container = m_containers.back();
    if (container == (Container::Array | Container::HasEntries))
        m_length += 1; // the comma before a further element
    container |= Container::HasEntries;
}

// Records the length of a finished member, comma included, so a duplicate key can take
// it out again.
void BridgeBodyScanner::endValue()
{
    if (m_containers.empty()) {
        m_summary.compactLength = m_length;
        return;
    }
    if (m_containers.back() & Container::Object) {
        const OpenObject& object = m_objects.back();
        m_keys.member(object.pendingKey).length = m_length - object.memberStart;
    }
}

bool BridgeBodyScanner::closeContainer()
{
    m_containers.pop_back();
    endValue();
    if (!m_arguments)
        return true;
    m_arguments->end();
    return m_containers.size() == 1 ? closeArguments() : true;
}

// A new value for a known top-level key replaces what an earlier duplicate left.
void BridgeBodyScanner::clearTopField()
{
    switch (m_topKey) {
    case TopKey::SchemaVersion:
        m_summary.schemaVersionIsOne = false;
        break;
    case TopKey::RequestID:
        m_summary.requestID.reset();
        break;
    case TopKey::Method:
        m_summary.method.reset();
        break;
    case TopKey::Arguments:
        if (!m_topMemberReplaced) {
            m_summary.arguments.emplace(fail(BridgeRequestError::of(BridgeRequestError::Case::InvalidArguments)));
            m_summary.argumentsAbandoned = false;
        }
        break;
    case TopKey::None:
    case TopKey::Unknown:
        break;
    }
}

void BridgeBodyScanner::readTopKey(const std::string& key)
{
    if (key == "schemaVersion") {
        m_topKey = TopKey::SchemaVersion;
        m_summary.hasSchemaVersion = true;
    } else if (key == "requestId") {
        m_topKey = TopKey::RequestID;
        m_summary.hasRequestID = true;
    } else if (key == "method") {
        m_topKey = TopKey::Method;
        m_summary.hasMethod = true;
    } else if (key == "arguments") {
        m_topKey = TopKey::Arguments;
        m_summary.hasArguments = true;
    } else {
        m_topKey = TopKey::Unknown;
        if (!m_summary.smallestUnknownKey || key < *m_summary.smallestUnknownKey)
            m_summary.smallestUnknownKey = key;
    }
}

void BridgeBodyScanner::openArguments()
{
    if (m_topMemberReplaced)
        return;
    m_summary.arguments.reset();
    std::optional<std::size_t> budget;
    if (!isRebuild())
        budget = BridgeRequest::maximumBodyBytes;
    m_arguments.emplace(budget);
}

// Returns false to stop the parser: in the second pass nothing after the winning
// argument list matters.
bool BridgeBodyScanner::closeArguments()
{
    m_summary.argumentsAbandoned = m_arguments->state() == BridgeArgumentsBuilder::State::Abandoned;
    if (!m_summary.argumentsAbandoned)
        m_summary.arguments.emplace(m_arguments->takeResult());
    m_arguments.reset();
    m_stoppedAfterArguments = isRebuild();
    return !m_stoppedAfterArguments;
}

} // namespace quorin
