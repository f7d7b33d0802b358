// Runs the bootstrap script bootstrap_script_dump prints in a fresh context standing in for a page.

import { execFileSync } from 'node:child_process';
import vm from 'node:vm';

export const runtimeConfig = { apiBaseUrl: 'https://cdn.example.test/a/b', banner: '</script><!-- x -->\u2028\u2029' };
export const nativeHost = { kind: 'linux', version: '4.2.0' };
export const fixedNow = 1700000000123;

export const script = execFileSync(process.env.QUORIN_BOOTSTRAP_SCRIPT_DUMP, { encoding: 'utf8' });

export const okReply = (value = null) => (body) => ({ ok: true, requestId: body.requestId, value });

export function loadPage({ source = script, handler = 'present', documentElement = true, respond = okReply() } = {}) {
  const page = { posts: [], observers: [], respond, document: { documentElement: documentElement ? { dataset: {} } : null } };
  class MutationObserver {
    constructor(callback) { page.observers.push(Object.assign(this, { callback, observed: [], disconnected: false })); }
    observe(target, options) { this.observed.push({ target, options }); }
    disconnect() { this.disconnected = true; }
  }
  const context = vm.createContext({ document: page.document, MutationObserver });
  vm.runInContext(`globalThis.window = globalThis; Date.now = () => ${fixedNow};`, context);
  if (handler !== 'absent') {
    // The extension sends JSON text across; the host sees exactly what JSON.stringify gives.
    page.bridge = handler === 'withoutPost' ? {} : {
      postMessage(body) {
        const sent = JSON.parse(JSON.stringify(body));
        page.posts.push(sent);
        return Promise.resolve().then(() => page.respond(sent));
      },
    };
    Object.defineProperty(context, '__quorinBridge', { value: page.bridge });
  }
  vm.runInContext(source, context, { filename: 'bootstrap.js' });
  return Object.assign(page, { window: context, api: context.electronAPI, run: (code) => vm.runInContext(code, context) });
}

export const settle = () => new Promise((resolve) => setImmediate(resolve));
