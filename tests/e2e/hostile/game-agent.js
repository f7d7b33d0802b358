// The hostile game frame runs whatever the hostile web UI sends it (its policy allows eval, as
// the emulator needs) and answers with the outcome and the policy directives it ran into.
const violations = [];
addEventListener('securitypolicyviolation', (event) => violations.push(event.effectiveDirective));
addEventListener('message', async ({ data }) => {
  violations.length = 0;
  let outcome;
  try { outcome = String(await (0, eval)(data.script)); } catch (error) { outcome = error.name; }
  await new Promise((done) => setTimeout(done, 100));
  parent.postMessage({ id: data.id, outcome: [outcome, ...violations].join(' ') }, '*');
});
parent.postMessage({ id: 0, outcome: 'ready' }, '*');
