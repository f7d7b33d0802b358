#include "BridgeArgumentsBuilder.h"

#include "BridgeRequest.h"

#include <cmath>

namespace quorin {

BridgeArgumentsBuilder::BridgeArgumentsBuilder(std::optional<std::size_t> byteBudget)
    : m_byteBudget(byteBudget)
{
    m_frames.push_back({ .kind = Frame::Kind::Arguments, .entryDepth = 0 });
    charge(1); // the opening bracket
}

void BridgeArgumentsBuilder::addNull(std::size_t length)
{
    if (accepts(length) && beginEntry())
        finishEntry(BridgeValue::null());
}

void BridgeArgumentsBuilder::addBoolean(bool value, std::size_t length)
{
    if (accepts(length) && beginEntry())
        finishEntry(BridgeValue::boolean(value));
}

void BridgeArgumentsBuilder::addNumber(double value, std::size_t length)
{
    if (!accepts(length) || !beginEntry())
        return;
    if (!std::isfinite(value))
        return finishEntry(fail(ErrorCase::InvalidValue));
    finishEntry(BridgeValue::number(value));
}

void BridgeArgumentsBuilder::addString(std::string_view value, std::size_t length)
{
    if (!accepts(length) || !beginEntry())
        return;
    if (value.size() > BridgeRequest::maximumStringBytes)
        return finishEntry(fail(ErrorCase::ValueTooLarge));
    finishEntry(BridgeValue::string(std::string(value)));
}

void BridgeArgumentsBuilder::startArray()
{
    startContainer(Frame::Kind::Array);
}

void BridgeArgumentsBuilder::startObject()
{
    startContainer(Frame::Kind::Object);
}

void BridgeArgumentsBuilder::key(const std::string& key, std::size_t length, bool skip)
{
    if (!accepts(length + 1)) // the key and its colon
        return;
    decideMember(m_frames.back(), key, skip);
}

void BridgeArgumentsBuilder::end()
{
    if (m_state != State::Building)
        return;
    if (m_skipDepth > 0) {
        --m_skipDepth;
        return;
    }
    Frame frame = std::move(m_frames.back());
    m_frames.pop_back();
    if (frame.kind != Frame::Kind::Arguments)
        return finishEntry(outcomeOf(frame));
    if (frame.error)
        m_result.emplace(fail(BridgeRequestError::of(*frame.error)));
    else
        m_result.emplace(std::move(frame.elements));
    m_state = State::Finished;
}

Result<BridgeArgumentsBuilder::Arguments, BridgeRequestError> BridgeArgumentsBuilder::takeResult()
{
    if (!m_result)
        return fail(BridgeRequestError::of(ErrorCase::InvalidBody));
    return std::move(*m_result);
}

// Charges a token to the budget; false once the builder has stopped listening.
bool BridgeArgumentsBuilder::charge(std::size_t length)
{
    if (m_state != State::Building)
        return false;
    m_bytesSeen += length;
    if (m_byteBudget && m_bytesSeen > *m_byteBudget) {
        abandon();
        return false;
    }
    return true;
}

// Charges a scalar or key; false when it is not to be looked at, being part of a
// container that is passed over.
bool BridgeArgumentsBuilder::accepts(std::size_t length)
{
    return charge(length) && m_skipDepth == 0;
}

// Called as an entry of the innermost container begins: counts it against the
// container's limit and tells whether it is still worth building. An entry too deep
// fails here, before its type matters.
bool BridgeArgumentsBuilder::beginEntry()
{
    Frame& frame = m_frames.back();
    if (frame.kind == Frame::Kind::Object) {
        if (frame.skipPendingMember)
            return false;
    } else {
        ++frame.count;
        bool isArgumentList = frame.kind == Frame::Kind::Arguments;
        std::size_t limit = isArgumentList ? BridgeRequest::maximumArguments : BridgeRequest::maximumContainerEntries;
        if (frame.count > limit) {
            // The count is checked before any entry is converted, so it wins over an
            // entry's earlier failure.
            frame.error = isArgumentList ? ErrorCase::InvalidArguments : ErrorCase::ValueTooLarge;
            frame.elements = {};
            return false;
        }
        if (frame.error)
            return false;
    }
    if (frame.entryDepth > BridgeRequest::maximumDepth) {
        finishEntry(fail(ErrorCase::ValueTooDeep));
        return false;
    }
    return true;
}

void BridgeArgumentsBuilder::finishEntry(Outcome outcome)
{
    Frame& frame = m_frames.back();
    if (frame.kind != Frame::Kind::Object) {
        if (outcome.isError()) {
            frame.error = outcome.error();
            frame.elements = {};
        } else {
            frame.elements.push_back(outcome.releaseValue());
        }
        return;
    }
    // A later duplicate key replaces the earlier member, whatever either outcome was.
    std::string key = std::move(frame.pendingKey);
    if (outcome.isError()) {
        frame.members.erase(key);
        frame.failedMembers.insert_or_assign(std::move(key), outcome.error());
    } else {
        if (!frame.failedMembers.empty())
            frame.failedMembers.erase(key);
        frame.members.insert_or_assign(std::move(key), outcome.releaseValue());
    }
}

void BridgeArgumentsBuilder::startContainer(Frame::Kind kind)
{
    if (!charge(1))
        return;
    if (m_skipDepth > 0 || !beginEntry()) {
        ++m_skipDepth;
        return;
    }
    int entryDepth = m_frames.back().entryDepth + 1;
    m_frames.push_back({ .kind = kind, .entryDepth = entryDepth });
}

void BridgeArgumentsBuilder::decideMember(Frame& frame, const std::string& key, bool skip)
{
    frame.skipPendingMember = true;
    if (skip || frame.tooManyMembers)
        return;
    bool full = frame.members.size() + frame.failedMembers.size() == BridgeRequest::maximumContainerEntries;
    if (full && !frame.members.contains(key) && !frame.failedMembers.contains(key)) {
        // Distinct keys never become fewer, so the object is too large whatever follows.
        frame.tooManyMembers = true;
        frame.members = {};
        frame.failedMembers = {};
        return;
    }
    if (key.size() > BridgeRequest::maximumKeyBytes) {
        // The key check comes before the member's value is converted.
        frame.failedMembers.insert_or_assign(key, ErrorCase::ValueTooLarge);
        return;
    }
    frame.pendingKey = key;
    frame.skipPendingMember = false;
}

// Objects are walked in ascending key order, so the failure they report is the one of
// the smallest failing key.
BridgeArgumentsBuilder::Outcome BridgeArgumentsBuilder::outcomeOf(Frame& frame)
{
    if (frame.kind == Frame::Kind::Array) {
        if (frame.error)
            return fail(*frame.error);
        return BridgeValue::array(std::move(frame.elements));
    }
    if (frame.tooManyMembers)
        return fail(ErrorCase::ValueTooLarge);
    if (!frame.failedMembers.empty())
        return fail(frame.failedMembers.begin()->second);
    return BridgeValue::object(std::move(frame.members));
}

void BridgeArgumentsBuilder::abandon()
{
    m_state = State::Abandoned;
    m_frames = {};
    m_skipDepth = 0;
}

} // namespace quorin
