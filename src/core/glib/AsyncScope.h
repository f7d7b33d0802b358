#pragma once

// The asynchronous calls one object starts. The scope, a member of that object, holds a
// GCancellable that it cancels when the object dies, and wraps every completion so that its
// first step is to return when the call was cancelled or its owner is gone: a callback never
// reaches a dead owner, and the engine may abandon work nobody waits for.
// Platform code only; main thread only.

#include "core/glib/GRef.h"

#include <gio/gio.h>

#include <functional>
#include <memory>
#include <utility>

namespace quorin::glib {

// The last three arguments of a GIO-style asynchronous call. Pass it to exactly one call:
// the callback frees the completion it carries.
struct AsyncCall {
    GCancellable* cancellable;
    GAsyncReadyCallback callback;
    gpointer data;
};

class AsyncScope {
public:
    using Completion = std::function<void(GObject* source, GAsyncResult* result)>;

    AsyncScope()
        : m_cancellable(adoptGRef(g_cancellable_new()))
    {
    }
    ~AsyncScope() { g_cancellable_cancel(m_cancellable.get()); }
    AsyncScope(const AsyncScope&) = delete;
    AsyncScope& operator=(const AsyncScope&) = delete;

    GCancellable* cancellable() const { return m_cancellable.get(); }

    // `function`, made to do nothing once the scope is cancelled. The owner's `this` may be
    // captured: it is not touched after the owner dies.
    template<typename Function>
    auto guarded(Function function) const
    {
        return [cancellable = m_cancellable, function = std::move(function)](auto&&... arguments) {
            if (g_cancellable_is_cancelled(cancellable.get()))
                return;
            function(std::forward<decltype(arguments)>(arguments)...);
        };
    }

    // Cancellable, callback and data for one call whose completion runs only while the scope lives.
    AsyncCall call(Completion completion) const
    {
        auto* pending = new Completion(guarded(std::move(completion)));
        return { m_cancellable.get(), finished, pending };
    }

private:
    static void finished(GObject* source, GAsyncResult* result, gpointer data)
    {
        std::unique_ptr<Completion> completion(static_cast<Completion*>(data));
        (*completion)(source, result);
    }

    GRef<GCancellable> m_cancellable;
};

} // namespace quorin::glib
