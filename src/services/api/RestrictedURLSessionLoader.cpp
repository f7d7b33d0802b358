#include "RestrictedURLSessionLoader.h"

#include "core/glib/GError.h"
#include "core/glib/GUniquePtr.h"

#include <libsoup/soup.h>

#include <algorithm>
#include <array>

namespace quorin {

namespace {

constexpr guint sessionTimeoutSeconds = 60;
constexpr int connectionsPerHost = 6;
// As many as libsoup itself would follow.
constexpr int maximumRedirects = 20;
constexpr std::size_t readChunkBytes = 16384;

APITransportError loadFailure(const glib::GLibError& error)
{
    if (error.domain == g_quark_to_string(G_IO_ERROR) && error.code == G_IO_ERROR_TIMED_OUT)
        return APITransportError::timeout();
    if (error.domain == g_quark_to_string(G_IO_ERROR) && error.code == G_IO_ERROR_CANCELLED)
        return APITransportError::cancelled();
    return APITransportError::networkFailure();
}

bool isFollowedRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// The request a redirect asks for (RFC 9110 section 15.4): 303, and 301/302 after a POST, turn
// into a GET without the body; 307 and 308 repeat the request as it was.
APIHTTPRequest redirected(APIHTTPRequest request, int status, Url target)
{
    request.url = std::move(target);
    bool becomesGet = (status == 303 && request.method != "HEAD") || ((status == 301 || status == 302) && request.method == "POST");
    if (becomesGet) {
        request.method = "GET";
        request.body.reset();
        std::erase_if(request.headers, [](const auto& header) { return header.first == "content-type"; });
    }
    return request;
}

std::optional<Url> urlOf(GUri* uri)
{
    return Url::parse(glib::takeString(g_uri_to_string(uri)));
}

// The absolute URL of the response's Location header, resolved against the request's URL.
std::optional<Url> locationOf(SoupMessage* message)
{
    const char* location = soup_message_headers_get_one(soup_message_get_response_headers(message), "Location");
    if (!location)
        return std::nullopt;
    glib::GErrorOut error;
    std::unique_ptr<GUri, decltype(&g_uri_unref)> target(
        g_uri_parse_relative(soup_message_get_uri(message), location, GUriFlags(SOUP_HTTP_URI_FLAGS), error.out()), g_uri_unref);
    if (!target)
        return std::nullopt;
    return urlOf(target.get());
}

} // namespace

struct RestrictedURLSessionLoader::Load {
    APIHTTPRequest request;
    glib::GRef<GCancellable> cancellable;
    Completion completion;
    int redirects { 0 };
    glib::GRef<SoupMessage> message {};
    glib::GRef<GInputStream> body {};
    APIHTTPResponse response {};
    std::array<char, readChunkBytes> buffer {};
};

RestrictedURLSessionLoader::RestrictedURLSessionLoader(AllowedOriginPolicy policy, std::size_t maximumResponseBytes, glib::GRef<GTlsDatabase> tlsDatabase)
    : m_policy(std::move(policy))
    , m_maximumResponseBytes(maximumResponseBytes)
    , m_tlsDatabase(std::move(tlsDatabase))
{
}

SoupSession* RestrictedURLSessionLoader::session()
{
    // A plain session has neither a cookie jar nor a cache: they are features one adds.
    if (!m_session) {
        m_session = glib::adoptGRef(soup_session_new_with_options("timeout", sessionTimeoutSeconds, "idle-timeout", sessionTimeoutSeconds,
            "max-conns-per-host", connectionsPerHost, nullptr));
        if (m_tlsDatabase)
            soup_session_set_tls_database(m_session.get(), m_tlsDatabase.get());
    }
    return m_session.get();
}

void RestrictedURLSessionLoader::data(const APIHTTPRequest& request, GCancellable* cancellable, Completion completion)
{
    send(std::make_shared<Load>(Load { request, glib::retainGRef(cancellable), std::move(completion) }));
}

void RestrictedURLSessionLoader::send(const std::shared_ptr<Load>& load)
{
    const auto& request = load->request;
    load->message = glib::adoptGRef(soup_message_new(request.method.c_str(), request.url.string().c_str()));
    if (!load->message)
        return complete(load, fail(APITransportError::invalidRequest()));
    // Each redirect is checked against the policy here, not followed by libsoup.
    soup_message_add_flags(load->message.get(), SOUP_MESSAGE_NO_REDIRECT);
    auto* headers = soup_message_get_request_headers(load->message.get());
    for (const auto& [name, value] : request.headers)
        soup_message_headers_append(headers, name.c_str(), value.c_str());
    if (request.body) {
        auto bytes = g_bytes_new(request.body->data(), request.body->size());
        soup_message_set_request_body_from_bytes(load->message.get(), nullptr, bytes);
        g_bytes_unref(bytes);
    }
    auto call = m_scope.call([this, load](GObject*, GAsyncResult* result) { receiveHeaders(load, result); });
    soup_session_send_async(session(), load->message.get(), G_PRIORITY_DEFAULT, load->cancellable.get(), call.callback, call.data);
}

void RestrictedURLSessionLoader::receiveHeaders(const std::shared_ptr<Load>& load, GAsyncResult* result)
{
    glib::GErrorOut error;
    load->body = glib::adoptGRef(soup_session_send_finish(session(), result, error.out()));
    if (error)
        return complete(load, fail(loadFailure(error.status().error())));
    auto* message = load->message.get();
    auto* headers = soup_message_get_response_headers(message);
    auto& response = load->response;
    response = APIHTTPResponse {};
    response.statusCode = static_cast<int>(soup_message_get_status(message));
    response.url = urlOf(soup_message_get_uri(message));
    if (const char* contentType = soup_message_headers_get_one(headers, "Content-Type"))
        response.contentType = contentType;
    if (soup_message_headers_get_encoding(headers) == SOUP_ENCODING_CONTENT_LENGTH)
        response.declaredLength = static_cast<std::uint64_t>(soup_message_headers_get_content_length(headers));
    // A final response that says it is too large is refused unread; a redirect's body is
    // read first, as its status decides before its size.
    bool finalStatus = response.statusCode >= 100 && response.statusCode <= 599 && !(response.statusCode >= 300 && response.statusCode <= 399);
    if (finalStatus && response.declaredLength.value_or(0) > m_maximumResponseBytes) {
        g_cancellable_cancel(load->cancellable.get());
        return complete(load, fail(APITransportError::responseTooLarge()));
    }
    response.body.reserve(std::min<std::uint64_t>(response.declaredLength.value_or(0), m_maximumResponseBytes));
    readBody(load);
}

void RestrictedURLSessionLoader::readBody(const std::shared_ptr<Load>& load)
{
    // Always a whole buffer: libsoup 3.2 stalled on a 1-byte read at the end of a chunked
    // body. So the body holds at most one buffer more than the maximum before it is refused.
    auto call = m_scope.call([this, load](GObject*, GAsyncResult* result) { receiveBody(load, result); });
    g_input_stream_read_async(load->body.get(), load->buffer.data(), load->buffer.size(), G_PRIORITY_DEFAULT, load->cancellable.get(), call.callback, call.data);
}

void RestrictedURLSessionLoader::receiveBody(const std::shared_ptr<Load>& load, GAsyncResult* result)
{
    glib::GErrorOut error;
    auto count = g_input_stream_read_finish(load->body.get(), result, error.out());
    if (error)
        return complete(load, fail(loadFailure(error.status().error())));
    if (count == 0)
        return finishBody(load);
    load->response.body.append(load->buffer.data(), static_cast<std::size_t>(count));
    if (load->response.body.size() > m_maximumResponseBytes) {
        g_cancellable_cancel(load->cancellable.get());
        return complete(load, fail(APITransportError::responseTooLarge()));
    }
    readBody(load);
}

void RestrictedURLSessionLoader::finishBody(const std::shared_ptr<Load>& load)
{
    int status = load->response.statusCode;
    if (isFollowedRedirect(status) && load->redirects < maximumRedirects) {
        auto target = locationOf(load->message.get());
        if (target && m_policy.permits(*target)) {
            load->redirects += 1;
            load->request = redirected(std::move(load->request), status, std::move(*target));
            return send(load);
        }
    }
    complete(load, std::move(load->response));
}

void RestrictedURLSessionLoader::complete(const std::shared_ptr<Load>& load, Result<APIHTTPResponse, APITransportError> result)
{
    load->body.reset();
    load->message.reset();
    load->completion(std::move(result));
}

} // namespace quorin
