#pragma once

#include "BridgeMethod.h"
#include "BridgeRequestError.h"
#include "BridgeValue.h"
#include "core/Result.h"

#include <string>
#include <string_view>
#include <vector>

namespace quorin {

class BridgeRequest {
public:
    inline static constexpr std::size_t maximumBodyBytes = 262144;
    inline static constexpr std::size_t maximumArguments = 16;
    inline static constexpr int maximumDepth = 8;
    inline static constexpr std::size_t maximumContainerEntries = 128;
    inline static constexpr std::size_t maximumKeyBytes = 128;
    inline static constexpr std::size_t maximumStringBytes = 32768;
    inline static constexpr std::size_t maximumRequestIDBytes = 64;
    // Text longer than this is refused as payloadTooLarge unread, so parsing holds a
    // bounded document; whitespace and escapes leave room for bodies within the limit.
    inline static constexpr std::size_t maximumTextBytes = 4 * maximumBodyBytes;

    // Parses one message body given as JSON text. Every limit is applied before a value
    // is built, so no value beyond the limits is ever built; the first failing check decides.
    static Result<BridgeRequest, BridgeRequestError> decode(std::string_view jsonText);

    BridgeRequest(std::string requestID, BridgeMethod method, std::vector<BridgeValue> arguments);

    const std::string& requestID() const { return m_requestID; }
    BridgeMethod method() const { return m_method; }
    const std::vector<BridgeValue>& arguments() const { return m_arguments; }

    bool operator==(const BridgeRequest&) const = default;

private:
    std::string m_requestID;
    BridgeMethod m_method;
    std::vector<BridgeValue> m_arguments;
};

} // namespace quorin
