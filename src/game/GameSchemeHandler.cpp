#include "GameSchemeHandler.h"

#include "core/glib/GRef.h"

#include <webkit/webkit.h>

#include <memory>

namespace quorin {

namespace {

using glib::adoptGRef;

struct BytesUnref {
    void operator()(GBytes* bytes) const { g_bytes_unref(bytes); }
};
struct HeadersUnref {
    void operator()(SoupMessageHeaders* headers) const { soup_message_headers_unref(headers); }
};

// The response's bytes as GBytes that own the response, so the engine reads the mapping (or
// the description) in place for as long as it needs.
std::unique_ptr<GBytes, BytesUnref> bytesOwning(GameResourceResponse response)
{
    auto* owner = new GameResourceResponse(std::move(response));
    auto bytes = owner->bytes();
    return std::unique_ptr<GBytes, BytesUnref>(g_bytes_new_with_free_func(bytes.data(), bytes.size(),
        [](gpointer data) { delete static_cast<GameResourceResponse*>(data); }, owner));
}

GameResourceRequest requestOf(WebKitURISchemeRequest* request)
{
    GameResourceRequest resourceRequest;
    if (const char* uri = webkit_uri_scheme_request_get_uri(request))
        resourceRequest.url = uri;
    if (const char* method = webkit_uri_scheme_request_get_http_method(request))
        resourceRequest.method = method;
    resourceRequest.hasBody = static_cast<bool>(adoptGRef(webkit_uri_scheme_request_get_http_body(request)));
    return resourceRequest;
}

void refuse(WebKitURISchemeRequest* request)
{
    // The page sees a failed load; the cause stays here.
    GError* error = g_error_new_literal(g_quark_from_static_string("QuorinGame"), 1, "The game resource is not available.");
    webkit_uri_scheme_request_finish_error(request, error);
    g_error_free(error);
}

} // namespace

void GameSchemeHandler::start(WebKitURISchemeRequest* rawRequest) const
{
    auto request = glib::retainGRef(rawRequest);
    auto resolved = m_resolver.resolve(requestOf(request.get()));
    if (resolved.isError())
        return refuse(request.get());

    auto response = resolved.releaseValue();
    auto length = response.bytes().size();
    std::unique_ptr<SoupMessageHeaders, HeadersUnref> headers(soup_message_headers_new(SOUP_MESSAGE_HEADERS_RESPONSE));
    for (const auto& [name, value] : response.headers)
        soup_message_headers_append(headers.get(), name.c_str(), value.c_str());
    // The engine's fetch() sees only the header, not the content type set below; WebAssembly
    // streaming needs it.
    soup_message_headers_append(headers.get(), "Content-Type", response.mimeType.c_str());
    soup_message_headers_append(headers.get(), "Content-Length", std::to_string(length).c_str());
    auto mimeType = response.mimeType;

    auto bytes = bytesOwning(std::move(response));
    auto stream = adoptGRef(g_memory_input_stream_new_from_bytes(bytes.get()));
    auto schemeResponse = adoptGRef(webkit_uri_scheme_response_new(stream.get(), static_cast<gint64>(length)));
    webkit_uri_scheme_response_set_status(schemeResponse.get(), 200, nullptr);
    webkit_uri_scheme_response_set_content_type(schemeResponse.get(), mimeType.c_str());
    webkit_uri_scheme_response_set_http_headers(schemeResponse.get(), headers.release());
    webkit_uri_scheme_request_finish_with_response(request.get(), schemeResponse.get());
}

} // namespace quorin
