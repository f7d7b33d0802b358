#include "LauncherWindow.h"

#include "LauncherFatalErrorView.h"
#include "core/ProductIdentity.h"
#include "webview/LauncherWebViewController.h"
#include "webview/PageFrameWatch.h"

#include <gtk/gtk.h>
#include <utility>
#include <webkit/webkit.h>

namespace quorin {

using glib::adoptGRef;

// A start that takes less than this shows a still loading screen: under software rendering an
// animation competes with the web process for the processor while it starts.
static constexpr unsigned stillLoadingMilliseconds = 500;

// The spinner stays still until the start has taken longer than stillLoadingMilliseconds.
static GtkWidget* makeLoadingView(GtkWidget** spinner)
{
    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 12);
    gtk_widget_set_halign(box, GTK_ALIGN_CENTER);
    gtk_widget_set_valign(box, GTK_ALIGN_CENTER);
    gtk_widget_set_hexpand(box, TRUE);
    gtk_widget_set_vexpand(box, TRUE);
    *spinner = gtk_spinner_new();
    gtk_widget_set_size_request(*spinner, 16, 16);
    std::string text = "Starting " + std::string(ProductIdentity::displayName) + "\u2026";
    gtk_box_append(GTK_BOX(box), *spinner);
    gtk_box_append(GTK_BOX(box), gtk_label_new(text.c_str()));
    return box;
}

// The page-loading indicator over the web view: still text, so nothing animates over the page
// while its web process works. Text, not the theme's icon: that icon is vector-only, and
// drawing it loads an SVG renderer into the launcher during every start.
static GtkWidget* makePageLoadingBadge()
{
    GtkWidget* label = gtk_label_new("Loading\u2026");
    for (auto setMargin : { gtk_widget_set_margin_top, gtk_widget_set_margin_bottom, gtk_widget_set_margin_start, gtk_widget_set_margin_end })
        setMargin(label, 10);
    GtkWidget* badge = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_box_append(GTK_BOX(badge), label);
    gtk_widget_add_css_class(badge, "osd");
    gtk_widget_set_name(badge, "page-loading");
    gtk_widget_set_halign(badge, GTK_ALIGN_CENTER);
    gtk_widget_set_valign(badge, GTK_ALIGN_CENTER);
    return badge;
}

// The 180x40 strip that drags the window; a double click maximises or restores it.
static GtkWidget* makeDragStrip()
{
    GtkWidget* handle = gtk_window_handle_new();
    gtk_widget_set_size_request(handle, LauncherWindow::dragStripWidth, LauncherWindow::dragStripHeight);
    gtk_widget_set_halign(handle, GTK_ALIGN_CENTER);
    gtk_widget_set_valign(handle, GTK_ALIGN_START);
    gtk_accessible_update_state(GTK_ACCESSIBLE(handle), GTK_ACCESSIBLE_STATE_HIDDEN, TRUE, -1);
    gtk_widget_set_name(handle, "drag-strip");
    return handle;
}

// Minimise, maximise and close, centred on a line 20 points below the top edge.
static GtkWidget* makeWindowButtons()
{
    GtkWidget* controls = gtk_window_controls_new(GTK_PACK_END);
    gtk_window_controls_set_decoration_layout(GTK_WINDOW_CONTROLS(controls), ":minimize,maximize,close");
    GtkWidget* line = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
    gtk_widget_set_halign(line, GTK_ALIGN_END);
    gtk_widget_set_valign(line, GTK_ALIGN_START);
    gtk_widget_set_margin_end(line, 8);
    gtk_widget_set_valign(controls, GTK_ALIGN_CENTER);
    gtk_box_append(GTK_BOX(line), controls);
    gtk_widget_set_name(line, "window-buttons");
    // The buttons float over a page of any colour: a dark translucent pill keeps them legible.
    gtk_widget_add_css_class(line, "osd");
    gtk_widget_set_margin_top(line, 4);
    gtk_widget_set_size_request(line, -1, 32);
    return line;
}

// Without a compositing window manager the theme draws the window's frame with three inset
// shadows, each filling the whole window at every frame; under software rendering that
// doubles the window's drawing while the page starts. Borders and an outline of the
// theme's colours draw the same frame at the edges only.
static void styleWindow(GtkWidget* window)
{
    auto provider = adoptGRef(gtk_css_provider_new());
    gtk_css_provider_load_from_data(provider.get(),
        "#window-buttons { border-radius: 16px; padding: 0 4px; }"
        "#page-loading { border-radius: 8px; }"
        "#window-buttons button { color: white; min-height: 24px; min-width: 24px; }"
        "window.solid-csd { padding: 0; box-shadow: none; }"
        "window.solid-csd > overlay { border: 3px solid @theme_base_color; padding: 1px; outline: 1px solid @borders; outline-offset: -4px; }"
        "window.solid-csd:backdrop > overlay { border-color: @theme_bg_color; }", -1);
    gtk_style_context_add_provider_for_display(gtk_widget_get_display(window), GTK_STYLE_PROVIDER(provider.get()),
        GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

LauncherWindow::LauncherWindow(GtkApplication* application, std::unique_ptr<LauncherRootModel> model, OutcomeObserver outcomeObserver)
    : m_model(std::move(model))
    , m_outcomeObserver(std::move(outcomeObserver))
{
    // Tests show the window without an application.
    GtkWidget* window = application ? gtk_application_window_new(application) : gtk_window_new();
    m_window = glib::retainGRef(window);
    std::string title(ProductIdentity::displayName);
    gtk_window_set_title(GTK_WINDOW(window), title.c_str());
    gtk_window_set_default_size(GTK_WINDOW(window), defaultWidth, defaultHeight);
    gtk_widget_set_size_request(window, minimumWidth, minimumHeight);
    // A hidden title bar: the page runs to the top edge, the buttons float over it.
    GtkWidget* titlebar = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
    gtk_widget_set_visible(titlebar, FALSE);
    gtk_window_set_titlebar(GTK_WINDOW(window), titlebar);

    GtkWidget* surface = gtk_overlay_new();
    m_contentSlot = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_widget_set_hexpand(m_contentSlot, TRUE);
    gtk_widget_set_vexpand(m_contentSlot, TRUE);
    gtk_overlay_set_child(GTK_OVERLAY(surface), m_contentSlot);
    gtk_overlay_add_overlay(GTK_OVERLAY(surface), makeDragStrip());
    gtk_overlay_add_overlay(GTK_OVERLAY(surface), makeWindowButtons());
    gtk_window_set_child(GTK_WINDOW(window), surface);
    styleWindow(window);

    m_observerID = m_model->addObserver([this] { render(); });
    render();
}

LauncherWindow::~LauncherWindow()
{
    if (m_spinnerSource)
        g_source_remove(m_spinnerSource);
    m_model->removeObserver(m_observerID);
    if (auto controller = m_model->controller())
        controller->setStateObserver({});
    if (m_window)
        gtk_window_destroy(GTK_WINDOW(m_window.get()));
}

GtkWindow* LauncherWindow::window() const
{
    return GTK_WINDOW(m_window.get());
}

void LauncherWindow::present()
{
    // Start before the window is first drawn: the web process then starts while the window
    // maps, as it would for a plain web view, and the first frame already shows the page's
    // place. A failed start shows its code the same way.
    if (!m_model->didStart())
        m_model->start();
    gtk_window_present(window());
}

void LauncherWindow::setContent(GtkWidget* content)
{
    // A loading screen that is replaced never starts its spinner.
    if (m_spinnerSource)
        g_source_remove(std::exchange(m_spinnerSource, 0));
    while (GtkWidget* child = gtk_widget_get_first_child(m_contentSlot))
        gtk_box_remove(GTK_BOX(m_contentSlot), child);
    m_webOverlay = nullptr;
    m_loadingSpinner = nullptr;
    m_loadingBadge = nullptr;
    m_pageErrorView = nullptr;
    gtk_box_append(GTK_BOX(m_contentSlot), content);
}

void LauncherWindow::render()
{
    if (m_model->controller()) {
        showWebContent();
        return;
    }
    if (auto failure = m_model->failure()) {
        std::string code = failure->code();
        GtkWidget* view = makeLauncherFatalErrorView(code, [this] { m_model->start(); });
        setContent(view);
        gtk_window_set_default_widget(window(), fatalErrorRetryButton(view));
        reportOutcome(code);
        return;
    }
    GtkWidget* spinner = nullptr;
    setContent(makeLoadingView(&spinner));
    m_loadingSpinner = spinner;
    m_spinnerSource = g_timeout_add_full(G_PRIORITY_DEFAULT, stillLoadingMilliseconds, [](gpointer data) -> gboolean {
        auto* self = static_cast<LauncherWindow*>(data);
        self->m_spinnerSource = 0;
        gtk_spinner_start(GTK_SPINNER(self->m_loadingSpinner));
        return G_SOURCE_REMOVE;
    }, this, nullptr);
}

void LauncherWindow::showWebContent()
{
    auto controller = m_model->controller();
    GtkWidget* webView = GTK_WIDGET(controller->webView());
    if (m_webOverlay && gtk_overlay_get_child(GTK_OVERLAY(m_webOverlay)) == webView)
        return;

    GtkWidget* overlay = gtk_overlay_new();
    gtk_widget_set_hexpand(webView, TRUE);
    gtk_widget_set_vexpand(webView, TRUE);
    gtk_overlay_set_child(GTK_OVERLAY(overlay), webView);

    GtkWidget* badge = makePageLoadingBadge();
    gtk_overlay_add_overlay(GTK_OVERLAY(overlay), badge);

    setContent(overlay);
    m_webOverlay = overlay;
    m_loadingBadge = badge;

    controller->setStateObserver([this](const LauncherWebViewState& state) { webViewStateChanged(state); });
    controller->load();
    webViewStateChanged(controller->state());
}

void LauncherWindow::webViewStateChanged(const LauncherWebViewState& state)
{
    if (!m_webOverlay)
        return;
    gtk_widget_set_visible(m_loadingBadge, state.stateCase() == LauncherWebViewState::Case::Loading);
    if (m_pageErrorView) {
        gtk_overlay_remove_overlay(GTK_OVERLAY(m_webOverlay), m_pageErrorView);
        m_pageErrorView = nullptr;
    }
    if (auto failure = state.failure()) {
        std::string detail = failure->code();
        std::weak_ptr<LauncherWebViewController> weakController = m_model->controller();
        m_pageErrorView = makeLauncherFatalErrorView(detail, [weakController] {
            if (auto controller = weakController.lock())
                controller->retry();
        });
        gtk_overlay_add_overlay(GTK_OVERLAY(m_webOverlay), m_pageErrorView);
        gtk_window_set_default_widget(window(), fatalErrorRetryButton(m_pageErrorView));
        reportOutcome(detail);
    } else if (state.stateCase() == LauncherWebViewState::Case::Ready && !m_outcomeReported) {
        // Ready means a person can see the page, not merely that it has loaded.
        whenPageIsDrawn(m_model->controller()->webView(), m_pending.guarded([this] { reportOutcome("ready"); }));
    }
}

void LauncherWindow::reportOutcome(std::string_view outcome)
{
    if (m_outcomeReported)
        return;
    m_outcomeReported = true;
    if (m_outcomeObserver)
        m_outcomeObserver(outcome);
}

} // namespace quorin
