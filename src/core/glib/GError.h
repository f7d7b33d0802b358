#pragma once

// The one way a GError reaches our code: a GErrorOut receives it from a GLib call and owns
// it, and GLibError carries it on as a value. GError** never escapes GErrorOut.
// Platform code only.

#include "core/Result.h"

#include <glib.h>

#include <string>
#include <utility>

namespace quorin::glib {

// A GLib failure in our terms.
struct GLibError {
    std::string domain; // the GQuark's text, such as "g-io-error-quark"
    int code { 0 };
    std::string message;

    static GLibError from(const GError& error)
    {
        return { g_quark_to_string(error.domain), error.code, error.message ? error.message : "" };
    }
    bool operator==(const GLibError&) const = default;
};

// The error out-parameter of GLib calls, owning what they report:
//     GErrorOut error;
//     auto bus = adoptGRef(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, error.out()));
//     TRY(error.status());
class GErrorOut {
public:
    GErrorOut() = default;
    ~GErrorOut() { g_clear_error(&m_error); }
    GErrorOut(const GErrorOut&) = delete;
    GErrorOut& operator=(const GErrorOut&) = delete;

    // For the call's GError** argument; drops any error of an earlier call first.
    GError** out()
    {
        g_clear_error(&m_error);
        return &m_error;
    }
    // Whether the call reported an error.
    explicit operator bool() const { return m_error != nullptr; }
    // Whether it reported this one.
    bool matches(GQuark domain, int code) const { return g_error_matches(m_error, domain, code); }
    // Ok, or the reported error.
    Status<GLibError> status() const
    {
        if (m_error)
            return fail(GLibError::from(*m_error));
        return Ok {};
    }

private:
    GError* m_error { nullptr };
};

} // namespace quorin::glib
