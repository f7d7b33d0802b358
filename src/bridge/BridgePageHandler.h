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

} // namespace quorin
