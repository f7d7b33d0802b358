#include "LocalHTTPSServer.h"

#include "core/AsciiCase.h"
#include "core/glib/GError.h"

#include <libsoup/soup.h>

#include <stdexcept>

namespace quorin::testing {

namespace {

void check(const glib::GErrorOut& error, bool succeeded = true)
{
    if (error || !succeeded)
        throw std::runtime_error("local HTTPS server: " + (error ? error.status().error().message : "set-up failed"));
}

void appendEndlessChunk(SoupServerMessage* message)
{
    static const std::string chunk(16384, 'e');
    soup_message_body_append(soup_server_message_get_response_body(message), SOUP_MEMORY_STATIC, chunk.data(), chunk.size());
}

void respond(SoupServerMessage* message, std::string_view path, GHashTable* query)
{
    auto* headers = soup_server_message_get_response_headers(message);
    auto number = [&](std::string_view prefix) { return std::stoi(std::string(path.substr(prefix.size()))); };
    if (path == "/silent")
        return soup_server_message_pause(message);
    if (path == "/redirect") {
        soup_message_headers_replace(headers, "Location", static_cast<const char*>(g_hash_table_lookup(query, "to")));
        return soup_server_message_set_status(message, 302, nullptr);
    }
    int status = path.starts_with("/status/") ? number("/status/") : 200;
    soup_server_message_set_status(message, status, nullptr);
    if (path == "/endless") {
        soup_message_headers_set_encoding(headers, SOUP_ENCODING_CHUNKED);
        g_signal_connect(message, "wrote-chunk", G_CALLBACK(+[](SoupServerMessage* written, gpointer) { appendEndlessChunk(written); }), nullptr);
        return appendEndlessChunk(message);
    }
    std::string body = path == "/invalid-utf8" ? "\xff\xfe" : "status " + std::to_string(status);
    if (path.starts_with("/bytes/") || path.starts_with("/chunked/"))
        body.assign(number(path.starts_with("/bytes/") ? "/bytes/" : "/chunked/"), 'a');
    soup_server_message_set_response(message, "text/plain", SOUP_MEMORY_COPY, body.data(), body.size());
    if (path.starts_with("/chunked/")) {
        soup_message_headers_set_encoding(headers, SOUP_ENCODING_CHUNKED);
        soup_message_body_complete(soup_server_message_get_response_body(message));
    }
}

} // namespace

LocalHTTPSServer::LocalHTTPSServer()
{
    auto certificatePath = this->certificatePath();
    auto keyPath = m_folder.pathOf("key.pem");
    auto command = "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 1 -subj /CN=127.0.0.1"
                   " -addext subjectAltName=IP:127.0.0.1 -keyout "
        + keyPath + " -out " + certificatePath + " 2>/dev/null";
    check({}, std::system(command.c_str()) == 0);

    glib::GErrorOut error;
    m_tlsDatabase = glib::adoptGRef(g_tls_file_database_new(certificatePath.c_str(), error.out()));
    check(error);
    auto certificate = glib::adoptGRef(g_tls_certificate_new_from_files(certificatePath.c_str(), keyPath.c_str(), error.out()));
    check(error);
    m_server = glib::adoptGRef(static_cast<SoupServer*>(g_object_new(SOUP_TYPE_SERVER, "tls-certificate", certificate.get(), nullptr)));
    soup_server_add_handler(m_server.get(), nullptr, +[](SoupServer*, SoupServerMessage* message, const char* path, GHashTable* query, gpointer data) {
        auto& server = *static_cast<LocalHTTPSServer*>(data);
        server.m_requestCount += 1;
        server.m_lastRequest = { soup_server_message_get_method(message), {}, {} };
        soup_message_headers_foreach(soup_server_message_get_request_headers(message), +[](const char* name, const char* value, gpointer request) {
            static_cast<Request*>(request)->headers[asciiLowercased(name)] += value;
        }, &server.m_lastRequest);
        auto body = soup_message_body_flatten(soup_server_message_get_request_body(message));
        server.m_lastRequest.body.assign(static_cast<const char*>(g_bytes_get_data(body, nullptr)), g_bytes_get_size(body));
        g_bytes_unref(body);
        respond(message, path, query);
    }, this, nullptr);
    check(error, soup_server_listen_local(m_server.get(), 0, SoupServerListenOptions(SOUP_SERVER_LISTEN_HTTPS | SOUP_SERVER_LISTEN_IPV4_ONLY), error.out()));
    GSList* uris = soup_server_get_uris(m_server.get());
    m_port = g_uri_get_port(static_cast<GUri*>(uris->data));
    g_slist_free_full(uris, reinterpret_cast<GDestroyNotify>(g_uri_unref));
}

std::string LocalHTTPSServer::url(std::string_view path) const
{
    return "https://127.0.0.1:" + std::to_string(m_port) + std::string(path);
}

} // namespace quorin::testing
