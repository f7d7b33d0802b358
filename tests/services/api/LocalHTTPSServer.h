#pragma once

// A libsoup HTTPS server on 127.0.0.1 whose certificate is made for this run (with `openssl
// req`), and a TLS database that trusts only that certificate. Main thread only.
// Paths: /status/N (status N, body "status N"), /bytes/N and /chunked/N (N bytes, with a
// declared length or chunked), /redirect?to=URL (302), /invalid-utf8, /silent (never answers),
// /endless (chunks without end).

#include "core/glib/GRef.h"
#include "support/TemporaryDirectory.h"

#include <gio/gio.h>

#include <map>
#include <string>
#include <string_view>

typedef struct _SoupServer SoupServer;

namespace quorin::testing {

class LocalHTTPSServer {
public:
    struct Request {
        std::string method;
        std::map<std::string, std::string> headers; // lower-cased names
        std::string body;
    };

    LocalHTTPSServer();

    // "https://127.0.0.1:PORT" + path.
    std::string url(std::string_view path) const;
    GTlsDatabase* tlsDatabase() const { return m_tlsDatabase.get(); }
    std::string certificatePath() const { return m_folder.pathOf("certificate.pem"); }
    const Request& lastRequest() const { return m_lastRequest; }
    int requestCount() const { return m_requestCount; }

private:
    TemporaryDirectory m_folder;
    glib::GRef<GTlsDatabase> m_tlsDatabase;
    glib::GRef<SoupServer> m_server;
    int m_port { 0 };
    Request m_lastRequest;
    int m_requestCount { 0 };
};

} // namespace quorin::testing
