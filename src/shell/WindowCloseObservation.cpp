#include "WindowCloseObservation.h"

#include <gtk/gtk.h>

namespace quorin {

WindowCloseObservation::WindowCloseObservation(std::function<void(GtkWindow*)> onWillClose)
    : m_onWillClose(std::move(onWillClose))
{
    // The signal exists only once the window class is set up, which may not have happened yet.
    m_windowClass = g_type_class_ref(GTK_TYPE_WINDOW);
    m_signalId = g_signal_lookup("close-request", GTK_TYPE_WINDOW);
    m_hookId = g_signal_add_emission_hook(m_signalId, 0,
        [](GSignalInvocationHint*, guint, const GValue* parameters, gpointer data) -> gboolean {
            auto* self = static_cast<WindowCloseObservation*>(data);
            if (auto* window = g_value_get_object(&parameters[0]); GTK_IS_WINDOW(window))
                self->m_onWillClose(GTK_WINDOW(window));
            return TRUE; // stay registered
        },
        this, nullptr);
}

WindowCloseObservation::~WindowCloseObservation()
{
    g_signal_remove_emission_hook(m_signalId, m_hookId);
    g_type_class_unref(m_windowClass);
}

} // namespace quorin
