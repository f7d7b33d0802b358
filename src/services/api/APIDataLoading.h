#pragma once

// The HTTP client behind the API transport; tests put a loader of their own in its place to
// produce responses a real server cannot. Platform code; main thread only.

#include "APIHTTPExchange.h"
#include "APITransportError.h"
#include "core/Result.h"

#include <gio/gio.h>

#include <functional>

namespace quorin {

class APIDataLoading {
public:
    using Completion = std::function<void(Result<APIHTTPResponse, APITransportError>)>;

    virtual ~APIDataLoading() = default;
    // Sends `request` and reads the whole response body. `completion` runs once, on the main
    // loop, unless the loader is destroyed first. Cancelling `cancellable` (the caller's, one
    // per request) abandons the transfer; the loader cancels it too when it refuses a response
    // halfway, so that nothing more is read.
    virtual void data(const APIHTTPRequest& request, GCancellable* cancellable, Completion completion) = 0;
};

} // namespace quorin
