#pragma once

// Memory that GLib hands over with g_malloc (usually a gchar* string). Platform code only.

#include <glib.h>

#include <memory>
#include <string>

namespace quorin::glib {

struct GFreeDeleter {
    void operator()(void* pointer) const { g_free(pointer); }
};
// A g_malloc'ed buffer freed with g_free.
template<typename T>
using GUniquePtr = std::unique_ptr<T, GFreeDeleter>;

// A string owned by GLib, copied into std::string and freed; empty for null.
inline std::string takeString(gchar* text)
{
    GUniquePtr<gchar> owned(text);
    return owned ? std::string(owned.get()) : std::string();
}

} // namespace quorin::glib
