import assert from 'node:assert/strict';
import { test } from 'node:test';

import { bootstrapScript, defaultNativeHost, loadPage } from './harness.mjs';

const dispatchOf = (page) => page.window.__quorinNativeDispatch;

test('an event dispatched twice before anyone listens reaches only the first subscriber, with the later payload', () => {
  const page = loadPage();
  dispatchOf(page)('deepLink', { url: 'first' });
  dispatchOf(page)('deepLink', { url: 'second' });
  const first = [];
  const second = [];
  page.api.onDeepLink((payload) => first.push(payload));
  page.api.onDeepLink((payload) => second.push(payload));
  assert.deepEqual(first, [{ url: 'second' }]);
  assert.deepEqual(second, []);
});

test('pending payloads are kept per event name', () => {
  const page = loadPage();
  dispatchOf(page)('deepLink', 'link');
  dispatchOf(page)('preferencesChanged', 'prefs');
  const links = [];
  const prefs = [];
  page.api.preferences.onChanged((payload) => prefs.push(payload));
  page.api.onDeepLink((payload) => links.push(payload));
  assert.deepEqual([links, prefs], [['link'], ['prefs']]);
});

test('every listener gets the event, in subscription order, even when one throws', () => {
  const page = loadPage();
  const calls = [];
  page.api.launcherUpdates.onStateChanged((payload) => calls.push(['a', payload]));
  page.api.launcherUpdates.onStateChanged(() => {
    calls.push(['thrower']);
    throw new Error('listener bug');
  });
  page.api.launcherUpdates.onStateChanged((payload) => calls.push(['c', payload]));
  assert.doesNotThrow(() => dispatchOf(page)('updateStateChanged', { status: 'idle' }));
  assert.deepEqual(calls, [['a', { status: 'idle' }], ['thrower'], ['c', { status: 'idle' }]]);
});

test('an event delivered to listeners is not kept for later subscribers', () => {
  const page = loadPage();
  page.api.onDeepLink(() => {});
  dispatchOf(page)('deepLink', 'delivered');
  const late = [];
  page.api.onDeepLink((payload) => late.push(payload));
  assert.deepEqual(late, []);
});

test('unsubscribing removes the listener, and with no listeners left events wait again', () => {
  const page = loadPage();
  const received = [];
  const unsubscribe = page.api.onDeepLink((payload) => received.push(payload));
  dispatchOf(page)('deepLink', 1);
  unsubscribe();
  unsubscribe();
  dispatchOf(page)('deepLink', 2);
  assert.deepEqual(received, [1]);
  const later = [];
  page.api.onDeepLink((payload) => later.push(payload));
  assert.deepEqual(later, [2]);
});

test('a listener that unsubscribes another during dispatch does not stop this round', () => {
  const page = loadPage();
  const calls = [];
  let unsubscribeSecond;
  page.api.onDeepLink(() => {
    calls.push('first');
    unsubscribeSecond();
  });
  unsubscribeSecond = page.api.onDeepLink(() => calls.push('second'));
  dispatchOf(page)('deepLink', null);
  dispatchOf(page)('deepLink', null);
  assert.deepEqual(calls, ['first', 'second', 'first']);
});

test('a callback that is not a function gets a no-op unsubscribe and takes no pending payload', () => {
  const page = loadPage();
  dispatchOf(page)('deepLink', 'waiting');
  for (const notAFunction of [undefined, null, 'callback', { handleEvent() {} }]) {
    const unsubscribe = page.api.onDeepLink(notAFunction);
    assert.equal(typeof unsubscribe, 'function');
    assert.equal(unsubscribe(), undefined);
  }
  const received = [];
  page.api.onDeepLink((payload) => received.push(payload));
  assert.deepEqual(received, ['waiting']);
});

test('a subscriber that throws on its pending payload still subscribes', () => {
  const page = loadPage();
  dispatchOf(page)('preferencesChanged', 'p1');
  const seen = [];
  let unsubscribe;
  assert.doesNotThrow(() => {
    unsubscribe = page.api.preferences.onChanged((payload) => {
      seen.push(payload);
      throw new Error('listener bug');
    });
  });
  dispatchOf(page)('preferencesChanged', 'p2');
  unsubscribe();
  dispatchOf(page)('preferencesChanged', 'p3');
  assert.deepEqual(seen, ['p1', 'p2']);
});

test('the event name is converted to a string', () => {
  const page = loadPage();
  const received = [];
  page.api.onDeepLink((payload) => received.push(payload));
  dispatchOf(page)({ toString: () => 'deepLink' }, 'converted');
  assert.deepEqual(received, ['converted']);
});

test('the runtime host mark is set at once when the document element exists', () => {
  const page = loadPage();
  assert.equal(page.document.documentElement.dataset.runtimeHost, 'linux');
  assert.equal(page.observers.length, 0);
});

test('the runtime host mark waits for the document element and then stops watching', () => {
  const page = loadPage({ documentElement: false });
  assert.equal(page.observers.length, 1);
  const [observer] = page.observers;
  assert.equal(observer.observed.length, 1);
  assert.equal(observer.observed[0].target, page.document);
  assert.equal(observer.observed[0].options.childList, true);

  observer.callback([], observer);
  assert.equal(observer.disconnected, false);

  page.document.documentElement = { dataset: {} };
  observer.callback([], observer);
  assert.equal(page.document.documentElement.dataset.runtimeHost, 'linux');
  assert.equal(observer.disconnected, true);
});

test('another host kind gets no mark and no observer', () => {
  for (const kind of ['macos', 'Linux', undefined]) {
    const nativeHost = { ...defaultNativeHost, kind };
    const present = loadPage({ script: bootstrapScript(undefined, nativeHost) });
    assert.equal(present.document.documentElement.dataset.runtimeHost, undefined, String(kind));
    const absent = loadPage({ script: bootstrapScript(undefined, nativeHost), documentElement: false });
    assert.equal(absent.observers.length, 0, String(kind));
  }
});

test('text that could end a script element or a line is escaped in the script and intact on the page', () => {
  const runtimeConfig = {
    banner: '</script><script>alert(1)</script>',
    lines: 'a\u2028b\u2029c',
    path: 'https://cdn.example.test/a/b',
    nested: { note: '<!-- x -->' },
  };
  const script = bootstrapScript(runtimeConfig);
  assert.ok(!script.includes('</script>'));
  assert.ok(!script.includes('<!--'));
  assert.ok(!script.includes('\u2028') && !script.includes('\u2029'));
  assert.ok(script.includes('\\u003c/script>'));
  assert.ok(script.includes('\\u2028') && script.includes('\\u2029'));
  assert.ok(script.includes('"https://cdn.example.test/a/b"'), 'slashes stay unescaped');

  const { api } = loadPage({ script });
  assert.equal(api.runtimeConfig.banner, runtimeConfig.banner);
  assert.equal(api.runtimeConfig.lines, runtimeConfig.lines);
  assert.equal(api.runtimeConfig.nested.note, runtimeConfig.nested.note);
  assert.ok(Object.isFrozen(api.runtimeConfig));
});
