// Sample launcher page: one card per group of the page API on window.electronAPI. Every value
// reaches the page as text, never as markup, and every failure shows its code.
(() => {
  'use strict';

  const api = window.electronAPI;
  const byId = (id) => document.getElementById(id);
  const statusLine = byId('status');

  // --- Shared helpers -------------------------------------------------------------------------

  function showStatus(text, isError = false) {
    statusLine.textContent = text;
    statusLine.classList.toggle('error', isError);
  }

  function showAnswer(id, text, isError = false) {
    const element = byId(id);
    element.textContent = text;
    element.classList.toggle('error', isError);
  }

  function errorCode(error) {
    const code = error && typeof error.code === 'string' ? error.code : '';
    return code || 'BRIDGE_FAILED';
  }

  let failedCalls = 0;

  // Runs one bridge call. A failure shows "label: CODE" on the status line and, when the call
  // belongs to a card, on that card's answer line; the result is then undefined.
  async function call(label, invoke, answerId) {
    let code = 'BRIDGE_UNAVAILABLE';
    if (api) {
      try {
        return await invoke(api);
      } catch (error) {
        code = errorCode(error);
      }
    }
    failedCalls += 1;
    showStatus(`${label}: ${code}`, true);
    if (answerId) {
      showAnswer(answerId, `${label}: ${code}`, true);
    }
    return undefined;
  }

  // Window, zoom and sound members are fire-and-forget: they return nothing and report no
  // failure, so each caller reads back what the host did.
  function fire(action, ...args) {
    if (!api || typeof api[action] !== 'function') {
      showStatus(`${action}: BRIDGE_UNAVAILABLE`, true);
      return false;
    }
    api[action](...args);
    return true;
  }

  function describe(value) {
    if (typeof value === 'string') {
      return value === '' ? '(empty)' : value;
    }
    return JSON.stringify(value);
  }

  function fillFacts(list, entries) {
    list.replaceChildren();
    for (const [key, value] of entries) {
      const term = document.createElement('dt');
      term.textContent = key;
      const detail = document.createElement('dd');
      detail.textContent = describe(value);
      list.append(term, detail);
    }
  }

  const sortedEntries = (object) => Object.keys(object || {}).sort().map((key) => [key, object[key]]);
  const clock = () => new Date().toLocaleTimeString();

  // --- Application and runtime configuration --------------------------------------------------

  async function showAppInfo() {
    const info = await call('getAppInfo', (bridge) => bridge.getAppInfo());
    if (!info) {
      return;
    }
    if (typeof info.appName === 'string' && info.appName) {
      byId('product-name').textContent = info.appName;
      document.title = info.appName;
    }
    const host = api.nativeHost || {};
    fillFacts(byId('app-info'), [...sortedEntries(info),
      ['host kind', host.kind ?? '(none)'], ['application id', host.applicationId ?? '(none)']]);
  }

  async function showRuntimeConfig() {
    const config = await call('getRuntimeConfig', (bridge) => bridge.getRuntimeConfig());
    if (config) {
      fillFacts(byId('runtime-config'), sortedEntries(config));
    }
  }

  // --- Window, zoom and sound -----------------------------------------------------------------

  async function showZoomFactor() {
    const factor = await call('getZoomFactor', (bridge) => bridge.getZoomFactor(), 'view-answer');
    if (typeof factor === 'number') {
      byId('zoom-factor').value = `${Math.round(factor * 100)}%`;
    }
    return factor;
  }

  const muteToggle = byId('mute-toggle');

  function showMuted(muted) {
    muteToggle.setAttribute('aria-pressed', String(muted));
    muteToggle.textContent = muted ? 'Unmute' : 'Mute';
  }

  async function refreshMuted() {
    const muted = await call('getAudioMuted', (bridge) => bridge.getAudioMuted(), 'view-answer');
    if (typeof muted === 'boolean') {
      showMuted(muted);
    }
    return muted;
  }

  // Mutes or unmutes the window and says whether the host followed.
  async function setWindowMuted(wanted) {
    if (!fire('setAudioMuted', wanted)) {
      return;
    }
    const muted = await refreshMuted();
    if (typeof muted === 'boolean') {
      const outcome = muted === wanted ? '' : ' (the host did not change it)';
      showAnswer('view-answer', `Sound is ${muted ? 'muted' : 'on'}${outcome}.`);
    }
  }

  async function reportWindow(action) {
    const maximised = await call('windowIsMaximized', (bridge) => bridge.windowIsMaximized(), 'window-answer');
    if (typeof maximised === 'boolean') {
      const prefix = action ? `${action}: the` : 'The';
      showAnswer('window-answer', `${prefix} window is ${maximised ? '' : 'not '}maximised.`);
    }
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
          showAnswer('view-answer', `${button.getAttribute('aria-label') || button.textContent.trim()}: the host zoom is ${Math.round(factor * 100)}%.`);
        }
      } else {
        reportWindow(button.textContent.trim());
      }
    });
  }

  muteToggle.addEventListener('click', () => setWindowMuted(muteToggle.getAttribute('aria-pressed') !== 'true'));

  // --- Preferences: kept by the host, each change echoed as "preferencesChanged" ---------------

  const localeChoice = byId('pref-locale');
  const mutedChoice = byId('pref-muted');

  function showPreferences(snapshot, source) {
    if (!snapshot || typeof snapshot !== 'object') {
      return;
    }
    localeChoice.value = snapshot.locale;
    mutedChoice.checked = snapshot.audioMuted === true;
    document.documentElement.lang = snapshot.locale;
    const themes = Object.keys(snapshot.playBackgroundThemesByServer || {}).length;
    showAnswer('pref-answer', `${source}: ${snapshot.locale}, sound ${snapshot.audioMuted ? 'muted' : 'on'}, `
      + `${themes} play background${themes === 1 ? '' : 's'}.`);
  }

  let preferences;

  async function setPreference(label, invoke) {
    const snapshot = await call(label, invoke, 'pref-answer');
    if (snapshot) {
      preferences = snapshot;
      showPreferences(snapshot, `Saved at ${clock()}`);
    } else {
      // Put the controls back to what the host keeps.
      localeChoice.value = preferences?.locale ?? localeChoice.value;
      mutedChoice.checked = preferences?.audioMuted === true;
    }
    return snapshot;
  }

  localeChoice.addEventListener('change', () =>
    setPreference('preferences.setLocale', (bridge) => bridge.preferences.setLocale(localeChoice.value)));

  // The saved mute flag also mutes the window, as a game page would.
  mutedChoice.addEventListener('change', async () => {
    const snapshot = await setPreference('preferences.setAudioMuted',
      (bridge) => bridge.preferences.setAudioMuted(mutedChoice.checked));
    if (snapshot) {
      setWindowMuted(snapshot.audioMuted === true);
    }
  });

  async function loadPreferences() {
    api.preferences.onChanged((snapshot) => {
      preferences = snapshot;
      showPreferences(snapshot, `preferencesChanged at ${clock()}`);
    });
    const snapshot = await call('preferences.initialize', (bridge) => bridge.preferences.initialize(), 'pref-answer');
    if (!snapshot) {
      return;
    }
    preferences = snapshot;
    showPreferences(snapshot, 'Loaded');
    // Only a saved "muted" changes the window at start; the window starts with sound on.
    if (snapshot.audioMuted === true) {
      setWindowMuted(true);
    }
  }

  // --- Saved accounts: details in the storage folder, tokens in the key store ------------------

  const accountList = byId('account-list');

  function accountRow(account) {
    const row = document.createElement('li');
    const text = document.createElement('span');
    text.className = 'account-text';
    const name = document.createElement('span');
    name.className = 'account-name';
    name.textContent = account.displayName || account.username || account.email || account.id;
    const detail = document.createElement('span');
    detail.className = 'account-detail';
    const lastUsed = Date.parse(account.lastUsedAt);
    detail.textContent = [account.id, account.token ? 'token in the key store' : 'no token',
      Number.isNaN(lastUsed) ? 'never used' : `used ${new Date(lastUsed).toLocaleString()}`].join(' \u00b7 ');
    text.append(name, detail);
    const remove = document.createElement('button');
    remove.type = 'button';
    remove.textContent = 'Remove';
    remove.setAttribute('aria-label', `Remove ${name.textContent}`);
    remove.addEventListener('click', async () => {
      const accounts = await call('savedAccounts.remove', (bridge) => bridge.savedAccounts.remove(account.id), 'account-answer');
      if (accounts) {
        showAccounts(accounts);
        showAnswer('account-answer', `Removed ${name.textContent}.`);
      }
    });
    row.append(text, remove);
    return row;
  }

  function showAccounts(accounts) {
    accountList.replaceChildren(...accounts.map(accountRow));
    if (accounts.length === 0) {
      const empty = document.createElement('li');
      empty.className = 'empty';
      empty.textContent = 'No saved accounts.';
      accountList.append(empty);
    }
  }

  async function loadAccounts() {
    const accounts = await call('savedAccounts.list', (bridge) => bridge.savedAccounts.list(), 'account-answer');
    if (accounts) {
      showAccounts(accounts);
    }
  }

  byId('account-form').addEventListener('submit', async (event) => {
    event.preventDefault();
    const entry = {
      displayName: byId('account-display-name').value,
      username: byId('account-username').value,
      email: byId('account-email').value,
      token: byId('account-token').value,
      lastUsedAt: new Date().toISOString(),
    };
    const accounts = await call('savedAccounts.upsert', (bridge) => bridge.savedAccounts.upsert(entry), 'account-answer');
    if (accounts) {
      showAccounts(accounts);
      byId('account-form').reset();
      showAnswer('account-answer', `Saved; ${accounts.length} account${accounts.length === 1 ? '' : 's'} kept.`);
    }
  });

  // --- Browser sign-in and quorin42:// links --------------------------------------------------

  let loginState = '';

  // The login page sends the browser back to quorin42://auth/callback?state=...; the host
  // accepts only a state it handed out, once, and passes the link on.
  function acceptLoginCallback(link) {
    let url;
    try {
      url = new URL(link);
    } catch {
      return;
    }
    const route = (url.host || url.pathname.split('/').find(Boolean) || '').toLowerCase();
    if (route !== 'auth') {
      return;
    }
    const state = url.searchParams.get('state') ?? '';
    if (loginState !== '' && state === loginState) {
      loginState = '';
      const others = [...url.searchParams.keys()].filter((key) => key !== 'state');
      showAnswer('login-answer', `signed in through the browser at ${clock()}`
        + (others.length ? ` (callback also carried: ${others.join(', ')})` : ''));
    } else {
      showAnswer('login-answer', 'a callback for another sign-in arrived', true);
    }
  }

  byId('login-start').addEventListener('click', async () => {
    const started = await call('auth.beginExternalLogin', (bridge) => bridge.auth.beginExternalLogin(), 'login-answer');
    if (!started) {
      return;
    }
    if (typeof started.state !== 'string' || started.state === '') {
      showAnswer('login-answer', 'the host handed out no login state (it has no deep-link router)', true);
      return;
    }
    loginState = started.state;
    showAnswer('login-state', loginState);
    const loginURL = new URL('launcher/login', `${api.runtimeConfig.authBridgeBaseUrl}/`);
    loginURL.searchParams.set('state', loginState);
    loginURL.searchParams.set('redirect_uri', `${api.runtimeConfig.googleLauncherRedirect}/callback`);
    const opened = await call('openExternal', (bridge) => bridge.openExternal(loginURL.href), 'login-answer');
    if (opened === true) {
      showAnswer('login-answer', 'waiting for the browser to come back');
    } else if (opened === false) {
      showAnswer('login-answer', 'the desktop opened no browser; waiting for quorin42://auth/callback with this state', true);
    }
  });

  // The start-up link, then each one handed over by a later launch. Logged too, so a page
  // console shows them.
  async function followLinks() {
    api.onDeepLink((link) => {
      showAnswer('last-link', describe(link));
      console.log(`deepLink ${link}`);
      acceptLoginCallback(link);
    });
    const startupLink = await call('getStartupUrl', (bridge) => bridge.getStartupUrl());
    if (typeof startupLink === 'string') {
      showAnswer('startup-link', startupLink);
      acceptLoginCallback(startupLink);
    }
    console.log(`startupUrl ${describe(startupLink ?? '(none)')}`);
  }

  // --- Launcher updates -----------------------------------------------------------------------

  const updateButtons = {
    check: byId('update-check'),
    download: byId('update-download'),
    install: byId('update-install'),
  };

  function updateHeadline(state) {
    const offered = state.version ?? '';
    switch (state.status) {
    case 'idle': return 'Not checked yet.';
    case 'checking': return 'Checking for a newer version\u2026';
    case 'not-available': return 'This is the newest version.';
    case 'available': return `Version ${offered} is available.`;
    case 'downloading': return `Downloading version ${offered}\u2026`;
    case 'downloaded': return `Version ${offered} is ready to install.`;
    case 'installing': return `Installing version ${offered}; the launcher restarts.`;
    case 'error': return 'The last step failed.';
    case 'unsupported': return 'This launcher cannot update itself.';
    default: return `Status: ${describe(state.status)}`;
    }
  }

  // Shows the page form of the update state: the reply of each call and every
  // "updateStateChanged".
  function showUpdateState(state) {
    if (!state || typeof state !== 'object') {
      return;
    }
    byId('update-status').textContent = updateHeadline(state);
    byId('update-current').textContent = describe(state.currentVersion ?? '(unknown)');
    byId('update-version').textContent = state.version ?? '(none)';
    const progress = byId('update-progress');
    const percent = state.progress && typeof state.progress.percent === 'number' ? state.progress.percent : null;
    progress.hidden = percent === null;
    progress.value = percent ?? 0;
    updateButtons.check.disabled = state.canCheck !== true;
    updateButtons.download.disabled = state.canDownload !== true;
    updateButtons.install.disabled = state.canInstall !== true;
    if (state.error && typeof state.error.code === 'string') {
      showAnswer('update-answer', `Error: ${state.error.code}`, true);
    } else if (state.status === 'unsupported') {
      showAnswer('update-answer', 'The host answers status "unsupported": no updater in this build.');
    } else {
      showAnswer('update-answer', percent === null ? `Status: ${state.status}` : `Status: ${state.status}, ${Math.round(percent)}%`);
    }
  }

  for (const [step, button] of Object.entries(updateButtons)) {
    button.addEventListener('click', async () => {
      const label = `launcherUpdates.${step}`;
      showUpdateState(await call(label, (bridge) => bridge.launcherUpdates[step](), 'update-answer'));
    });
  }

  async function loadUpdateState() {
    api.launcherUpdates.onStateChanged(showUpdateState);
    showUpdateState(await call('launcherUpdates.getState', (bridge) => bridge.launcherUpdates.getState(), 'update-answer'));
  }

  // --- API ------------------------------------------------------------------------------------

  // One "api.request" GET to a path under the configured API address; the host answers with the
  // status, or refuses with a code (an address outside the API origin, a timeout...).
  byId('api-send').addEventListener('click', async () => {
    if (!api) {
      showAnswer('api-answer', 'api.request: BRIDGE_UNAVAILABLE', true);
      return;
    }
    const path = byId('api-path').value.trim().replace(/^\/+/, '');
    const url = new URL(path, `${api.runtimeConfig.apiBaseUrl}/`).href;
    showAnswer('api-answer', `GET ${url} \u2026`);
    try {
      const response = await api.api.request({ url, method: 'GET', headers: { accept: 'application/json' } });
      const type = response.contentType ? `, ${response.contentType}` : '';
      showAnswer('api-answer', `GET ${url}: ${response.status}${type}, ${response.body.length} characters`);
    } catch (error) {
      showAnswer('api-answer', `GET ${url}: ${errorCode(error)}`, true);
      showStatus(`api.request: ${errorCode(error)}`, true);
    }
  });

  // --- Play -----------------------------------------------------------------------------------

  // "game.open" with the payload from the text area, whose host page then runs in the frame;
  // "game.close" ends it. The host calls PlayGame.clearSession when the window closes.
  const playFrame = byId('play-frame');

  function clearSession() {
    playFrame.removeAttribute('src');
    playFrame.hidden = true;
  }
  window.PlayGame = { clearSession };

  byId('play-open').addEventListener('click', async () => {
    let payload;
    try {
      payload = JSON.parse(byId('play-payload').value);
    } catch {
      showAnswer('play-answer', 'The play payload is not JSON.', true);
      return;
    }
    clearSession();
    const opened = await call('game.open', (bridge) => bridge.game.open(payload), 'play-answer');
    if (!opened) {
      return;
    }
    // Without a game service the host answers {ok: false, code} instead of failing.
    if (opened.ok !== true || typeof opened.hostURL !== 'string') {
      showAnswer('play-answer', `game.open: ${typeof opened.code === 'string' ? opened.code : 'BRIDGE_FAILED'}`, true);
      return;
    }
    playFrame.src = opened.hostURL;
    playFrame.hidden = false;
    showAnswer('play-answer', `Playing: ${opened.hostURL}`);
  });

  // The host page reports through window messages: "failed" with the reason, or what the
  // movie itself sends.
  window.addEventListener('message', (event) => {
    const message = event.data;
    if (event.source !== playFrame.contentWindow || !message || message.type !== 'quorinGameEvent') {
      return;
    }
    const detail = message.detail === null ? '' : `: ${describe(message.detail)}`;
    showAnswer('play-answer', `Game event ${describe(message.name)}${detail}`, message.name === 'failed');
  });

  byId('play-close').addEventListener('click', async () => {
    if (await call('game.close', (bridge) => bridge.game.close(), 'play-answer')) {
      clearSession();
      showAnswer('play-answer', 'The game is closed.');
    }
  });

  // --- Start ----------------------------------------------------------------------------------

  async function start() {
    if (!api) {
      showStatus('BRIDGE_UNAVAILABLE', true);
      return;
    }
    await Promise.all([showAppInfo(), showRuntimeConfig(), loadPreferences(), loadAccounts(), loadUpdateState(),
      reportWindow(''), showZoomFactor(), refreshMuted(), followLinks()]);
    if (failedCalls === 0) {
      showStatus('Ready');
    }
  }

  start();
})();
