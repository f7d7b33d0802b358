#pragma once

// Ownership of GObjects and GLib-owned memory, visible at the first line that touches them.
// Platform code only: pure-logic headers never include this file.

#include <glib-object.h>
#include <glib.h>

#include <memory>
#include <string>
#include <utility>

namespace quorin::glib {

// A strong reference to a GObject (or any type with ref/unref functions given by traits).
template<typename T>
class GRef {
public:
    GRef() = default;
    GRef(std::nullptr_t) { }
    ~GRef() { reset(); }

    // Takes over a reference the caller already owns (transfer full).
    static GRef adopt(T* object)
    {
        GRef ref;
        ref.m_object = object;
        return ref;
    }
    // Adds a new reference (transfer none).
    static GRef retain(T* object)
    {
        if (object)
            g_object_ref(object);
        return adopt(object);
    }

    GRef(const GRef& other)
        : m_object(other.m_object)
    {
        if (m_object)
            g_object_ref(m_object);
    }
    GRef(GRef&& other) noexcept
        : m_object(std::exchange(other.m_object, nullptr))
    {
    }
    GRef& operator=(GRef other) noexcept
    {
        std::swap(m_object, other.m_object);
        return *this;
    }

    void reset()
    {
        if (auto* object = std::exchange(m_object, nullptr))
            g_object_unref(object);
    }
    T* get() const { return m_object; }
    T* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    // Gives the reference to the caller (transfer full).
    T* leak() { return std::exchange(m_object, nullptr); }

    bool operator==(const GRef& other) const { return m_object == other.m_object; }

private:
    T* m_object { nullptr };
};

template<typename T>
GRef<T> adoptGRef(T* object) { return GRef<T>::adopt(object); }
template<typename T>
GRef<T> retainGRef(T* object) { return GRef<T>::retain(object); }

// A weak reference to a GObject: lends a strong GRef while the object lives, null after.
template<typename T>
class GWeak {
public:
    explicit GWeak(T* object) { g_weak_ref_init(&m_ref, object); }
    ~GWeak() { g_weak_ref_clear(&m_ref); }
    GWeak(const GWeak&) = delete;
    GWeak& operator=(const GWeak&) = delete;

    GRef<T> get() const { return GRef<T>::adopt(static_cast<T*>(g_weak_ref_get(&m_ref))); }

private:
    mutable GWeakRef m_ref;
};

struct GFreeDeleter {
    void operator()(void* pointer) const { g_free(pointer); }
};
// A g_malloc'ed buffer (usually a gchar* string) freed with g_free.
template<typename T>
using GUniquePtr = std::unique_ptr<T, GFreeDeleter>;

struct GErrorDeleter {
    void operator()(GError* error) const { g_error_free(error); }
};
using GErrorPtr = std::unique_ptr<GError, GErrorDeleter>;

struct GBytesDeleter {
    void operator()(GBytes* bytes) const { g_bytes_unref(bytes); }
};
using GBytesPtr = std::unique_ptr<GBytes, GBytesDeleter>;

struct GVariantDeleter {
    void operator()(GVariant* variant) const { g_variant_unref(variant); }
};
using GVariantPtr = std::unique_ptr<GVariant, GVariantDeleter>;

// A string owned by GLib, copied into std::string and freed.
inline std::string takeString(gchar* text)
{
    GUniquePtr<gchar> owned(text);
    return owned ? std::string(owned.get()) : std::string();
}

// Disconnects a signal handler when it goes out of scope, unless the instance is gone.
class SignalConnection {
public:
    SignalConnection() = default;
    SignalConnection(gpointer instance, gulong handlerId)
        : m_instance(instance)
        , m_handlerId(handlerId)
    {
        g_object_add_weak_pointer(G_OBJECT(m_instance), &m_instance);
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
