import assert from 'node:assert/strict';
import { test } from 'node:test';

import { fixedNow, loadPage, nativeHost, okReply, runtimeConfig, script, settle } from './harness.mjs';

// The published API is a contract with the web UI. Each callable member posts the method named
// like its path, with as many of its arguments as it declares.
const invokes = {
  getAppInfo: 0, getResourceCacheSize: 0, getRuntimeConfig: 0, getSystemTheme: 0, 'api.request': 1, 'game.open': 1,
  'game.close': 0, 'launcherUpdates.getState': 0, 'launcherUpdates.check': 0, 'launcherUpdates.download': 0,
  'launcherUpdates.install': 0, 'preferences.initialize': 1, 'preferences.setLocale': 1, 'preferences.setAudioMuted': 1,
  'preferences.setPlayBackgroundTheme': 2, 'preferences.clearPlayBackgroundTheme': 1, getStartupUrl: 0,
  'savedAccounts.list': 0, 'savedAccounts.upsert': 1, 'savedAccounts.remove': 1, 'auth.beginExternalLogin': 0,
  openExternal: 1, clearResourceCache: 0, copyText: 1, showItemInFolder: 1, windowIsMaximized: 0, getZoomFactor: 0, getAudioMuted: 0,
};
const fires = { updateDiscordActivity: 1, clearDiscordActivity: 0, windowMinimize: 0, windowMaximize: 0, windowClose: 0, zoomIn: 0, zoomOut: 0, zoomReset: 0, setAudioMuted: 1 };
const events = { 'launcherUpdates.onStateChanged': 'updateStateChanged', 'preferences.onChanged': 'preferencesChanged', onDeepLink: 'deepLink', onGameNavigationRedirect: 'gameNavigationRedirect' };
const dataMembers = ['runtimeConfig', 'nativeHost'];

const memberAt = (object, path) => path.split('.').reduce((current, key) => current[key], object);
const leafPaths = (object, prefix = '') => Object.entries(object).flatMap(([key, member]) =>
  (typeof member === 'object' && !dataMembers.includes(key) ? leafPaths(member, `${prefix}${key}.`) : [prefix + key]));

test('the page sees exactly the published members', () => {
  const published = [...Object.keys(invokes), ...Object.keys(fires), ...Object.keys(events), ...dataMembers];
  assert.equal(published.length, 43);
  assert.deepEqual(leafPaths(loadPage().api).sort(), published.sort());
});

for (const [path, count, replies] of [...Object.entries(invokes).map((e) => [...e, true]), ...Object.entries(fires).map((e) => [...e, false])]) {
  test(`${path} posts its method with its own arguments only`, async () => {
    const page = loadPage({ respond: okReply(path) });
    const member = memberAt(page.api, path);
    const call = [{ n: 1 }, 'second'].slice(0, count);
    assert.deepEqual([member.name, member.length], [path.split('.').pop(), count]);
    assert.equal(await member(...call, 'beyond'), replies ? path : undefined);
    await settle();
    assert.deepEqual(page.posts, [{ schemaVersion: 1, requestId: `linux_${fixedNow}_1`, method: path, arguments: call }]);
  });
}

for (const [path, event] of Object.entries(events)) {
  test(`${path} subscribes to ${event} without posting`, () => {
    const page = loadPage();
    const received = [];
    const unsubscribe = memberAt(page.api, path)((payload) => received.push(payload));
    page.window.__quorinNativeDispatch(event, 1);
    unsubscribe();
    page.window.__quorinNativeDispatch(event, 2);
    assert.deepEqual([received, page.posts], [[1], []]);
  });
}

test('a missing or falsy payload is posted as an empty object where the API says so', async () => {
  const page = loadPage();
  await page.api.preferences.initialize();
  page.api.updateDiscordActivity(0);
  await settle();
  assert.deepEqual(page.posts.map((post) => post.arguments), [[{}], [{}]]);
});

test('the data members are the embedded maps, frozen, and their text cannot end the script', () => {
  const { api } = loadPage();
  assert.deepEqual([{ ...api.runtimeConfig }, { ...api.nativeHost }], [runtimeConfig, nativeHost]);
  assert.ok(Object.isFrozen(api.runtimeConfig) && Object.isFrozen(api.nativeHost));
  assert.deepEqual(['</script>', '<!--', '\u2028', '\u2029'].filter((text) => script.includes(text)), []);
  assert.ok(script.includes('"https://cdn.example.test/a/b"'), 'slashes stay unescaped');
});

// Neither can be written, redefined or deleted (tests/e2e/HostilePageTests.cpp tries each in the engine).
test('the two globals are read-only and permanent, and only electronAPI is enumerable', () => {
  const flags = (page, name) => { const { writable, configurable, enumerable } = Object.getOwnPropertyDescriptor(page.window, name); return [writable, configurable, enumerable]; };
  const page = loadPage();
  assert.deepEqual([flags(page, 'electronAPI'), flags(page, '__quorinNativeDispatch')], [[false, false, true], [false, false, false]]);
});

test('the API object is frozen at the top level only', () => {
  const page = loadPage();
  for (const change of ['window.electronAPI.getAppInfo = () => 1', 'window.electronAPI.injected = 1', 'delete window.electronAPI.game']) assert.throws(() => page.run(`'use strict'; ${change};`), { name: 'TypeError' });
  assert.deepEqual(['api', 'game', 'launcherUpdates', 'preferences', 'savedAccounts', 'auth'].filter((group) => Object.isFrozen(page.api[group])), []);
});
