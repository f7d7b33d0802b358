// Sample launcher page: shows what the host reports and drives the window through the
// page API on window.electronAPI. Every value reaches the page as text, never as markup.
(() => {
  'use strict';

  const api = window.electronAPI;
  const statusLine = document.getElementById('status');

  function showStatus(text, isError = false) {
    statusLine.textContent = text;
    statusLine.classList.toggle('error', isError);
  }

  function errorCode(error) {
    const code = error && typeof error.code === 'string' ? error.code : '';
    return code || 'BRIDGE_FAILED';
  }

  let failedCalls = 0;

  // Runs one bridge call; a failure is shown on the status line by its code.
  async function call(label, invoke) {
    if (!api) {
      failedCalls += 1;
      showStatus(`${label}: BRIDGE_UNAVAILABLE`, true);
      return undefined;
    }
    try {
      return await invoke(api);
    } catch (error) {
      failedCalls += 1;
      showStatus(`${label}: ${errorCode(error)}`, true);
      return undefined;
    }
  }

  function describe(value) {
    if (typeof value === 'string') {
      return value === '' ? '(empty)' : value;
    }
    return JSON.stringify(value);
  }

  function fillFacts(list, object) {
    list.replaceChildren();
    for (const key of Object.keys(object || {}).sort()) {
      const term = document.createElement('dt');
      term.textContent = key;
      const detail = document.createElement('dd');
      detail.textContent = describe(object[key]);
      list.append(term, detail);
    }
  }

  async function showAppInfo() {
    const info = await call('getAppInfo', (bridge) => bridge.getAppInfo());
    if (!info) {
      return;
    }
    if (typeof info.appName === 'string' && info.appName) {
      document.getElementById('product-name').textContent = info.appName;
      document.title = info.appName;
    }
    fillFacts(document.getElementById('app-info'), info);
  }

  async function showRuntimeConfig() {
    const config = await call('getRuntimeConfig', (bridge) => bridge.getRuntimeConfig());
    if (config) {
      fillFacts(document.getElementById('runtime-config'), config);
    }
  }

  function showAnswer(id, text) {
    document.getElementById(id).textContent = text;
  }

  async function showZoomFactor() {
    const factor = await call('getZoomFactor', (bridge) => bridge.getZoomFactor());
    if (typeof factor === 'number') {
      document.getElementById('zoom-factor').value = `${Math.round(factor * 100)}%`;
    }
    return factor;
  }

  const muteToggle = document.getElementById('mute-toggle');

  function showMuted(muted) {
    muteToggle.setAttribute('aria-pressed', String(muted));
    muteToggle.textContent = muted ? 'Unmute' : 'Mute';
  }

  async function refreshMuted() {
    const muted = await call('getAudioMuted', (bridge) => bridge.getAudioMuted());
    if (typeof muted === 'boolean') {
      showMuted(muted);
    }
    return muted;
  }

  // Window, zoom and sound calls answer nothing themselves: read back what the host did.
  async function reportWindow(action) {
    const maximised = await call('windowIsMaximized', (bridge) => bridge.windowIsMaximized());
    if (typeof maximised === 'boolean') {
      showAnswer('window-answer', `${action}: the window is ${maximised ? '' : 'not '}maximised.`);
    }
  }

  // Window and zoom members are fire-and-forget: they return nothing and report no failure.
  function fire(action, ...args) {
    if (!api || typeof api[action] !== 'function') {
      showStatus(`${action}: BRIDGE_UNAVAILABLE`, true);
      return false;
    }
    api[action](...args);
    return true;
  }

  for (const button of document.querySelectorAll('button[data-action]')) {
    button.addEventListener('click', async () => {
      const action = button.dataset.action;
      if (!fire(action)) {
        return;
      }
      if (action.startsWith('zoom')) {
        const factor = await showZoomFactor();
        if (typeof factor === 'number') {
          showAnswer('view-answer', `${button.textContent.trim() || action}: the host zoom is ${Math.round(factor * 100)}%.`);
        }
      } else {
        reportWindow(button.textContent.trim());
      }
    });
  }

  muteToggle.addEventListener('click', async () => {
    const wanted = muteToggle.getAttribute('aria-pressed') !== 'true';
    if (!fire('setAudioMuted', wanted)) {
      return;
    }
    const muted = await refreshMuted();
    if (typeof muted === 'boolean') {
      const outcome = muted === wanted ? '' : ' (the host did not change it)';
      showAnswer('view-answer', `Sound is ${muted ? 'muted' : 'on'}${outcome}.`);
    }
  });

  // quorin42:// links: the one the launcher was started with, then each one handed over by a
  // later launch. Logged too, so a page console shows them.
  async function followLinks() {
    api.onDeepLink((link) => {
      showAnswer('last-link', describe(link));
      console.log(`deepLink ${link}`);
    });
    const startupLink = await call('getStartupUrl', (bridge) => bridge.getStartupUrl());
    if (typeof startupLink === 'string') {
      showAnswer('startup-link', startupLink);
    }
    console.log(`startupUrl ${describe(startupLink ?? '(none)')}`);
  }

  // Play: "game.open" with the payload from the text area, whose host page then runs in the
  // frame; "game.close" ends it. The host calls PlayGame.clearSession when the window closes.
  const playFrame = document.getElementById('play-frame');

  function clearSession() {
    playFrame.removeAttribute('src');
    playFrame.hidden = true;
  }
  window.PlayGame = { clearSession };

  async function playCall(label, invoke) {
    if (!api) {
      showAnswer('play-answer', `${label}: BRIDGE_UNAVAILABLE`);
      return undefined;
    }
    try {
      return await invoke(api.game);
    } catch (error) {
      showAnswer('play-answer', `${label}: ${errorCode(error)}`);
      return undefined;
    }
  }

  document.getElementById('play-open').addEventListener('click', async () => {
    let payload;
    try {
      payload = JSON.parse(document.getElementById('play-payload').value);
    } catch {
      showAnswer('play-answer', 'The play payload is not JSON.');
      return;
    }
    clearSession();
    const opened = await playCall('game.open', (game) => game.open(payload));
    if (!opened) {
      return;
    }
    // Without a game service the host answers {ok: false, code} instead of failing.
    if (opened.ok !== true || typeof opened.hostURL !== 'string') {
      showAnswer('play-answer', `game.open: ${typeof opened.code === 'string' ? opened.code : 'BRIDGE_FAILED'}`);
      return;
    }
    playFrame.src = opened.hostURL;
    playFrame.hidden = false;
    showAnswer('play-answer', `Playing: ${opened.hostURL}`);
  });

  document.getElementById('play-close').addEventListener('click', async () => {
    if (await playCall('game.close', (game) => game.close())) {
      clearSession();
      showAnswer('play-answer', 'The game is closed.');
    }
  });

  // API: one "api.request" GET to a path under the configured API address; the host answers
  // with the status, or refuses with a code (an address outside the API origin, a timeout...).
  document.getElementById('api-send').addEventListener('click', async () => {
    if (!api) {
      showAnswer('api-answer', 'api.request: BRIDGE_UNAVAILABLE');
      return;
    }
    const path = document.getElementById('api-path').value.trim().replace(/^\/+/, '');
    const url = new URL(path, `${api.runtimeConfig.apiBaseUrl}/`).href;
    showAnswer('api-answer', `GET ${url} \u2026`);
    try {
      const response = await api.api.request({ url, method: 'GET', headers: { accept: 'application/json' } });
      const type = response.contentType ? `, ${response.contentType}` : '';
      showAnswer('api-answer', `GET ${url}: ${response.status}${type}, ${response.body.length} characters`);
    } catch (error) {
      showAnswer('api-answer', `GET ${url}: ${errorCode(error)}`);
    }
  });

  async function start() {
    if (!api) {
      showStatus('BRIDGE_UNAVAILABLE', true);
      return;
    }
    await Promise.all([showAppInfo(), showRuntimeConfig(), showZoomFactor(), refreshMuted(), followLinks()]);
    if (failedCalls === 0) {
      showStatus('Ready');
    }
  }

  start();
})();
