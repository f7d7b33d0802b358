#include "bridge/BridgeRequest.h"
#include "services/api/APIRequest.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

// The request object of "api.request" as the bridge delivers it. An accepted request is one
// that the typed constructor accepts too, and its URL stays inside the allowed origins.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const auto policy = quorin::AllowedOriginPolicy::create({ *quorin::Url::parse("https://api.quorin42.net") }).value();
    auto bridged = quorin::BridgeRequest::decode(R"({"schemaVersion":1,"requestId":"f","method":"api.request","arguments":[)"
        + std::string(reinterpret_cast<const char*>(data), size) + "]}");
    if (bridged.isError() || bridged->arguments().empty())
        return 0;
    auto request = quorin::APIRequest::decode(bridged->arguments().front(), policy);
    if (request.isError())
        return 0;
    quorin::APIRequest::HeaderList headers(request->headers().begin(), request->headers().end());
    auto again = quorin::APIRequest::create(request->url(), request->method(), headers, request->body(), request->timeoutSeconds(), policy);
    auto reparsed = quorin::Url::parse(request->url().string());
    if (again.isError() || again->headers() != request->headers() || !reparsed || !policy.permits(*reparsed))
        std::abort();
    return 0;
}
