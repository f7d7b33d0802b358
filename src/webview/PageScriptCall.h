#pragma once

// Runs a script in the page's main frame with named arguments of any bridge value. The engine
// passes only numbers, strings and dictionaries into page scripts, so each argument travels
// as its JSON text and is decoded by a one-line prologue before the script runs.

#include "bridge/BridgeValue.h"
#include "core/glib/AsyncScope.h"

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

typedef struct _WebKitWebView WebKitWebView;

namespace quorin {

using PageScriptArguments = std::vector<std::pair<std::string, BridgeValue>>;

// `completion` (optional) learns whether the script ran without throwing, unless `scope`
// (the caller's) has ended first: then the engine is told to abandon the call and the
// completion never runs. Main thread only.
void callPageScript(WebKitWebView* webView, std::string_view script, const PageScriptArguments& arguments,
    const glib::AsyncScope& scope, std::function<void(bool succeeded)> completion = {});

} // namespace quorin
