#pragma once

// One web view under measurement: the launcher's, or a bare WebKitGTK view showing the same
// page. The program puts it in a window, loads it and calls its bridge from the page.
// Main thread only.

#include "RequestArrivalLog.h"

#include <string_view>

typedef struct _WebKitWebView WebKitWebView;

namespace quorin::bench {

class BenchSubject {
public:
    virtual ~BenchSubject() = default;

    virtual WebKitWebView* webView() const = 0;
    virtual void load() = 0;
    // The page has finished loading.
    virtual bool isReady() const = 0;
    // The load failed or the web process died; waiting longer is pointless.
    virtual bool hasFailed() const = 0;
    // A page expression whose promise resolves with the bridge's answer to one call.
    virtual std::string_view bridgeCall() const = 0;

    // Every bridge request of the page, stamped as the UI process receives it.
    RequestArrivalLog& arrivals() { return m_arrivals; }

protected:
    RequestArrivalLog m_arrivals;
};

} // namespace quorin::bench
