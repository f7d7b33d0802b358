#pragma once

// The main window: no title bar, the content filling the window, the window buttons floating
// over the page and a drag strip at the top centre. The content is the loading screen, the
// fatal error screen or the web content, whichever the root model currently calls for.
// Main thread only.

#include "LauncherRootModel.h"
#include "core/glib/AsyncScope.h"
#include "core/glib/GRef.h"
#include "webview/LauncherWebViewState.h"

#include <functional>
#include <memory>

typedef struct _GtkApplication GtkApplication;
typedef struct _GtkWindow GtkWindow;
typedef struct _GtkWidget GtkWidget;

namespace quorin {

class LauncherWindow {
public:
    static constexpr int defaultWidth = 1440;
    static constexpr int defaultHeight = 800;
    static constexpr int minimumWidth = 1024;
    static constexpr int minimumHeight = 640;
    static constexpr int dragStripWidth = 180;
    static constexpr int dragStripHeight = 40;

    // Told once of the first outcome that a person sees: "ready" once the page is on screen,
    // or a failure code.
    using OutcomeObserver = std::function<void(std::string_view outcome)>;

    LauncherWindow(GtkApplication* application, std::unique_ptr<LauncherRootModel> model, OutcomeObserver outcomeObserver = {});
    ~LauncherWindow();

    LauncherWindow(const LauncherWindow&) = delete;
    LauncherWindow& operator=(const LauncherWindow&) = delete;

    // Shows the window; the first time, starts the launcher just before it is first drawn.
    void present();
    LauncherRootModel& model() { return *m_model; }
    GtkWindow* window() const;

private:
    void render();
    void showWebContent();
    void webViewStateChanged(const LauncherWebViewState& state);
    void setContent(GtkWidget* content);
    void reportOutcome(std::string_view outcome);

    std::unique_ptr<LauncherRootModel> m_model;
    OutcomeObserver m_outcomeObserver;
    glib::GRef<GtkWidget> m_window;
    GtkWidget* m_contentSlot { nullptr };   // owned by the window
    GtkWidget* m_webOverlay { nullptr };    // owned by the window while shown
    GtkWidget* m_loadingSpinner { nullptr }; // on the loading screen, while it shows
    GtkWidget* m_loadingBadge { nullptr };
    GtkWidget* m_pageErrorView { nullptr };
    LauncherRootModel::ObserverID m_observerID { 0 };
    unsigned m_spinnerSource { 0 };
    bool m_outcomeReported { false };
    // The wait for the page to be drawn does nothing once the window is gone.
    glib::AsyncScope m_pending;
};

} // namespace quorin
