#pragma once

// Tells when the page that has just loaded is on screen: the page has produced a frame and
// the window has painted after it. A load that finishes is not yet a page a person can see.

#include <functional>

typedef struct _WebKitWebView WebKitWebView;

namespace quorin {

// Calls `drawn` once, on the main loop, after the web view's next frame of its current page
// has been painted; never if the view goes away first. Main thread only.
void whenPageIsDrawn(WebKitWebView* webView, std::function<void()> drawn);

} // namespace quorin
