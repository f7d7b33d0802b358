#include "BridgeDispatcher.h"

#include "core/CodedError.h"

#include <utility>

namespace quorin {

namespace {

BridgeResponse responseFor(const std::string& requestID, BridgeServiceResult result)
{
    if (result.hasValue())
        return BridgeResponse::success(requestID, result.releaseValue());
    const auto& code = result.error().code;
    return BridgeResponse::failure(requestID, code ? std::string_view(*code) : fallbackErrorCode);
}

// Shared by every copy of the completion handed to the service. Answers once: on the first
// call, or from its destructor when the last copy goes away unanswered.
class OnceCompletion {
public:
    OnceCompletion(std::string requestID, BridgeDispatcher::Completion completion)
        : m_requestID(std::move(requestID))
        , m_completion(std::move(completion))
    {
    }

    OnceCompletion(const OnceCompletion&) = delete;
    OnceCompletion& operator=(const OnceCompletion&) = delete;

    ~OnceCompletion()
    {
        complete(fail(BridgeServiceError::uncoded()));
    }

    void complete(BridgeServiceResult result)
    {
        if (!m_completion)
            return;
        // Cleared before the call so that a re-entrant second completion finds nothing to do.
        auto completion = std::exchange(m_completion, nullptr);
        completion(responseFor(m_requestID, std::move(result)));
    }

private:
    std::string m_requestID;
    BridgeDispatcher::Completion m_completion;
};

} // namespace

BridgeDispatcher::BridgeDispatcher(std::shared_ptr<LauncherBridgeServicing> service)
    : m_service(std::move(service))
{
}

void BridgeDispatcher::dispatch(const BridgeRequest& request, Completion completion) const
{
    auto once = std::make_shared<OnceCompletion>(request.requestID(), std::move(completion));
    if (!m_service) {
        once->complete(fail(BridgeServiceError::uncoded()));
        return;
    }
    m_service->handle(request, [once = std::move(once)](BridgeServiceResult result) {
        once->complete(std::move(result));
    });
}

} // namespace quorin
