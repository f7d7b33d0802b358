#pragma once

// "Quorin 4.2 could not start", the failure code (or a detail) in a monospaced caption, and a
// default "Retry" button.

#include <functional>
#include <string>

typedef struct _GtkWidget GtkWidget;

namespace quorin {

// A new floating widget; `retry` runs when the button is activated.
GtkWidget* makeLauncherFatalErrorView(const std::string& caption, std::function<void()> retry);

// The view's "Retry" button, for making it the window's default widget.
GtkWidget* fatalErrorRetryButton(GtkWidget* view);

} // namespace quorin
