#pragma once

// One signal handler's connection, held by the object whose `this` the handler receives:
// destroying the holder disconnects the handler, so a signal never reaches a dead receiver.
// Platform code only; main thread only.
//
// Every g_signal_connect goes through SignalConnection::connect, except for a handler whose
// data outlives the instance anyway: data the instance itself owns (g_signal_connect_data
// with a destroy notify, or g_object_set_data_full on the instance), or data that lives as
// long as the process. Such a handler needs no holder.

#include <glib-object.h>

#include <utility>

namespace quorin::glib {

class SignalConnection {
public:
    SignalConnection() = default;
    // Holds a handler already connected to `instance`.
    SignalConnection(gpointer instance, gulong handlerId)
        : m_instance(instance)
        , m_handlerId(handlerId)
    {
        g_object_add_weak_pointer(G_OBJECT(m_instance), &m_instance);
    }
    // Connects `handler` with `data` to `signal` of `instance` and holds the connection.
    static SignalConnection connect(gpointer instance, const char* signal, GCallback handler, gpointer data)
    {
        return SignalConnection(instance, g_signal_connect(instance, signal, handler, data));
    }

    SignalConnection(const SignalConnection&) = delete;
    SignalConnection& operator=(const SignalConnection&) = delete;
    SignalConnection(SignalConnection&& other) noexcept { *this = std::move(other); }
    SignalConnection& operator=(SignalConnection&& other) noexcept
    {
        if (this != &other) {
            disconnect();
            m_instance = other.m_instance;
            m_handlerId = std::exchange(other.m_handlerId, 0);
            if (m_instance) {
                g_object_remove_weak_pointer(G_OBJECT(m_instance), &other.m_instance);
                other.m_instance = nullptr;
                g_object_add_weak_pointer(G_OBJECT(m_instance), &m_instance);
            }
        }
        return *this;
    }
    ~SignalConnection() { disconnect(); }

    // Disconnects now, unless the instance is already gone.
    void disconnect()
    {
        if (m_instance) {
            g_object_remove_weak_pointer(G_OBJECT(m_instance), &m_instance);
            if (m_handlerId)
                g_signal_handler_disconnect(m_instance, m_handlerId);
        }
        m_instance = nullptr;
        m_handlerId = 0;
    }

private:
    gpointer m_instance { nullptr };
    gulong m_handlerId { 0 };
};

} // namespace quorin::glib
