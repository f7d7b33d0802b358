import assert from 'node:assert/strict';
import { test } from 'node:test';

import { fixedNow, loadPage, nativeHost, okReply, runtimeConfig, settle } from './harness.mjs';

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
    memberAt(page.api, path)((payload) => received.push(payload));
    page.window.__quorinNativeDispatch(event, 1);
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

// The escaping of the maps is BridgeBootstrapScriptTests' SafeJSONText; replacing, redefining or deleting either
// global is tried in the engine by tests/e2e/HostilePageTests.cpp.
test('the API object and its embedded maps are frozen, its groups are not, and only electronAPI is an enumerable global', () => {
  const page = loadPage();
  assert.deepEqual([{ ...page.api.runtimeConfig }, { ...page.api.nativeHost }], [runtimeConfig, nativeHost]);
  assert.ok(Object.isFrozen(page.api.runtimeConfig) && Object.isFrozen(page.api.nativeHost));
  assert.deepEqual(['electronAPI', '__quorinNativeDispatch'].map((name) => Object.getOwnPropertyDescriptor(page.window, name).enumerable), [true, false]);
  for (const change of ['window.electronAPI.getAppInfo = () => 1', 'window.electronAPI.injected = 1', 'delete window.electronAPI.game']) assert.throws(() => page.run(`'use strict'; ${change};`), { name: 'TypeError' });
  assert.deepEqual(['api', 'game', 'launcherUpdates', 'preferences', 'savedAccounts', 'auth'].filter((group) => Object.isFrozen(page.api[group])), []);
});
