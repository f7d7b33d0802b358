#pragma once

// A registration for "a window is about to close" from any GTK window of the process
// (an emission hook on GtkWindow::close-request). Releasing it unregisters.

#include <functional>

typedef struct _GtkWindow GtkWindow;

namespace quorin {

class WindowCloseObservation {
public:
    explicit WindowCloseObservation(std::function<void(GtkWindow*)> onWillClose);
    ~WindowCloseObservation();

    WindowCloseObservation(const WindowCloseObservation&) = delete;
    WindowCloseObservation& operator=(const WindowCloseObservation&) = delete;

private:
    std::function<void(GtkWindow*)> m_onWillClose;
    void* m_windowClass { nullptr };
    unsigned m_signalId { 0 };
    unsigned long m_hookId { 0 };
};

} // namespace quorin
