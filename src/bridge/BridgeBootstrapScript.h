#pragma once

// The script injected into the top frame at document start (bootstrap.js, compiled in). It
// publishes the frozen page API on `window.electronAPI`, built from the bridge's method table,
// turns each call into one request to the page handler, and defines
// `window.__quorinNativeDispatch` through which the host pushes events.

#include "BridgeValue.h"
#include "core/Result.h"

#include <string>

namespace quorin {

struct BridgeBootstrapScriptError {
    enum class Case {
        EncodingFailed, // an embedded map could not be serialised as UTF-8 JSON
    };
    Case errorCase;

    static BridgeBootstrapScriptError encodingFailed() { return { Case::EncodingFailed }; }
    bool operator==(const BridgeBootstrapScriptError&) const = default;
};

class BridgeBootstrapScript {
public:
    BridgeBootstrapScript() = delete;

    static Result<std::string, BridgeBootstrapScriptError> make(const BridgeValue::Object& runtimeConfig, const BridgeValue::Object& nativeHost);

    // JSON text of an object that is safe to place inside script text: keys sorted, "/" as is,
    // "<", U+2028 and U+2029 written as \u escapes. Fails when a string is not valid UTF-8.
    static Result<std::string, BridgeBootstrapScriptError> safeJSONText(const BridgeValue::Object& object);
};

} // namespace quorin
