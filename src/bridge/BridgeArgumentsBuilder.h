#pragma once

// Builds a request's argument list from parse events, one event at a time, with every
// value limit applied on the way: a value beyond a limit is recorded as its error and
// never materialised, and once the outcome of a container is decided its remaining
// entries are only counted. The result equals converting each argument of the parsed
// tree with BridgeValue::decode at depth 0, in order, after the count check; duplicate
// keys in an object keep the last member.
//
// With a byte budget the builder gives up (state Abandoned) once the events it has seen
// add up to more compact JSON bytes than the budget, dropping everything it holds.

#include "BridgeRequestError.h"
#include "BridgeValue.h"
#include "core/Result.h"

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorin {

class BridgeArgumentsBuilder {
public:
    enum class State { Building, Finished, Abandoned };
    using Arguments = std::vector<BridgeValue>;

    // Starts after the opening bracket of the argument list.
    explicit BridgeArgumentsBuilder(std::optional<std::size_t> byteBudget);

    // Each event carries the compact JSON length of its token, charged to the budget.
    void addNull(std::size_t length);
    void addBoolean(bool value, std::size_t length);
    void addNumber(double value, std::size_t length); // non-finite: invalidValue
    void addString(std::string_view value, std::size_t length);
    void startArray();
    void startObject();
    // `skip` drops the member's value unseen (a member that a later duplicate replaces).
    void key(const std::string& key, std::size_t length, bool skip);
    // Closes the innermost open container; closing the argument list finishes.
    void end();

    State state() const { return m_state; }
    // The outcome once Finished.
    Result<Arguments, BridgeRequestError> takeResult();

private:
    using ErrorCase = BridgeRequestError::Case;
    using Outcome = Result<BridgeValue, ErrorCase>;

    struct Frame {
        enum class Kind { Arguments, Array, Object };
        Kind kind;
        int entryDepth; // depth of this container's entries
        std::size_t count = 0; // entries begun (argument list and arrays)
        std::optional<ErrorCase> error {}; // decided outcome of the argument list or an array
        BridgeValue::Array elements {};
        BridgeValue::Object members {};
        std::map<std::string, ErrorCase, std::less<>> failedMembers {};
        bool tooManyMembers = false;
        std::string pendingKey {};
        bool skipPendingMember = false;
    };

    bool charge(std::size_t length);
    bool accepts(std::size_t length);
    bool beginEntry();
    void finishEntry(Outcome outcome);
    void startContainer(Frame::Kind kind);
    void decideMember(Frame& frame, const std::string& key, bool skip);
    static Outcome outcomeOf(Frame& frame);
    void abandon();

    std::optional<std::size_t> m_byteBudget;
    std::size_t m_bytesSeen = 0;
    State m_state = State::Building;
    std::vector<Frame> m_frames;
    std::size_t m_skipDepth = 0; // open containers being passed over
    std::optional<Result<Arguments, BridgeRequestError>> m_result;
};

} // namespace quorin
