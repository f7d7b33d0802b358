// Node's ws package, a WebSocket client independent of ours, against quorin-socket-proxy relaying
// to a TCP echo server on 127.0.0.1: a binary message comes back, a ping gets its pong, the close
// is echoed, and the proxy counts the bytes. Set by CTest: QUORIN_SOCKET_PROXY (the command),
// QUORIN_GAME_SERVER_HOST (a host it accepts) and QUORIN_WS_MODULES (where the build installed ws).
import assert from "node:assert/strict";
import { spawn } from "node:child_process";
import { once } from "node:events";
import { createRequire } from "node:module";
import net from "node:net";
import readline from "node:readline";
import test from "node:test";

const WebSocket = createRequire(`${process.env.QUORIN_WS_MODULES}/`)("ws");

test("ws relays binary through the proxy, gets its pong and closes cleanly", { timeout: 20000 }, async (t) => {
  const echo = net.createServer((socket) => socket.pipe(socket)).listen(0, "127.0.0.1");
  await once(echo, "listening");
  const proxy = spawn(process.env.QUORIN_SOCKET_PROXY, [process.env.QUORIN_GAME_SERVER_HOST, "--connect-to", `127.0.0.1:${echo.address().port}`]);
  t.after(() => { proxy.kill("SIGKILL"); echo.close(); });
  const lines = readline.createInterface({ input: proxy.stdout })[Symbol.asyncIterator]();
  const client = new WebSocket((await lines.next()).value);
  await once(client, "open");

  const sent = Buffer.from([0, 1, 2, 127, 128, 253, 254, 255]);
  client.send(sent, { binary: true });
  const [echoed, isBinary] = await once(client, "message");
  assert.deepEqual([Buffer.from(echoed), isBinary], [sent, true]);

  client.ping("are you there");
  assert.equal((await once(client, "pong"))[0].toString(), "are you there");

  client.close(1000, "done");
  const [code, reason] = await once(client, "close");
  assert.deepEqual([code, reason.toString()], [1000, "done"]);

  proxy.kill("SIGTERM");
  assert.deepEqual([(await lines.next()).value, (await lines.next()).value], ["bytesToServer 8", "bytesFromServer 8"]);
});
