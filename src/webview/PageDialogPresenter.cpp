#include "PageDialogPresenter.h"

#include "WebKitRefTraits.h"
#include "webui/DialogButtonTitles.h"

#include <gtk/gtk.h>

namespace quorin {

PageDialogPresenter::PageDialogPresenter(std::vector<std::string> preferredLanguages)
    : m_preferredLanguages(std::move(preferredLanguages))
{
}

namespace {

// Keeps the engine's dialog open until the native one goes away, however that happens.
// The native dialog owns it (object data), and so owns its "response" handler's data.
struct PendingDialog {
    glib::GRef<WebKitScriptDialog> scriptDialog;
    GtkWidget* entry;

    ~PendingDialog() { webkit_script_dialog_close(scriptDialog.get()); }
};

void releasePending(gpointer pending)
{
    delete static_cast<PendingDialog*>(pending);
}

void answer(GtkDialog* nativeDialog, int response, gpointer userData)
{
    auto* pending = static_cast<PendingDialog*>(userData);
    bool confirmed = response == GTK_RESPONSE_ACCEPT;
    switch (webkit_script_dialog_get_dialog_type(pending->scriptDialog.get())) {
    case WEBKIT_SCRIPT_DIALOG_CONFIRM:
    case WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM:
        webkit_script_dialog_confirm_set_confirmed(pending->scriptDialog.get(), confirmed);
        break;
    case WEBKIT_SCRIPT_DIALOG_PROMPT:
        // Left unset on cancel, so the page receives null rather than an empty string.
        if (confirmed)
            webkit_script_dialog_prompt_set_text(pending->scriptDialog.get(), gtk_editable_get_text(GTK_EDITABLE(pending->entry)));
        break;
    case WEBKIT_SCRIPT_DIALOG_ALERT:
        break;
    }
    gtk_window_destroy(GTK_WINDOW(nativeDialog));
}

} // namespace

gboolean PageDialogPresenter::present(WebKitWebView* webView, WebKitScriptDialog* scriptDialog)
{
    auto type = webkit_script_dialog_get_dialog_type(scriptDialog);
    auto titles = dialogButtonTitles(m_preferredLanguages);
    auto* parent = GTK_WINDOW(gtk_widget_get_root(GTK_WIDGET(webView)));

    GtkWidget* nativeDialog = gtk_message_dialog_new(parent, static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
        GTK_MESSAGE_INFO, GTK_BUTTONS_NONE, "%s", webkit_script_dialog_get_message(scriptDialog));
    gtk_dialog_add_button(GTK_DIALOG(nativeDialog), titles.confirm.c_str(), GTK_RESPONSE_ACCEPT);
    if (type != WEBKIT_SCRIPT_DIALOG_ALERT)
        gtk_dialog_add_button(GTK_DIALOG(nativeDialog), titles.cancel.c_str(), GTK_RESPONSE_CANCEL);
    gtk_dialog_set_default_response(GTK_DIALOG(nativeDialog), GTK_RESPONSE_ACCEPT);

    GtkWidget* entry = nullptr;
    if (type == WEBKIT_SCRIPT_DIALOG_PROMPT) {
        entry = gtk_entry_new();
        const char* defaultText = webkit_script_dialog_prompt_get_default_text(scriptDialog);
        gtk_editable_set_text(GTK_EDITABLE(entry), defaultText ? defaultText : "");
        gtk_widget_set_size_request(entry, 260, 24);
        gtk_entry_set_activates_default(GTK_ENTRY(entry), TRUE);
        gtk_box_append(GTK_BOX(gtk_message_dialog_get_message_area(GTK_MESSAGE_DIALOG(nativeDialog))), entry);
    }

    auto* pending = new PendingDialog { glib::retainGRef(scriptDialog), entry };
    g_object_set_data_full(G_OBJECT(nativeDialog), "quorin-pending-dialog", pending, releasePending);
    g_signal_connect(nativeDialog, "response", G_CALLBACK(answer), pending);
    gtk_window_present(GTK_WINDOW(nativeDialog));
    if (entry)
        gtk_widget_grab_focus(entry);
    return TRUE;
}

} // namespace quorin
