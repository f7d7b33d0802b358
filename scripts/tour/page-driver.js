// Tour driver, added by scripts/tour.sh to a copy of the sample web UI (never shipped). It works
// each card through the card's own controls, then asks for screenshots on the console:
// "tour shot NAME" (the script answers by resizing the window to 1024x640, so the driver lays
// the card out again and says "tour resized NAME", then by resizing it back), "tour login
// STATE" (the script opens the login callback link through a second launch) and "tour done".
(() => {
  'use strict';

  const byId = (id) => document.getElementById(id);
  const say = (text) => console.log(`tour ${text}`);
  const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
  const painted = () => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve)));
  const answer = (id) => byId(id).textContent;

  async function until(what, test, ms = 30000) {
    for (let waited = 0; !test(); waited += 100) {
      if (waited >= ms) {
        throw new Error(`timed out waiting for ${what}`);
      }
      await sleep(100);
    }
  }

  function widthBecomes(test) {
    return new Promise((resolve) => {
      const check = () => {
        if (test(window.innerWidth)) {
          window.removeEventListener('resize', check);
          resolve();
        }
      };
      window.addEventListener('resize', check);
      check();
    });
  }

  // Widths are compared with the one at the shot: a zoomed page has fewer CSS pixels.
  async function shot(name, card) {
    const wide = window.innerWidth;
    card.scrollIntoView({ block: 'start' });
    await painted();
    say(`shot ${name}`);
    await widthBecomes((width) => width < wide * 0.9);
    await sleep(300);
    card.scrollIntoView({ block: 'start' });
    await painted();
    say(`resized ${name}`);
    await widthBecomes((width) => width >= wide - 1);
    await sleep(300);
  }

  function choose(id, value) {
    const control = byId(id);
    control.value = value;
    control.dispatchEvent(new Event('change'));
  }

  function type(id, value) {
    byId(id).value = value;
  }

  const steps = [
    async function start() {
      await until('the page to start', () => !answer('status').startsWith('Starting'));
      await shot('start', byId('app-card'));
    },
    async function preferencesAndUpdates() {
      choose('pref-locale', 'en');
      await until('the language', () => answer('pref-answer').includes(': en,'));
      byId('pref-muted').click();
      await until('the mute preference', () => answer('view-answer').startsWith('Sound is muted'));
      if (!byId('update-check').disabled) {
        byId('update-check').click();
        await until('the update check', () => !byId('update-check').disabled && !answer('update-answer').includes('checking'));
      }
      await shot('preferences-updates', byId('preferences-card'));
    },
    async function windowAndZoom() {
      byId('window-card').querySelector('[data-action=zoomIn]').click();
      await until('the zoom', () => byId('zoom-factor').value === '110%');
      byId('window-card').querySelector('[data-action=zoomIn]').click();
      await until('the zoom', () => byId('zoom-factor').value === '120%');
      await shot('window-zoom', byId('window-card'));
      byId('window-card').querySelector('[data-action=zoomReset]').click();
      await until('the zoom reset', () => byId('zoom-factor').value === '100%');
    },
    async function accounts() {
      for (const [displayName, username, email, token] of [
        ['Ada', 'ada', 'ada@example.com', 'sample-token-ada'],
        ['Grace Hopper', 'grace', 'grace@example.com', ''],
        ['', '', '', ''],
      ]) {
        type('account-display-name', displayName);
        type('account-username', username);
        type('account-email', email);
        type('account-token', token);
        const before = answer('account-answer');
        byId('account-add').click();
        await until('the account answer', () => answer('account-answer') !== before);
      }
      await shot('accounts', byId('accounts-card'));
    },
    async function signIn() {
      byId('login-start').click();
      await until('a login state', () => answer('login-state') !== '(none)');
      await until('the browser answer', () => answer('login-answer') !== 'not started');
      say(`login ${answer('login-state')}`);
      await until('the login callback', () => answer('login-answer').startsWith('signed in'));
      await shot('sign-in-links', byId('links-card'));
    },
    async function apiRequest() {
      type('api-path', 'status');
      byId('api-send').click();
      await until('the API answer', () => !answer('api-answer').endsWith('\u2026'));
      await shot('api', byId('api-card'));
    },
    async function playRefused() {
      type('play-payload', '{}');
      byId('play-open').click();
      await until('the refusal', () => answer('play-answer').startsWith('game.open: '));
      await shot('play-refused', byId('play-card'));
    },
    async function play() {
      const payload = byId('play-payload');
      payload.value = payload.defaultValue;
      byId('play-open').click();
      await until('the game', () => answer('play-answer') !== 'game.open: GAME_SESSION_INVALID');
      // The host page loads the emulator, then the movie from the game origin.
      await sleep(8000);
      await shot('play', byId('play-card'));
    },
  ];

  window.addEventListener('load', async () => {
    try {
      for (const step of steps) {
        await step();
      }
      say('done');
    } catch (error) {
      say(`failed ${error.message}`);
    }
  });
})();
