#pragma once

// GRef for WebKit's reference-counted boxed types. Include this header wherever a GRef holds
// one of them: without it GRef would treat them as GObjects.

#include "core/glib/GRef.h"

#include <webkit/webkit.h>

namespace quorin::glib {

template<>
struct GRefTraits<WebKitUserScript> {
    static void ref(WebKitUserScript* script) { webkit_user_script_ref(script); }
    static void unref(WebKitUserScript* script) { webkit_user_script_unref(script); }
};

template<>
struct GRefTraits<WebKitScriptDialog> {
    static void ref(WebKitScriptDialog* dialog) { webkit_script_dialog_ref(dialog); }
    static void unref(WebKitScriptDialog* dialog) { webkit_script_dialog_unref(dialog); }
};

} // namespace quorin::glib
