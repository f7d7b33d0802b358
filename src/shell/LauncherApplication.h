#pragma once

// The GTK application: one instance per user session, one window. A second launch hands its
// URLs (deep links) to the first and exits. Main thread only.

#include <memory>

typedef struct _GtkApplication GtkApplication;

namespace quorin {

class LauncherWindow;

class LauncherApplication {
public:
    LauncherApplication();
    ~LauncherApplication();

    // Runs the main loop; returns the process exit status.
    int run(int argc, char** argv);

private:
    struct State;
    // The one window, made on first activation or open.
    static LauncherWindow& ensureWindow(GtkApplication* application, State& state);

    std::unique_ptr<State> m_state;
};

} // namespace quorin
