"use strict";

// Starts the session's movie in Ruffle. Everything the page needs comes from session.json
// beside it: the movie, its base and start parameters, and the local WebSocket proxies that
// stand in for the game servers (the page has no other way to reach them).

window.RufflePlayer = window.RufflePlayer || {};
// The movie comes from a game origin, not this page's: Ruffle lets it use ExternalInterface,
// its one way to report to the page, only with allowScriptAccess on.
window.RufflePlayer.config = { polyfills: false, autoplay: "on", unmuteOverlay: "hidden", contextMenu: "off", allowScriptAccess: true };

// The movie reports to the page that embeds this one through ExternalInterface.call("quorinGameEvent", ...).
window.quorinGameEvent = (name, detail) => {
  window.parent.postMessage({ type: "quorinGameEvent", name: String(name), detail: detail ?? null }, "*");
};

async function startGame() {
  const response = await fetch("session.json", { cache: "no-store" });
  if (!response.ok)
    throw new Error(`session.json: ${response.status}`);
  const session = await response.json();
  const player = window.RufflePlayer.newest().createPlayer();
  document.getElementById("player").appendChild(player);
  await player.ruffle().load({
    url: session.movieURL,
    base: session.baseURL,
    parameters: session.parameters,
    socketProxy: session.socketProxy,
  });
}

window.addEventListener("DOMContentLoaded", () => {
  startGame().catch((error) => window.quorinGameEvent("failed", String(error)));
});
