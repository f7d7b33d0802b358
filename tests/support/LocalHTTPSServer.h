#pragma once

// A libsoup HTTPS server on 127.0.0.1 with a certificate made for this run and a TLS database
// trusting only it; on the thread that made it. Paths: /status/N, /bytes/N and /chunked/N (N
// bytes), /redirect?to=URL[&status=3xx], /invalid-utf8, /silent (never answers), /endless
// (chunks forever), /announced/N (declares N bytes, sends none), /pieces/N (N bytes, 30 ms apart),
// and each path of `files` with its bytes.

#include "core/glib/GRef.h"
#include "support/TemporaryDirectory.h"

#include <gio/gio.h>

#include <map>
#include <string>

typedef struct _SoupServer SoupServer;

namespace quorin::testing {

class LocalHTTPSServer {
public:
    struct Request {
        std::string method, body;
        std::map<std::string, std::string> headers; // lower-cased names
    };

    LocalHTTPSServer();
    std::string url(const std::string& path) const { return "https://127.0.0.1:" + std::to_string(m_port) + path; }
    std::string certificatePath() const { return m_folder.pathOf("certificate.pem"); }
    GTlsDatabase* tlsDatabase() const { return m_tlsDatabase.get(); }

    std::map<std::string, std::string> files; // path -> body, status 200
    Request lastRequest;
    int requestCount { 0 };

private:
    TemporaryDirectory m_folder;
    glib::GRef<GTlsDatabase> m_tlsDatabase;
    glib::GRef<SoupServer> m_server;
    int m_port { 0 };
};

} // namespace quorin::testing
