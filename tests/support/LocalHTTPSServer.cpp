#include "LocalHTTPSServer.h"

#include "core/AsciiCase.h"
#include "core/glib/GError.h"

#include <libsoup/soup.h>

namespace quorin::testing {

namespace {

// Tests cannot run without their server.
void check(bool succeeded, const glib::GErrorOut& error = {})
{
    if (!succeeded || error)
        g_error("local HTTPS server: %s", error ? error.status().error().message.c_str() : "openssl req failed");
}

void appendEndlessChunk(SoupServerMessage* message)
{
    static const std::string chunk(16384, 'e');
    soup_message_body_append(soup_server_message_get_response_body(message), SOUP_MEMORY_STATIC, chunk.data(), chunk.size());
}

// One more byte of /pieces/N, 30 ms after the last one went out.
void appendPieceLater(SoupServerMessage* message)
{
    g_timeout_add_full(G_PRIORITY_DEFAULT, 30, +[](gpointer data) {
        auto* piece = static_cast<SoupServerMessage*>(data);
        auto* body = soup_server_message_get_response_body(piece);
        auto declared = soup_message_headers_get_content_length(soup_server_message_get_response_headers(piece));
        if (body->length == declared)
            return G_SOURCE_REMOVE;
        soup_message_body_append(body, SOUP_MEMORY_STATIC, "p", 1);
        if (body->length == declared)
            soup_message_body_complete(body);
        soup_server_message_unpause(piece);
        return G_SOURCE_REMOVE;
    }, g_object_ref(message), g_object_unref);
}

void respond(SoupServerMessage* message, const std::string& path, GHashTable* query)
{
    auto* headers = soup_server_message_get_response_headers(message);
    auto number = [&] { return std::stoi(path.substr(path.rfind('/') + 1)); };
    if (path == "/silent")
        return soup_server_message_pause(message);
    auto* redirectStatus = query ? static_cast<const char*>(g_hash_table_lookup(query, "status")) : nullptr;
    int status = path == "/redirect" ? (redirectStatus ? std::stoi(redirectStatus) : 302) : path.starts_with("/status/") ? number() : 200;
    soup_server_message_set_status(message, status, nullptr);
    if (path == "/redirect")
        return soup_message_headers_replace(headers, "Location", static_cast<const char*>(g_hash_table_lookup(query, "to")));
    if (path == "/endless") {
        soup_message_headers_set_encoding(headers, SOUP_ENCODING_CHUNKED);
        g_signal_connect(message, "wrote-chunk", G_CALLBACK(+[](SoupServerMessage* written, gpointer) { appendEndlessChunk(written); }), nullptr);
        return appendEndlessChunk(message);
    }
    if (path.starts_with("/announced/") || path.starts_with("/pieces/")) {
        soup_message_headers_set_content_length(headers, number());
        if (path.starts_with("/pieces/"))
            g_signal_connect(message, "wrote-chunk", G_CALLBACK(+[](SoupServerMessage* written, gpointer) { appendPieceLater(written); }), nullptr);
        return path.starts_with("/pieces/") ? appendPieceLater(message) : void();
    }
    std::string body = path == "/invalid-utf8" ? "\xff\xfe" : "status " + std::to_string(status);
    if (path.starts_with("/bytes/") || path.starts_with("/chunked/"))
        body.assign(number(), 'a');
    soup_server_message_set_response(message, "text/plain", SOUP_MEMORY_COPY, body.data(), body.size());
    if (path.starts_with("/chunked/")) {
        soup_message_headers_set_encoding(headers, SOUP_ENCODING_CHUNKED);
        soup_message_body_complete(soup_server_message_get_response_body(message));
    }
}

} // namespace

LocalHTTPSServer::LocalHTTPSServer()
{
    auto certificate = certificatePath(), key = m_folder.pathOf("key.pem");
    check(std::system(("openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 1 -subj /CN=127.0.0.1"
                       " -addext subjectAltName=IP:127.0.0.1 -keyout " + key + " -out " + certificate + " 2>/dev/null").c_str()) == 0);
    glib::GErrorOut error;
    m_tlsDatabase = glib::adoptGRef(g_tls_file_database_new(certificate.c_str(), error.out()));
    auto identity = glib::adoptGRef(g_tls_certificate_new_from_files(certificate.c_str(), key.c_str(), error.out()));
    check(m_tlsDatabase && identity, error);
    m_server = glib::adoptGRef(static_cast<SoupServer*>(g_object_new(SOUP_TYPE_SERVER, "tls-certificate", identity.get(), nullptr)));
    soup_server_add_handler(m_server.get(), nullptr, +[](SoupServer*, SoupServerMessage* message, const char* path, GHashTable* query, gpointer data) {
        auto& server = *static_cast<LocalHTTPSServer*>(data);
        server.requestCount += 1;
        auto& request = server.lastRequest;
        request = { soup_server_message_get_method(message), {}, {} };
        auto body = soup_message_body_flatten(soup_server_message_get_request_body(message));
        request.body.assign(static_cast<const char*>(g_bytes_get_data(body, nullptr)), g_bytes_get_size(body));
        g_bytes_unref(body);
        soup_message_headers_foreach(soup_server_message_get_request_headers(message), +[](const char* name, const char* value, gpointer headers) {
            (*static_cast<std::map<std::string, std::string>*>(headers))[asciiLowercased(name)] += value;
        }, &request.headers);
        if (auto file = server.files.find(path); file != server.files.end()) {
            soup_server_message_set_status(message, 200, nullptr);
            return soup_server_message_set_response(message, "application/octet-stream", SOUP_MEMORY_COPY, file->second.data(), file->second.size());
        }
        respond(message, path, query);
    }, this, nullptr);
    check(soup_server_listen_local(m_server.get(), 0, SoupServerListenOptions(SOUP_SERVER_LISTEN_HTTPS | SOUP_SERVER_LISTEN_IPV4_ONLY), error.out()), error);
    GSList* uris = soup_server_get_uris(m_server.get());
    m_port = g_uri_get_port(static_cast<GUri*>(uris->data));
    g_slist_free_full(uris, reinterpret_cast<GDestroyNotify>(g_uri_unref));
}

} // namespace quorin::testing
