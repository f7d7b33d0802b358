#pragma once

// Carries out the page's "api.request": checks the request against the allowed origins, sends
// it with the launcher's version as "X-APP", races it against its timeout and checks what
// comes back. Requests run concurrently; the ones still running when the transport goes away
// are cancelled and answered "API_CANCELLED". Main thread only.

#include "APIDataLoading.h"
#include "APIRequest.h"
#include "APIResponse.h"
#include "AllowedOriginPolicy.h"
#include "bridge/APIBridgePort.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quorin {

class APITransport final : public APIBridgePort {
public:
    using Completion = std::function<void(Result<APIResponse, APITransportError>)>;

    inline static constexpr std::size_t largestResponseLimit = 4194304;

    // With a RestrictedURLSessionLoader of the same policy and limit. The version is sanitised
    // and the limit clamped to 1 ... 4 MiB.
    APITransport(AllowedOriginPolicy policy, std::string applicationVersion, std::size_t maximumResponseBytes);
    APITransport(AllowedOriginPolicy policy, std::string applicationVersion, std::size_t maximumResponseBytes, std::unique_ptr<APIDataLoading> loader);
    ~APITransport() override;
    APITransport(const APITransport&) = delete;
    APITransport& operator=(const APITransport&) = delete;

    // `completion` runs once, on the main loop, never before this returns.
    void execute(const APIRequest& request, Completion completion);

    // The bridge port: decodes the page's request object, executes it and answers with the
    // response's bridge value or the error's code.
    void request(const BridgeValue& requestObject, BridgeServiceCompletion completion) override;

    const AllowedOriginPolicy& policy() const { return m_policy; }

private:
    struct InFlight;

    APIHTTPRequest prepared(const APIRequest& request) const;
    void finish(InFlight& flight, Result<APIResponse, APITransportError> result);

    AllowedOriginPolicy m_policy;
    std::string m_applicationVersion;
    std::size_t m_maximumResponseBytes;
    std::unique_ptr<APIDataLoading> m_loader;
    std::vector<std::shared_ptr<InFlight>> m_inFlight;
};

} // namespace quorin
