#include "LauncherFatalErrorView.h"

#include "core/ProductIdentity.h"

#include <gtk/gtk.h>

namespace quorin {

static constexpr char retryButtonKey[] = "quorin-retry-button";

GtkWidget* makeLauncherFatalErrorView(const std::string& caption, std::function<void()> retry)
{
    GtkWidget* view = gtk_box_new(GTK_ORIENTATION_VERTICAL, 12);
    gtk_widget_set_halign(view, GTK_ALIGN_FILL);
    gtk_widget_set_valign(view, GTK_ALIGN_FILL);
    gtk_widget_set_hexpand(view, TRUE);
    gtk_widget_set_vexpand(view, TRUE);
    for (auto setMargin : { gtk_widget_set_margin_top, gtk_widget_set_margin_bottom, gtk_widget_set_margin_start, gtk_widget_set_margin_end })
        setMargin(view, 24);
    gtk_widget_add_css_class(view, "background");

    GtkWidget* centre = gtk_box_new(GTK_ORIENTATION_VERTICAL, 12);
    gtk_widget_set_halign(centre, GTK_ALIGN_CENTER);
    gtk_widget_set_valign(centre, GTK_ALIGN_CENTER);
    gtk_widget_set_vexpand(centre, TRUE);

    std::string headline = std::string(ProductIdentity::displayName) + " could not start";
    GtkWidget* headlineLabel = gtk_label_new(headline.c_str());
    gtk_widget_add_css_class(headlineLabel, "title-2");

    GtkWidget* captionLabel = gtk_label_new(caption.c_str());
    gtk_widget_add_css_class(captionLabel, "monospace");
    gtk_widget_add_css_class(captionLabel, "dim-label");
    gtk_label_set_selectable(GTK_LABEL(captionLabel), TRUE);

    GtkWidget* button = gtk_button_new_with_label("Retry");
    gtk_widget_add_css_class(button, "suggested-action");
    gtk_widget_set_halign(button, GTK_ALIGN_CENTER);
    // The button owns the action and its handler: both go with the button.
    auto* action = new std::function<void()>(std::move(retry));
    g_signal_connect_data(button, "clicked", G_CALLBACK(+[](GtkButton*, std::function<void()>* run) { (*run)(); }), action,
        [](gpointer data, GClosure*) { delete static_cast<std::function<void()>*>(data); }, G_CONNECT_DEFAULT);

    gtk_box_append(GTK_BOX(centre), headlineLabel);
    gtk_box_append(GTK_BOX(centre), captionLabel);
    gtk_box_append(GTK_BOX(centre), button);
    gtk_box_append(GTK_BOX(view), centre);
    g_object_set_data(G_OBJECT(view), retryButtonKey, button);
    return view;
}

GtkWidget* fatalErrorRetryButton(GtkWidget* view)
{
    return static_cast<GtkWidget*>(g_object_get_data(G_OBJECT(view), retryButtonKey));
}

} // namespace quorin
