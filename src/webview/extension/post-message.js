(function (send) {
  'use strict';
  const stringify = JSON.stringify;
  const parse = JSON.parse;
  const PromiseConstructor = Promise;
  const ErrorConstructor = Error;
  const freeze = Object.freeze;
  const pending = Object.create(null);
  let nextId = 0;

  function failure(code) {
    const error = new ErrorConstructor(code);
    error.code = code;
    return error;
  }

  function postMessage(body) {
    return new PromiseConstructor(function (resolve, reject) {
      let text;
      try {
        text = stringify(body);
      } catch (_) {
        text = undefined;
      }
      if (typeof text !== 'string') {
        reject(failure('BRIDGE_REQUEST_INVALID'));
        return;
      }
      const id = ++nextId;
      const settle = function (answered, replyText) {
        delete pending[id];
        if (!answered) {
          reject(failure('BRIDGE_FAILED'));
          return;
        }
        let reply;
        try {
          reply = parse(replyText);
        } catch (_) {
          reject(failure('BRIDGE_FAILED'));
          return;
        }
        resolve(reply);
      };
      pending[id] = settle;
      try {
        send(text, settle);
      } catch (_) {
        delete pending[id];
        reject(failure('BRIDGE_FAILED'));
      }
    });
  }

  return freeze({ postMessage: freeze(postMessage) });
})
