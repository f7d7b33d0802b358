#pragma once

// Strong and weak references to reference-counted GLib objects, visible at the first line
// that touches them. Platform code only: pure-logic headers never include this file.

#include <glib-object.h>
#include <glib.h>

#include <cstddef>
#include <utility>

namespace quorin::glib {

// How GRef<T> takes and drops a reference. The primary template serves GObjects; any other
// reference-counted type specialises it, in a header every user of GRef<thatType> includes.
// `sink` exists only for types that can be born floating.
template<typename T>
struct GRefTraits {
    static void ref(T* object) { g_object_ref(object); }
    static void unref(T* object) { g_object_unref(object); }
    static void sink(T* object) { g_object_ref_sink(object); }
};

template<>
struct GRefTraits<GVariant> {
    static void ref(GVariant* variant) { g_variant_ref(variant); }
    static void unref(GVariant* variant) { g_variant_unref(variant); }
    static void sink(GVariant* variant) { g_variant_ref_sink(variant); }
};

// A strong reference. Raw pointers never convert implicitly: say whether the reference is
// taken over (adopt), added (retain) or sunk from a floating one (adoptFloating).
template<typename T>
class GRef {
public:
    using Traits = GRefTraits<T>;

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
            Traits::ref(object);
        return adopt(object);
    }
    // Owns a newly made object whose first reference may be floating (GVariant, GtkWidget,
    // WebKitWebView, WebKitUserMessage...): sinks it, or adds one when it is not floating.
    static GRef adoptFloating(T* object)
    {
        if (object)
            Traits::sink(object);
        return adopt(object);
    }

    GRef(const GRef& other)
        : m_object(other.m_object)
    {
        if (m_object)
            Traits::ref(m_object);
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
            Traits::unref(object);
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
template<typename T>
GRef<T> adoptFloatingGRef(T* object) { return GRef<T>::adoptFloating(object); }

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

} // namespace quorin::glib

