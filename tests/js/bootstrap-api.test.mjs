import assert from 'node:assert/strict';
import { test } from 'node:test';

import { defaultNativeHost, defaultRuntimeConfig, hostList, leafPaths, loadPage, memberAt, okReply, settle } from './harness.mjs';

// The published API: path, kind, wire method or event, a call, and the arguments it must post.
const apiTable = [
  { path: 'runtimeConfig', kind: 'data' },
  { path: 'nativeHost', kind: 'data' },
  { path: 'getAppInfo', kind: 'invoke', method: 'getAppInfo', call: [], posted: [] },
  { path: 'getResourceCacheSize', kind: 'invoke', method: 'getResourceCacheSize', call: [], posted: [] },
  { path: 'getRuntimeConfig', kind: 'invoke', method: 'getRuntimeConfig', call: [], posted: [] },
  { path: 'getSystemTheme', kind: 'invoke', method: 'getSystemTheme', call: [], posted: [] },
  { path: 'api.request', kind: 'invoke', method: 'api.request', call: [{ method: 'GET', path: '/v1/news' }], posted: [{ method: 'GET', path: '/v1/news' }] },
  { path: 'game.open', kind: 'invoke', method: 'game.open', call: [{ server: 3 }], posted: [{ server: 3 }] },
  { path: 'game.close', kind: 'invoke', method: 'game.close', call: [], posted: [] },
  { path: 'launcherUpdates.getState', kind: 'invoke', method: 'launcherUpdates.getState', call: [], posted: [] },
  { path: 'launcherUpdates.check', kind: 'invoke', method: 'launcherUpdates.check', call: [], posted: [] },
  { path: 'launcherUpdates.download', kind: 'invoke', method: 'launcherUpdates.download', call: [], posted: [] },
  { path: 'launcherUpdates.install', kind: 'invoke', method: 'launcherUpdates.install', call: [], posted: [] },
  { path: 'launcherUpdates.onStateChanged', kind: 'subscribe', event: 'updateStateChanged' },
  { path: 'preferences.initialize', kind: 'invoke', method: 'preferences.initialize', call: [{ locale: 'de' }], posted: [{ locale: 'de' }] },
  { path: 'preferences.setLocale', kind: 'invoke', method: 'preferences.setLocale', call: ['fr'], posted: ['fr'] },
  { path: 'preferences.setAudioMuted', kind: 'invoke', method: 'preferences.setAudioMuted', call: [true], posted: [true] },
  { path: 'preferences.setPlayBackgroundTheme', kind: 'invoke', method: 'preferences.setPlayBackgroundTheme', call: ['s1', 'https://cdn.example.test/a.png'], posted: ['s1', 'https://cdn.example.test/a.png'] },
  { path: 'preferences.clearPlayBackgroundTheme', kind: 'invoke', method: 'preferences.clearPlayBackgroundTheme', call: ['s1'], posted: ['s1'] },
  { path: 'preferences.onChanged', kind: 'subscribe', event: 'preferencesChanged' },
  { path: 'getStartupUrl', kind: 'invoke', method: 'getStartupUrl', call: [], posted: [] },
  { path: 'updateDiscordActivity', kind: 'fire', method: 'updateDiscordActivity', call: [{ details: 'Lobby' }], posted: [{ details: 'Lobby' }] },
  { path: 'clearDiscordActivity', kind: 'fire', method: 'clearDiscordActivity', call: [], posted: [] },
  { path: 'savedAccounts.list', kind: 'invoke', method: 'savedAccounts.list', call: [], posted: [] },
  { path: 'savedAccounts.upsert', kind: 'invoke', method: 'savedAccounts.upsert', call: [{ id: 'a1', name: 'Ann' }], posted: [{ id: 'a1', name: 'Ann' }] },
  { path: 'savedAccounts.remove', kind: 'invoke', method: 'savedAccounts.remove', call: ['a1'], posted: ['a1'] },
  { path: 'auth.beginExternalLogin', kind: 'invoke', method: 'auth.beginExternalLogin', call: [], posted: [] },
  { path: 'openExternal', kind: 'invoke', method: 'openExternal', call: ['https://example.test/help'], posted: ['https://example.test/help'] },
  { path: 'clearResourceCache', kind: 'invoke', method: 'clearResourceCache', call: [], posted: [] },
  { path: 'copyText', kind: 'invoke', method: 'copyText', call: ['hello'], posted: ['hello'] },
  { path: 'showItemInFolder', kind: 'invoke', method: 'showItemInFolder', call: ['/tmp/x'], posted: ['/tmp/x'] },
  { path: 'onDeepLink', kind: 'subscribe', event: 'deepLink' },
  { path: 'onGameNavigationRedirect', kind: 'subscribe', event: 'gameNavigationRedirect' },
  { path: 'windowMinimize', kind: 'fire', method: 'windowMinimize', call: [], posted: [] },
  { path: 'windowMaximize', kind: 'fire', method: 'windowMaximize', call: [], posted: [] },
  { path: 'windowClose', kind: 'fire', method: 'windowClose', call: [], posted: [] },
  { path: 'windowIsMaximized', kind: 'invoke', method: 'windowIsMaximized', call: [], posted: [] },
  { path: 'zoomIn', kind: 'fire', method: 'zoomIn', call: [], posted: [] },
  { path: 'zoomOut', kind: 'fire', method: 'zoomOut', call: [], posted: [] },
  { path: 'zoomReset', kind: 'fire', method: 'zoomReset', call: [], posted: [] },
  { path: 'getZoomFactor', kind: 'invoke', method: 'getZoomFactor', call: [], posted: [] },
  { path: 'setAudioMuted', kind: 'fire', method: 'setAudioMuted', call: [false], posted: [false] },
  { path: 'getAudioMuted', kind: 'invoke', method: 'getAudioMuted', call: [], posted: [] },
];

const sorted = (list) => [...list].sort();

test('the published paths are exactly the table, the host list and nothing else', () => {
  const { api } = loadPage();
  const tablePaths = apiTable.map((row) => row.path);
  assert.equal(tablePaths.length, 43);
  assert.deepEqual(sorted(leafPaths(api)), sorted(tablePaths));
  assert.deepEqual(sorted(hostList('--paths')), sorted(tablePaths));
});

test('the callable rows cover every host method once', () => {
  const methods = apiTable.filter((row) => row.method).map((row) => row.method);
  assert.equal(new Set(methods).size, methods.length);
  assert.deepEqual(sorted(methods), sorted(hostList('--methods')));
  assert.equal(methods.length, 37);
});

for (const row of apiTable.filter((entry) => entry.kind === 'invoke' || entry.kind === 'fire')) {
  test(`${row.path} posts ${row.method} with its arguments`, async () => {
    const page = loadPage({ respond: okReply({ answeredFor: row.method }) });
    const result = memberAt(page.api, row.path)(...row.call);
    if (row.kind === 'invoke') {
      assert.deepEqual(await result, { answeredFor: row.method });
    } else {
      assert.equal(result, undefined);
    }
    await settle();
    assert.equal(page.posts.length, 1);
    const [post] = page.posts;
    assert.deepEqual(Object.keys(post).sort(), ['arguments', 'method', 'requestId', 'schemaVersion']);
    assert.equal(post.schemaVersion, 1);
    assert.equal(post.method, row.method);
    assert.match(post.requestId, /^linux_\d+_1$/);
    assert.deepEqual(post.arguments, row.posted);
  });
}

for (const row of apiTable.filter((entry) => entry.kind === 'subscribe')) {
  test(`${row.path} subscribes to ${row.event} without posting`, async () => {
    const page = loadPage();
    const received = [];
    const unsubscribe = memberAt(page.api, row.path)((payload) => received.push(payload));
    assert.equal(typeof unsubscribe, 'function');
    page.window.__quorinNativeDispatch(row.event, { n: 1 });
    unsubscribe();
    page.window.__quorinNativeDispatch(row.event, { n: 2 });
    await settle();
    assert.deepEqual(received, [{ n: 1 }]);
    assert.equal(page.posts.length, 0);
  });
}

test('missing or falsy payloads post an empty object where the API says so', async () => {
  const cases = [
    { call: (api) => api.preferences.initialize(), method: 'preferences.initialize' },
    { call: (api) => api.preferences.initialize(null), method: 'preferences.initialize' },
    { call: (api) => api.preferences.initialize(0), method: 'preferences.initialize' },
    { call: (api) => api.updateDiscordActivity(), method: 'updateDiscordActivity' },
    { call: (api) => api.updateDiscordActivity(''), method: 'updateDiscordActivity' },
  ];
  for (const { call, method } of cases) {
    const page = loadPage();
    await call(page.api);
    await settle();
    assert.deepEqual(page.posts.map((post) => [post.method, post.arguments]), [[method, [{}]]]);
  }
});

test('arguments beyond the documented ones are not posted', async () => {
  const page = loadPage();
  await page.api.getAppInfo('extra', 1);
  await page.api.copyText('a', 'b');
  assert.deepEqual(page.posts.map((post) => post.arguments), [[], ['a']]);
});

test('the data members are the embedded maps', () => {
  const { api } = loadPage();
  assert.deepEqual({ ...api.runtimeConfig }, defaultRuntimeConfig);
  assert.deepEqual({ ...api.nativeHost }, defaultNativeHost);
  assert.ok(Object.isFrozen(api.runtimeConfig));
  assert.ok(Object.isFrozen(api.nativeHost));
});

test('window.electronAPI cannot be replaced, redefined or deleted', () => {
  const page = loadPage();
  const original = page.window.electronAPI;
  const descriptor = Object.getOwnPropertyDescriptor(page.window, 'electronAPI');
  assert.deepEqual(
    { writable: descriptor.writable, enumerable: descriptor.enumerable, configurable: descriptor.configurable },
    { writable: false, enumerable: true, configurable: false });

  assert.throws(() => page.run("'use strict'; window.electronAPI = {};"), { name: 'TypeError' });
  assert.throws(() => page.run("Object.defineProperty(window, 'electronAPI', { value: {} });"), { name: 'TypeError' });
  let deleted;
  try {
    deleted = page.run("'use strict'; delete window.electronAPI;");
  } catch (error) {
    deleted = error.name;
  }
  assert.notEqual(deleted, true);
  assert.equal(page.window.electronAPI, original);
});

test('the API object is frozen at the top level only', () => {
  const page = loadPage();
  const api = page.window.electronAPI;
  const originalGetAppInfo = api.getAppInfo;
  assert.ok(Object.isFrozen(api));
  assert.throws(() => page.run("'use strict'; window.electronAPI.getAppInfo = () => 1;"), { name: 'TypeError' });
  assert.throws(() => page.run("'use strict'; window.electronAPI.injected = 1;"), { name: 'TypeError' });
  assert.throws(() => page.run("'use strict'; delete window.electronAPI.game;"), { name: 'TypeError' });
  assert.equal(api.getAppInfo, originalGetAppInfo);
  assert.equal(api.injected, undefined);
  assert.equal(typeof api.game.open, 'function');
  for (const group of ['api', 'game', 'launcherUpdates', 'preferences', 'savedAccounts', 'auth']) {
    assert.equal(Object.isFrozen(api[group]), false, group);
  }
});

test('__quorinNativeDispatch is read-only, permanent and hidden from enumeration', () => {
  const page = loadPage();
  const dispatch = page.window.__quorinNativeDispatch;
  const descriptor = Object.getOwnPropertyDescriptor(page.window, '__quorinNativeDispatch');
  assert.equal(typeof descriptor.value, 'function');
  assert.deepEqual(
    { writable: descriptor.writable, enumerable: descriptor.enumerable, configurable: descriptor.configurable },
    { writable: false, enumerable: false, configurable: false });
  assert.ok(!Object.keys(page.window).includes('__quorinNativeDispatch'));
  assert.throws(() => page.run("'use strict'; window.__quorinNativeDispatch = () => {};"), { name: 'TypeError' });
  assert.equal(page.window.__quorinNativeDispatch, dispatch);
});
