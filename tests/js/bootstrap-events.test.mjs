import assert from 'node:assert/strict';
import { test } from 'node:test';

import { loadPage, script } from './harness.mjs';

const recorder = (seen = []) => Object.assign((payload) => seen.push(payload), { seen });

test('only the latest undelivered payload of each event waits, for the first subscriber only', () => {
  const page = loadPage();
  const dispatch = page.window.__quorinNativeDispatch;
  dispatch('deepLink', 'first');
  dispatch({ toString: () => 'deepLink' }, 'second');
  dispatch('preferencesChanged', 'p1');
  assert.equal(page.api.onDeepLink({ handleEvent() {} })(), undefined);
  const [first, second, prefs] = [recorder(), recorder(), recorder()];
  page.api.onDeepLink(first);
  page.api.onDeepLink(second);
  page.api.preferences.onChanged((payload) => {
    prefs(payload);
    throw new Error('listener bug');
  });
  dispatch('preferencesChanged', 'p2');
  assert.deepEqual([first.seen, second.seen, prefs.seen], [['second'], [], ['p1', 'p2']]);
});

test('every listener gets the event in order, whatever another does, and delivered events are not kept', () => {
  const page = loadPage();
  const dispatch = page.window.__quorinNativeDispatch;
  const calls = [];
  let unsubscribeLast;
  const unsubscribeFirst = page.api.onDeepLink((payload) => calls.push(`a${payload}`));
  const unsubscribeThrower = page.api.onDeepLink(() => {
    unsubscribeLast();
    throw new Error('listener bug');
  });
  unsubscribeLast = page.api.onDeepLink((payload) => calls.push(`c${payload}`));
  dispatch('deepLink', 1);
  dispatch('deepLink', 2);
  [unsubscribeFirst, unsubscribeThrower, unsubscribeFirst].forEach((unsubscribe) => unsubscribe());
  dispatch('deepLink', 3);
  page.api.onDeepLink((payload) => calls.push(`d${payload}`));
  assert.deepEqual(calls, ['a1', 'c1', 'a2', 'd3']);
});

test('the runtime host mark is set at once, or when the document element appears, for this host kind only', () => {
  const otherKind = script.replace('"kind":"linux"', '"kind":"macos"');
  assert.equal(loadPage({ source: otherKind }).document.documentElement.dataset.runtimeHost, undefined);
  const page = loadPage({ documentElement: false });
  const [observer] = page.observers;
  assert.deepEqual(observer.observed.map(({ target, options }) => [target === page.document, options.childList]), [[true, true]]);
  observer.callback([], observer);
  assert.equal(observer.disconnected, false, 'no element yet');
  page.document.documentElement = { dataset: {} };
  observer.callback([], observer);
  assert.deepEqual([page.document.documentElement.dataset.runtimeHost, observer.disconnected], ['linux', true]);
});
