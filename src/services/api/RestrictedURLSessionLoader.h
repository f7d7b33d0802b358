#pragma once

// The API transport's HTTP client on libsoup: one session made at the first request, with no
// cookie jar, no cache and nothing on disk. Redirects are followed only into the allowed
// origins; any other 3xx comes back as it is. The body is read as a stream and abandoned as
// soon as it passes the maximum. Main thread only.

#include "APIDataLoading.h"
#include "AllowedOriginPolicy.h"
#include "core/glib/AsyncScope.h"
#include "core/glib/GRef.h"

#include <memory>

typedef struct _SoupSession SoupSession;

namespace quorin {

class RestrictedURLSessionLoader final : public APIDataLoading {
public:
    // `tlsDatabase`: the certificate authorities HTTPS trusts; null for the system's.
    RestrictedURLSessionLoader(AllowedOriginPolicy policy, std::size_t maximumResponseBytes, glib::GRef<GTlsDatabase> tlsDatabase = nullptr);

    void data(const APIHTTPRequest& request, GCancellable* cancellable, Completion completion) override;

private:
    struct Load;

    SoupSession* session();
    void send(const std::shared_ptr<Load>& load);
    void receiveHeaders(const std::shared_ptr<Load>& load, GAsyncResult* result);
    void readBody(const std::shared_ptr<Load>& load);
    void receiveBody(const std::shared_ptr<Load>& load, GAsyncResult* result);
    void finishBody(const std::shared_ptr<Load>& load);
    void complete(const std::shared_ptr<Load>& load, Result<APIHTTPResponse, APITransportError> result);

    AllowedOriginPolicy m_policy;
    std::size_t m_maximumResponseBytes;
    glib::GRef<GTlsDatabase> m_tlsDatabase;
    glib::GRef<SoupSession> m_session;
    glib::AsyncScope m_scope;
};

} // namespace quorin
