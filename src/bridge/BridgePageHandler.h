#pragma once

// How page script reaches the host. The web-process extension defines, in every frame,
// a read-only global object with one function, `postMessage(body)`, that sends the body
// (serialised with JSON.stringify) to the host together with the sending frame's
// main-frame flag and document URL, and returns a promise of the reply object.
// The bootstrap script (top frame only) captures it before any page script runs.

#include <string_view>

namespace quorin {

// Global property name of the handler object in each frame.
inline constexpr std::string_view bridgePageHandlerGlobal = "__quorinBridge";
// Name of the WebKitUserMessage that carries a request to the UI process.
inline constexpr std::string_view bridgeUserMessageName = "quorin.bridge.request";
// Sent once the main frame's document has loaded with the extension in place (parameters: the
// document URI). A page loaded without it has no bridge and no file filter.
inline constexpr std::string_view extensionHelloMessageName = "quorin.page.hello";
// One console message of the page (parameters: text, source, line), only when asked for.
inline constexpr std::string_view consoleMessageName = "quorin.page.console";

} // namespace quorin
