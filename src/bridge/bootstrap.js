(function () {
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
  // The page API's members in order: {path, method, argumentCount, fire, emptyObjectDefault}
  // for host methods, {path, event} for event subscriptions.
  const apiMembers = @API_MEMBERS@;

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
      arguments: args,
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

  // One maker per argument count: each function declares its parameters, and the host gets
  // exactly those however many the page passes.
  const withArguments = [
    (send) => () => send([]),
    (send) => (first) => send([first]),
    (send) => (first, second) => send([first, second]),
  ];

  function memberFunction({ method, event, argumentCount, fire: fireAndForget, emptyObjectDefault }) {
    if (event !== undefined) {
      return (callback) => subscribe(event, callback);
    }
    return withArguments[argumentCount]((args) => {
      if (emptyObjectDefault) {
        args[0] = args[0] || {};
      }
      if (fireAndForget) {
        fire(method, args);
        return undefined;
      }
      return invoke(method, args);
    });
  }

  const api = { runtimeConfig, nativeHost };
  for (const member of apiMembers) {
    const keys = member.path.split('.');
    const name = keys.pop();
    let group = api;
    for (const key of keys) {
      group = group[key] ??= {};
    }
    const callable = memberFunction(member);
    Object.defineProperty(callable, 'name', { value: name });
    group[name] = callable;
  }

  Object.defineProperty(window, 'electronAPI', {
    value: Object.freeze(api),
    writable: false,
    enumerable: true,
    configurable: false,
  });
})();
