#pragma once

// Reads a request body as JSON text in one streaming pass and sums up what the request
// checks need: whether the text is valid, the length of its compact form, the top-level
// keys and fields, and the argument list, built under the value limits.
//
// Why the pass never stops on a limit: a syntax error anywhere makes the body invalid,
// and that check comes first, so no other answer is certain before the last byte. The
// pass therefore always reads to the end, but stops *building*: a value beyond a limit
// is kept only as its error, and once the argument list adds up to more than the body
// limit in compact bytes its builder drops everything. That body is then too large,
// unless duplicate keys shrink its parsed form; only in that case does a second pass run
// (after every earlier check has passed, so it may stop once the argument list closes),
// skipping the members that later duplicates replace.
//
// Duplicate keys in one object: the last member wins, as when a platform message layer
// hands over an already parsed object. Lengths and counts are those of the parsed form.

#include "BridgeArgumentsBuilder.h"
#include "BridgeMethod.h"
#include "BridgeRequestError.h"
#include "JsonKeyStack.h"

#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorin {

struct BridgeBodySummary {
    enum class Shape { None, Object, Array, Scalar };

    bool isWellFormed = false;
    bool hasNumberOverflow = false; // the parser refused a number beyond the double range
    Shape shape = Shape::None;
    std::size_t compactLength = 0;

    std::optional<std::string> smallestUnknownKey;
    bool hasSchemaVersion = false;
    bool hasRequestID = false;
    bool hasMethod = false;
    bool hasArguments = false;
    bool schemaVersionIsOne = false;
    std::optional<std::string> requestID; // only a well-formed one
    std::optional<BridgeMethod> method;
    // The outcome for the winning "arguments" member; absent when there is none or when
    // its builder gave up.
    std::optional<Result<BridgeArgumentsBuilder::Arguments, BridgeRequestError>> arguments;
    bool argumentsAbandoned = false;

    // Positions, among all members of the text in document order, of the members that a
    // later duplicate key replaces; ascending.
    std::vector<std::size_t> replacedMembers;
};

class BridgeBodyScanner {
public:
    struct Options {
        // Indexes, among all number tokens in document order, of those to read as
        // infinite (numbers beyond the double range, rewritten before parsing).
        std::vector<std::size_t> infiniteNumbers;
        // Second pass: members to skip; builds without a budget and stops once the
        // argument list closes.
        const std::vector<std::size_t>* replacedMembers = nullptr;
    };

    static BridgeBodySummary scan(std::string_view text, const Options& options);

    // The nlohmann::json SAX interface; false stops the parser.
    bool null();
    bool boolean(bool value);
    bool number_integer(std::int64_t value);
    bool number_unsigned(std::uint64_t value);
    bool number_float(double value, const std::string& text);
    bool string(std::string& value);
    bool binary(nlohmann::json::binary_t& value);
    bool start_object(std::size_t elements);
    bool key(std::string& key);
    bool end_object();
    bool start_array(std::size_t elements);
    bool end_array();
    bool parse_error(std::size_t position, const std::string& lastToken, const nlohmann::json::exception& error);

private:
    enum class TopKey { None, SchemaVersion, RequestID, Method, Arguments, Unknown };
    // One byte per open container keeps deeply nested text cheap.
    enum Container : std::uint8_t { Array = 0, Object = 1, HasEntries = 2 };
    struct OpenObject {
        std::size_t memberStart; // m_length where the current member began
        std::size_t pendingKey; // key-stack index of the current member
    };

    explicit BridgeBodyScanner(const Options& options);

    bool number(double value, bool isOne, std::size_t length);
    void scalarRead(std::size_t length);
    bool isRebuild() const { return m_options.replacedMembers != nullptr; }
    bool atTopMember() const;
    void beginValue(BridgeBodySummary::Shape shape);
    void endValue();
    void clearTopField();
    void readTopKey(const std::string& key);
    void openArguments();
    bool closeArguments();
    bool closeContainer();

    const Options& m_options;
    BridgeBodySummary m_summary;
    // Compact length of everything read so far, replaced members taken out again. Every
    // member is counted with a trailing comma; an object takes one off when it closes.
    std::size_t m_length = 0;
    std::vector<std::uint8_t> m_containers;
    std::vector<OpenObject> m_objects;
    JsonKeyStack m_keys;
    std::size_t m_memberCount = 0;
    std::size_t m_numberCount = 0;
    std::size_t m_nextInfinite = 0;
    TopKey m_topKey = TopKey::None;
    bool m_topMemberReplaced = false;
    std::optional<BridgeArgumentsBuilder> m_arguments; // open while inside "arguments"
    bool m_stoppedAfterArguments = false;
};

} // namespace quorin
