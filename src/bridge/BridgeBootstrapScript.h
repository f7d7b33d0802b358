#pragma once

// The script injected into the top frame at document start. It publishes the frozen page
// API on `window.electronAPI`, turns each call into one request to the page handler, and
// defines `window.__quorinNativeDispatch` through which the host pushes events.

#include "BridgeMethod.h"
#include "BridgeValue.h"
#include "core/Result.h"

#include <array>
#include <string>
#include <string_view>

namespace quorin {

enum class BridgeBootstrapScriptError {
    EncodingFailed, // an embedded map could not be serialised as UTF-8 JSON
};

class BridgeBootstrapScript {
public:
    static constexpr std::size_t publicAPIPathCount = 43;

    BridgeBootstrapScript() = delete;

    static Result<std::string, BridgeBootstrapScriptError> make(const BridgeValue::Object& runtimeConfig, const BridgeValue::Object& nativeHost);

    // The dotted member paths of the published API object.
    static const std::array<std::string_view, publicAPIPathCount>& publicAPIPaths();
    // Every method the page can call, in wire-table order.
    static const std::array<BridgeMethod, bridgeMethodCount>& rpcMethods();

    // JSON text of an object that is safe to place inside script text: keys sorted, "/" as is,
    // "<", U+2028 and U+2029 written as \u escapes. Fails when a string is not valid UTF-8.
    static Result<std::string, BridgeBootstrapScriptError> safeJSONText(const BridgeValue::Object& object);
};

} // namespace quorin
