#include "BridgeRequest.h"

#include "BridgeBodyScanner.h"
#include "JsonOverflowingNumbers.h"

namespace quorin {
namespace {

using ErrorCase = BridgeRequestError::Case;
using Summary = BridgeBodySummary;

Failure<BridgeRequestError> failWith(ErrorCase errorCase)
{
    return fail(BridgeRequestError::of(errorCase));
}

// The text as the parser can read it: numbers beyond the double range, which the parser
// refuses, are rewritten and then read as infinite.
struct ReadableBody {
    std::string rewrittenText;
    std::string_view text;
    BridgeBodyScanner::Options options;
    Summary summary;

    explicit ReadableBody(std::string_view original)
        : text(original)
        , summary(BridgeBodyScanner::scan(text, options))
    {
        if (!summary.hasNumberOverflow)
            return;
        auto rewritten = JsonOverflowingNumbers::rewrite(original);
        rewrittenText = std::move(rewritten.text);
        text = rewrittenText;
        options.infiniteNumbers = std::move(rewritten.numberIndexes);
        summary = BridgeBodyScanner::scan(text, options);
    }
};

Result<BridgeArgumentsBuilder::Arguments, BridgeRequestError> decodedArguments(ReadableBody& body)
{
    if (!body.summary.arguments && !body.summary.argumentsAbandoned)
        return failWith(ErrorCase::InvalidArguments);
    if (!body.summary.argumentsAbandoned)
        return std::move(*body.summary.arguments);
    // The first pass gave up building past the body limit, yet the parsed body fits: a
    // duplicate key dropped the excess. Build again, skipping the replaced members.
    BridgeBodyScanner::Options options = body.options;
    options.replacedMembers = &body.summary.replacedMembers;
    auto second = BridgeBodyScanner::scan(body.text, options);
    if (!second.arguments)
        return failWith(ErrorCase::InvalidArguments);
    return std::move(*second.arguments);
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
    ReadableBody body(jsonText);
    const Summary& summary = body.summary;
    if (!summary.isWellFormed || summary.shape == Summary::Shape::Scalar)
        return failWith(ErrorCase::InvalidBody);
    if (summary.compactLength > maximumBodyBytes)
        return failWith(ErrorCase::PayloadTooLarge);
    if (summary.shape != Summary::Shape::Object)
        return failWith(ErrorCase::InvalidBody);
    if (summary.smallestUnknownKey)
        return fail(BridgeRequestError::unknownKey(*summary.smallestUnknownKey));
    if (!summary.hasSchemaVersion || !summary.hasRequestID || !summary.hasMethod || !summary.hasArguments)
        return failWith(ErrorCase::InvalidSchema);
    if (!summary.schemaVersionIsOne)
        return failWith(ErrorCase::InvalidSchema);
    if (!summary.requestID)
        return failWith(ErrorCase::InvalidRequestID);
    if (!summary.method)
        return failWith(ErrorCase::UnknownMethod);
    auto values = TRY(decodedArguments(body));
    return BridgeRequest(*summary.requestID, *summary.method, std::move(values));
}

} // namespace quorin
