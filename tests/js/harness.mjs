// Loads the host's bootstrap script into a fresh JavaScript context that stands in for a
// page: a window that is the global object, a document whose root element may appear later,
// a recording MutationObserver and the page handler object that the web-process extension
// would define.

import { execFileSync } from 'node:child_process';
import vm from 'node:vm';

const dumpProgram = process.env.QUORIN_BOOTSTRAP_SCRIPT_DUMP;
if (!dumpProgram) {
  throw new Error('QUORIN_BOOTSTRAP_SCRIPT_DUMP must name the bootstrap_script_dump program');
}

export const defaultRuntimeConfig = { apiBaseUrl: 'https://api.example.test', channel: 'stable' };
export const defaultNativeHost = { kind: 'linux', version: '4.2.0', applicationId: 'com.quorin42.desktop' };
export const fixedNow = 1700000000123;

const scriptCache = new Map();

export function bootstrapScript(runtimeConfig = defaultRuntimeConfig, nativeHost = defaultNativeHost) {
  const args = [JSON.stringify(runtimeConfig), JSON.stringify(nativeHost)];
  const key = args.join('\n');
  if (!scriptCache.has(key)) {
    scriptCache.set(key, execFileSync(dumpProgram, args, { encoding: 'utf8' }));
  }
  return scriptCache.get(key);
}

export function hostList(flag) {
  return execFileSync(dumpProgram, [flag], { encoding: 'utf8' }).split('\n').filter((line) => line !== '');
}

// The reply the host would give to a valid request: ok, echoing the id.
export function okReply(value = null) {
  return (body) => ({ ok: true, requestId: body.requestId, value });
}

export function loadPage({
  script = bootstrapScript(),
  handler = 'present',
  documentElement = true,
  respond = okReply(),
} = {}) {
  const posts = [];
  const observers = [];
  const page = { posts, observers, respond };

  class RecordingMutationObserver {
    constructor(callback) {
      this.callback = callback;
      this.observed = [];
      this.disconnected = false;
      observers.push(this);
    }
    observe(target, options) {
      this.observed.push({ target, options });
    }
    disconnect() {
      this.disconnected = true;
    }
  }

  page.document = { documentElement: documentElement ? { dataset: {} } : null };
  const context = vm.createContext({ document: page.document, MutationObserver: RecordingMutationObserver });
  vm.runInContext('globalThis.window = globalThis;', context);
  vm.runInContext(`Date.now = () => ${fixedNow};`, context);

  if (handler !== 'absent') {
    // The extension sends JSON text across; the host sees exactly what JSON.stringify gives.
    const bridge = handler === 'withoutPost' ? {} : {
      postMessage(body) {
        const sent = JSON.parse(JSON.stringify(body));
        posts.push(sent);
        return Promise.resolve().then(() => page.respond(sent));
      },
    };
    Object.defineProperty(context, '__quorinBridge', { value: bridge, writable: false, enumerable: false, configurable: false });
    page.bridge = bridge;
  }

  vm.runInContext(script, context, { filename: 'bootstrap.js' });
  page.window = context;
  page.api = context.electronAPI;
  page.run = (code) => vm.runInContext(code, context);
  return page;
}

// Lets every pending promise reaction run.
export function settle() {
  return new Promise((resolve) => setImmediate(resolve));
}

// The leaf paths of the API object; the two data members count as leaves.
export function leafPaths(object, prefix = '') {
  const paths = [];
  for (const key of Object.keys(object)) {
    const path = prefix + key;
    const member = object[key];
    const isGroup = member !== null && typeof member === 'object' && path !== 'runtimeConfig' && path !== 'nativeHost';
    paths.push(...(isGroup ? leafPaths(member, path + '.') : [path]));
  }
  return paths;
}

export function memberAt(object, path) {
  return path.split('.').reduce((current, key) => current[key], object);
}

// Runs `body` and returns the unhandled rejections it left behind.
export async function unhandledRejectionsDuring(body) {
  const seen = [];
  const record = (reason) => seen.push(reason);
  process.on('unhandledRejection', record);
  try {
    await body();
    await settle();
    await settle();
  } finally {
    process.off('unhandledRejection', record);
  }
  return seen;
}
