#pragma once

// Platform code. Points a web context at the folder holding the web-process extension.

#include <webkit/webkit.h>

#include <optional>
#include <string>

namespace quorin {

// Call before the context's first web view exists: web processes read the setting when they
// start. The folder is also made readable inside the web-process sandbox.
// With `fileFolder`, pages of this context may load files only inside that folder; with
// `forwardsConsole`, the page's console messages come to the UI process.
void useWebProcessExtensions(WebKitWebContext* context, const std::string& directory, const std::optional<std::string>& fileFolder = std::nullopt,
    bool forwardsConsole = false);

// The extension module's file name inside that folder.
inline constexpr char webProcessExtensionFileName[] = "libquorinwebextension.so";

} // namespace quorin
