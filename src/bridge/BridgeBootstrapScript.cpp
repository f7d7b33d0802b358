#include "BridgeBootstrapScript.h"

#include "BridgePageHandler.h"
#include "core/PlatformValues.h"

#include <nlohmann/json.hpp>

namespace quorin {

namespace {

// The page side of the bridge. "@NAME@" markers are filled with JavaScript string literals of
// the platform constants once; the two maps are concatenated in at their markers by make().
constexpr std::string_view scriptTemplate = R"JS((function () {
  'use strict';

  // Captured before any page script runs, so that later page code cannot swap them.
  const handler = window[@HANDLER_GLOBAL@] ?? null;
  const post = handler !== null && typeof handler.postMessage === 'function' ? handler.postMessage : null;
  const apply = Reflect.apply;
  const now = Date.now;

  let sequence = 0;
  const listeners = new Map();
  const pendingEvents = new Map();

  const runtimeConfig = Object.freeze(@RUNTIME_CONFIG@);
  const nativeHost = Object.freeze(@NATIVE_HOST@);

  // The window's page-zoom style keys off this mark, so set it as soon as the element exists.
  if (nativeHost.kind === @HOST_KIND@) {
    const markRuntimeHost = () => {
      const root = document.documentElement;
      if (!root) {
        return false;
      }
      root.dataset.runtimeHost = @HOST_KIND@;
      return true;
    };
    if (!markRuntimeHost()) {
      const observer = new MutationObserver(() => {
        if (markRuntimeHost()) {
          observer.disconnect();
        }
      });
      observer.observe(document, { childList: true });
    }
  }

  function nextRequestId() {
    sequence = (sequence + 1) % 1000000000;
    return @REQUEST_ID_PREFIX@ + now() + '_' + sequence;
  }

  function bridgeError(code) {
    const error = new Error(code);
    error.code = code;
    return error;
  }

  function replyErrorCode(reply) {
    const code = reply && reply.error ? reply.error.code : undefined;
    const text = code === undefined || code === null ? '' : String(code);
    return text === '' ? 'BRIDGE_FAILED' : text;
  }

  async function invoke(method, args) {
    if (post === null) {
      throw bridgeError('BRIDGE_UNAVAILABLE');
    }
    const body = {
      schemaVersion: 1,
      requestId: nextRequestId(),
      method,
      arguments: Array.isArray(args) ? args : [],
    };
    let reply = null;
    try {
      reply = await apply(post, handler, [body]);
    } catch {
      // A post that fails outright has no reply.
    }
    if (!reply || reply.ok !== true) {
      throw bridgeError(replyErrorCode(reply));
    }
    return reply.value;
  }

  async function fire(method, args) {
    try {
      await invoke(method, args);
    } catch {
      // Fire-and-forget calls fail silently.
    }
  }

  function deliver(listener, payload) {
    try {
      listener(payload);
    } catch {
      // One failing listener must not keep the event from the others.
    }
  }

  function subscribe(eventName, callback) {
    if (typeof callback !== 'function') {
      return () => {};
    }
    let set = listeners.get(eventName);
    if (set === undefined) {
      set = new Set();
      listeners.set(eventName, set);
    }
    set.add(callback);
    if (pendingEvents.has(eventName)) {
      const payload = pendingEvents.get(eventName);
      pendingEvents.delete(eventName);
      deliver(callback, payload);
    }
    return () => {
      const current = listeners.get(eventName);
      if (current === undefined) {
        return;
      }
      current.delete(callback);
      if (current.size === 0) {
        listeners.delete(eventName);
      }
    };
  }

  // Only the latest undelivered payload of each event waits for its first subscriber.
  function dispatchNativeEvent(eventName, payload) {
    const name = String(eventName);
    const set = listeners.get(name);
    if (set === undefined || set.size === 0) {
      pendingEvents.set(name, payload);
      return;
    }
    for (const listener of [...set]) {
      deliver(listener, payload);
    }
  }

  Object.defineProperty(window, '__quorinNativeDispatch', {
    value: dispatchNativeEvent,
    writable: false,
    enumerable: false,
    configurable: false,
  });

  const api = {
    runtimeConfig,
    nativeHost,
    getAppInfo: () => invoke('getAppInfo', []),
    getResourceCacheSize: () => invoke('getResourceCacheSize', []),
    getRuntimeConfig: () => invoke('getRuntimeConfig', []),
    getSystemTheme: () => invoke('getSystemTheme', []),
    api: {
      request: (payload) => invoke('api.request', [payload]),
    },
    game: {
      open: (payload) => invoke('game.open', [payload]),
      close: () => invoke('game.close', []),
    },
    launcherUpdates: {
      getState: () => invoke('launcherUpdates.getState', []),
      check: () => invoke('launcherUpdates.check', []),
      download: () => invoke('launcherUpdates.download', []),
      install: () => invoke('launcherUpdates.install', []),
      onStateChanged: (callback) => subscribe('updateStateChanged', callback),
    },
    preferences: {
      initialize: (legacy) => invoke('preferences.initialize', [legacy || {}]),
      setLocale: (locale) => invoke('preferences.setLocale', [locale]),
      setAudioMuted: (muted) => invoke('preferences.setAudioMuted', [muted]),
      setPlayBackgroundTheme: (serverId, imageUrl) => invoke('preferences.setPlayBackgroundTheme', [serverId, imageUrl]),
      clearPlayBackgroundTheme: (serverId) => invoke('preferences.clearPlayBackgroundTheme', [serverId]),
      onChanged: (callback) => subscribe('preferencesChanged', callback),
    },
    getStartupUrl: () => invoke('getStartupUrl', []),
    updateDiscordActivity: (payload) => { fire('updateDiscordActivity', [payload || {}]); },
    clearDiscordActivity: () => { fire('clearDiscordActivity', []); },
    savedAccounts: {
      list: () => invoke('savedAccounts.list', []),
      upsert: (entry) => invoke('savedAccounts.upsert', [entry]),
      remove: (id) => invoke('savedAccounts.remove', [id]),
    },
    auth: {
      beginExternalLogin: () => invoke('auth.beginExternalLogin', []),
    },
    openExternal: (url) => invoke('openExternal', [url]),
    clearResourceCache: () => invoke('clearResourceCache', []),
    copyText: (value) => invoke('copyText', [value]),
    showItemInFolder: (filePath) => invoke('showItemInFolder', [filePath]),
    onDeepLink: (callback) => subscribe('deepLink', callback),
    onGameNavigationRedirect: (callback) => subscribe('gameNavigationRedirect', callback),
    windowMinimize: () => { fire('windowMinimize', []); },
    windowMaximize: () => { fire('windowMaximize', []); },
    windowClose: () => { fire('windowClose', []); },
    windowIsMaximized: () => invoke('windowIsMaximized', []),
    zoomIn: () => { fire('zoomIn', []); },
    zoomOut: () => { fire('zoomOut', []); },
    zoomReset: () => { fire('zoomReset', []); },
    getZoomFactor: () => invoke('getZoomFactor', []),
    setAudioMuted: (muted) => { fire('setAudioMuted', [muted]); },
    getAudioMuted: () => invoke('getAudioMuted', []),
  };

  Object.defineProperty(window, 'electronAPI', {
    value: Object.freeze(api),
    writable: false,
    enumerable: true,
    configurable: false,
  });
})();
)JS";

constexpr std::string_view runtimeConfigMarker = "@RUNTIME_CONFIG@";
constexpr std::string_view nativeHostMarker = "@NATIVE_HOST@";

constexpr std::array<std::string_view, BridgeBootstrapScript::publicAPIPathCount> apiPaths = {
    "runtimeConfig",
    "nativeHost",
    "getAppInfo",
    "getResourceCacheSize",
    "getRuntimeConfig",
    "getSystemTheme",
    "api.request",
    "game.open",
    "game.close",
    "launcherUpdates.getState",
    "launcherUpdates.check",
    "launcherUpdates.download",
    "launcherUpdates.install",
    "launcherUpdates.onStateChanged",
    "preferences.initialize",
    "preferences.setLocale",
    "preferences.setAudioMuted",
    "preferences.setPlayBackgroundTheme",
    "preferences.clearPlayBackgroundTheme",
    "preferences.onChanged",
    "getStartupUrl",
    "updateDiscordActivity",
    "clearDiscordActivity",
    "savedAccounts.list",
    "savedAccounts.upsert",
    "savedAccounts.remove",
    "auth.beginExternalLogin",
    "openExternal",
    "clearResourceCache",
    "copyText",
    "showItemInFolder",
    "onDeepLink",
    "onGameNavigationRedirect",
    "windowMinimize",
    "windowMaximize",
    "windowClose",
    "windowIsMaximized",
    "zoomIn",
    "zoomOut",
    "zoomReset",
    "getZoomFactor",
    "setAudioMuted",
    "getAudioMuted",
};

std::string javaScriptStringLiteral(std::string_view text)
{
    return nlohmann::json(std::string(text)).dump();
}

void replaceAll(std::string& text, std::string_view marker, std::string_view replacement)
{
    for (auto at = text.find(marker); at != std::string::npos; at = text.find(marker, at + replacement.size()))
        text.replace(at, marker.size(), replacement);
}

// The fixed text around the two embedded maps: opening, middle and remainder.
struct ScriptPieces {
    std::string opening;
    std::string middle;
    std::string remainder;
};

ScriptPieces makeScriptPieces()
{
    std::string text(scriptTemplate);
    replaceAll(text, "@HANDLER_GLOBAL@", javaScriptStringLiteral(bridgePageHandlerGlobal));
    replaceAll(text, "@HOST_KIND@", javaScriptStringLiteral(PlatformValues::nativeHostKind));
    replaceAll(text, "@REQUEST_ID_PREFIX@", javaScriptStringLiteral(PlatformValues::requestIdPrefix));
    auto first = text.find(runtimeConfigMarker);
    auto second = text.find(nativeHostMarker);
    return {
        text.substr(0, first),
        text.substr(first + runtimeConfigMarker.size(), second - first - runtimeConfigMarker.size()),
        text.substr(second + nativeHostMarker.size()),
    };
}

const ScriptPieces& scriptPieces()
{
    static const ScriptPieces pieces = makeScriptPieces();
    return pieces;
}

// Keeps embedded data from closing a script element or ending a script line.
std::string escapeForScript(std::string_view json)
{
    std::string escaped;
    escaped.reserve(json.size());
    for (std::size_t i = 0; i < json.size(); ++i) {
        std::string_view rest = json.substr(i);
        if (rest.front() == '<') {
            escaped += "\\u003c";
        } else if (rest.starts_with("\xE2\x80\xA8")) {
            escaped += "\\u2028";
            i += 2;
        } else if (rest.starts_with("\xE2\x80\xA9")) {
            escaped += "\\u2029";
            i += 2;
        } else {
            escaped += rest.front();
        }
    }
    return escaped;
}

} // namespace

Result<std::string, BridgeBootstrapScriptError> BridgeBootstrapScript::safeJSONText(const BridgeValue::Object& object)
{
    std::string json;
    try {
        // Strict: bytes that are not UTF-8 are refused rather than replaced.
        json = BridgeValue::object(object).toJson().dump(-1, ' ', false, nlohmann::json::error_handler_t::strict);
    } catch (const nlohmann::json::exception&) {
        return fail(BridgeBootstrapScriptError::EncodingFailed);
    }
    return escapeForScript(json);
}

Result<std::string, BridgeBootstrapScriptError> BridgeBootstrapScript::make(const BridgeValue::Object& runtimeConfig, const BridgeValue::Object& nativeHost)
{
    auto runtimeConfigJSON = TRY(safeJSONText(runtimeConfig));
    auto nativeHostJSON = TRY(safeJSONText(nativeHost));
    const auto& pieces = scriptPieces();
    return pieces.opening + runtimeConfigJSON + pieces.middle + nativeHostJSON + pieces.remainder;
}

const std::array<std::string_view, BridgeBootstrapScript::publicAPIPathCount>& BridgeBootstrapScript::publicAPIPaths()
{
    return apiPaths;
}

const std::array<BridgeMethod, bridgeMethodCount>& BridgeBootstrapScript::rpcMethods()
{
    return allBridgeMethods();
}

} // namespace quorin
