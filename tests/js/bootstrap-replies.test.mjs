import assert from 'node:assert/strict';
import { test } from 'node:test';

import { bootstrapScript, fixedNow, loadPage, settle, unhandledRejectionsDuring } from './harness.mjs';

async function rejection(promise) {
  try {
    await promise;
  } catch (error) {
    return { message: error.message, code: error.code };
  }
  assert.fail('expected the call to fail');
}

const replyCases = [
  { name: 'ok true yields the value', reply: { ok: true, value: { a: [1, 'x'] } }, value: { a: [1, 'x'] } },
  { name: 'ok true with a null value yields null', reply: { ok: true, value: null }, value: null },
  { name: 'ok false carries its code', reply: { ok: false, error: { code: 'API_TIMEOUT' } }, code: 'API_TIMEOUT' },
  { name: 'a non-string code is converted to a string', reply: { ok: false, error: { code: 42 } }, code: '42' },
  { name: 'a missing code is BRIDGE_FAILED', reply: { ok: false, error: {} }, code: 'BRIDGE_FAILED' },
  { name: 'an empty code is BRIDGE_FAILED', reply: { ok: false, error: { code: '' } }, code: 'BRIDGE_FAILED' },
  { name: 'a missing error is BRIDGE_FAILED', reply: { ok: false }, code: 'BRIDGE_FAILED' },
  { name: 'ok that is truthy but not true fails', reply: { ok: 'true', value: 1, error: { code: 'X_Y' } }, code: 'X_Y' },
  { name: 'ok 1 fails', reply: { ok: 1, value: 1 }, code: 'BRIDGE_FAILED' },
  { name: 'no reply at all is BRIDGE_FAILED', reply: undefined, code: 'BRIDGE_FAILED' },
  { name: 'a null reply is BRIDGE_FAILED', reply: null, code: 'BRIDGE_FAILED' },
];

for (const { name, reply, value, code } of replyCases) {
  test(`reply: ${name}`, async () => {
    const page = loadPage({ respond: () => reply });
    const call = page.api.getAppInfo();
    if (code === undefined) {
      assert.deepEqual(await call, value);
    } else {
      assert.deepEqual(await rejection(call), { message: code, code });
    }
  });
}

test('a post that rejects or throws fails with BRIDGE_FAILED', async () => {
  const failures = [
    () => Promise.reject(new Error('web process gone')),
    () => { throw new Error('sync failure'); },
  ];
  for (const respond of failures) {
    const page = loadPage({ respond });
    assert.deepEqual(await rejection(page.api.getZoomFactor()), { message: 'BRIDGE_FAILED', code: 'BRIDGE_FAILED' });
  }
});

test('a missing handler or post function makes invokes fail with BRIDGE_UNAVAILABLE', async () => {
  for (const handler of ['absent', 'withoutPost']) {
    const page = loadPage({ handler });
    assert.deepEqual(await rejection(page.api.savedAccounts.list()), { message: 'BRIDGE_UNAVAILABLE', code: 'BRIDGE_UNAVAILABLE' });
    assert.deepEqual(await rejection(page.api.api.request({})), { message: 'BRIDGE_UNAVAILABLE', code: 'BRIDGE_UNAVAILABLE' });
  }
});

test('the error thrown is an Error of the page', async () => {
  const page = loadPage({ handler: 'absent' });
  const PageError = page.run('Error');
  await assert.rejects(page.api.getAppInfo(), (error) => error instanceof PageError);
});

test('fire-and-forget calls swallow every failure', async () => {
  const setups = [
    { handler: 'absent' },
    { respond: () => ({ ok: false, error: { code: 'SYSTEM_FAILED' } }) },
    { respond: () => Promise.reject(new Error('gone')) },
  ];
  for (const setup of setups) {
    const page = loadPage(setup);
    const leaked = await unhandledRejectionsDuring(() => {
      assert.equal(page.api.windowClose(), undefined);
      assert.equal(page.api.setAudioMuted(true), undefined);
      assert.equal(page.api.updateDiscordActivity({ state: 'x' }), undefined);
    });
    assert.deepEqual(leaked, []);
  }
});

test('request ids are the prefix, the clock and a growing sequence', async () => {
  const page = loadPage();
  await page.api.getAppInfo();
  await page.api.getSystemTheme();
  page.api.zoomIn();
  await settle();
  const ids = page.posts.map((post) => post.requestId);
  assert.deepEqual(ids, [`linux_${fixedNow}_1`, `linux_${fixedNow}_2`, `linux_${fixedNow}_3`]);
});

// The sequence has no seam in the shipped script, so the test starts it near the wrap by
// rewriting its initializer rather than making a billion calls.
test('the sequence wraps to 0 at 1,000,000,000', async () => {
  const initializer = 'let sequence = 0;';
  const script = bootstrapScript();
  assert.ok(script.includes(initializer), 'the initializer this test rewrites must exist');
  const page = loadPage({ script: script.replace(initializer, 'let sequence = 999999998;') });
  for (let i = 0; i < 3; i += 1) {
    await page.api.getAppInfo();
  }
  const ids = page.posts.map((post) => post.requestId);
  assert.deepEqual(ids, [`linux_${fixedNow}_999999999`, `linux_${fixedNow}_0`, `linux_${fixedNow}_1`]);
  // The longest id still satisfies the host's request id rule.
  assert.match(ids[0], /^[A-Za-z0-9_-]{1,64}$/);
});

test('requests carry distinct ids and each promise gets its own reply when answered out of order', async () => {
  const waiting = [];
  const page = loadPage({
    respond: (body) => new Promise((resolve) => waiting.push(() => resolve({ ok: true, requestId: body.requestId, value: body.method }))),
  });
  const first = page.api.getAppInfo();
  const second = page.api.getZoomFactor();
  await settle();
  assert.equal(waiting.length, 2);
  waiting[1]();
  assert.equal(await second, 'getZoomFactor');
  waiting[0]();
  assert.equal(await first, 'getAppInfo');
  assert.notEqual(page.posts[0].requestId, page.posts[1].requestId);
});

test('page code cannot swap the post function after load', async () => {
  const page = loadPage();
  const hijacked = [];
  page.bridge.postMessage = (body) => {
    hijacked.push(body);
    return Promise.resolve({ ok: true, value: 'hijacked' });
  };
  assert.equal(await page.api.getAppInfo(), null);
  assert.equal(hijacked.length, 0);
  assert.equal(page.posts.length, 1);
});

test('a handler defined after load is not picked up', async () => {
  const page = loadPage({ handler: 'absent' });
  page.window.__quorinBridge = { postMessage: () => Promise.resolve({ ok: true, value: 1 }) };
  assert.deepEqual(await rejection(page.api.getAppInfo()), { message: 'BRIDGE_UNAVAILABLE', code: 'BRIDGE_UNAVAILABLE' });
});
