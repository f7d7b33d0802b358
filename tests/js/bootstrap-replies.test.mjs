import assert from 'node:assert/strict';
import { test } from 'node:test';

import { fixedNow, loadPage, script, settle } from './harness.mjs';

const replyCases = [
  { name: 'ok true yields the value', respond: () => ({ ok: true, value: { a: [1, 'x'] } }), value: { a: [1, 'x'] } },
  { name: 'a code that is not a string is converted', respond: () => ({ ok: false, error: { code: 42 } }), code: '42' },
  { name: 'an empty code', respond: () => ({ ok: false, error: { code: '' } }), code: 'BRIDGE_FAILED' },
  { name: 'ok that is truthy but not true', respond: () => ({ ok: 'true', value: 1 }), code: 'BRIDGE_FAILED' },
  { name: 'a post that fails', respond: () => Promise.reject(new Error('web process gone')), code: 'BRIDGE_FAILED' },
  { name: 'no handler', handler: 'absent', code: 'BRIDGE_UNAVAILABLE' },
  { name: 'a handler without postMessage', handler: 'withoutPost', code: 'BRIDGE_UNAVAILABLE' },
];

// A fire-and-forget call meets the same reply; a rejection it let through would fail the run.
for (const { name, handler, respond, value, code } of replyCases) {
  test(`reply: ${name}`, async () => {
    const page = loadPage({ handler, respond });
    assert.equal(page.api.windowClose(), undefined);
    const call = page.api.getAppInfo();
    if (code === undefined) return assert.deepEqual(await call, value);
    await assert.rejects(call, (error) => error instanceof page.run('Error') && error.message === code && error.code === code);
    return settle();
  });
}

// Starts the sequence near the wrap by rewriting its initializer rather than making a billion calls.
test('request ids are the prefix, the clock and a sequence that wraps at 1,000,000,000', async () => {
  const page = loadPage({ source: script.replace('let sequence = 0;', 'let sequence = 999999998;') });
  await Promise.all([1, 2, 3].map(() => page.api.getAppInfo()));
  assert.deepEqual(page.posts.map((post) => post.requestId), [`linux_${fixedNow}_999999999`, `linux_${fixedNow}_0`, `linux_${fixedNow}_1`]);
});

test('page code that overwrites globals after load changes nothing', async () => {
  const page = loadPage();
  page.run("__quorinBridge.postMessage = () => Promise.resolve({ ok: true, value: 'hijacked' });"
    + "Reflect.apply = () => { throw new Error('hijacked'); }; Date.now = () => 0;");
  assert.equal(await page.api.getAppInfo(), null);
  assert.equal(page.posts[0].requestId, `linux_${fixedNow}_1`);

  const late = loadPage({ handler: 'absent' });
  late.run('window.__quorinBridge = { postMessage: () => Promise.resolve({ ok: true, value: 1 }) };');
  await assert.rejects(late.api.getAppInfo(), { code: 'BRIDGE_UNAVAILABLE' });
});
