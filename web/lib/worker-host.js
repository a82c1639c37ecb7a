// The page's side of the evaluation worker: starts it, hands it one
// evaluation at a time, and when its module aborts (or the worker dies) puts
// a fresh worker in its place, so that the page can evaluate again.
(function (root, factory) {
  if (typeof module === 'object' && module.exports) module.exports = factory(require('./messages.js'));
  else root.ZobnikariWorkerHost = factory(root.ZobnikariMessages);
})(this, function (messages) {
  'use strict';

  const kinds = messages.kKinds;

  // Returns the module that this browser runs, as { variant, wasm }: the one
  // with WebAssembly SIMD where validate (WebAssembly.validate) accepts its
  // bytes, else the portable one. modules holds each variant's bytes
  // (Uint8Array) by name: simd, portable.
  function pickModule(modules, validate) {
    const variant = validate(modules.simd) ? 'simd' : 'portable';
    return { variant, wasm: modules[variant] };
  }

  class WorkerHost {
    // makeWorker() returns a fresh worker (postMessage, terminate, onmessage,
    // onerror), which is started with module, the evaluator's module as
    // pickModule returns it.
    constructor(makeWorker, module) {
      this.makeWorker = makeWorker;
      this.module = module;
      this.worker = null;
      this.nextId = 1;
      this.pending = null; // { id, resolve, onMessage } of the evaluation under way
      this.start();
    }

    // Makes and starts a fresh worker.
    start() {
      this.worker = this.makeWorker();
      this.worker.onmessage = (event) => this.receive(event.data);
      this.worker.onerror = (event) => {
        if (event && typeof event.preventDefault === 'function') event.preventDefault();
        this.fail(String((event && event.message) || 'the worker stopped'));
      };
      // A copy for each worker: a fresh one needs it again.
      this.worker.postMessage({ kind: kinds.start, variant: this.module.variant,
                                wasm: this.module.wasm.slice() });
    }

    // Returns a promise of the evaluation's last message (one of
    // messages.kLastKinds, see worker.js; aborted { message } when the
    // worker's module aborted or the worker died), calling
    // onMessage(message) for every message before it. REQUIRES: no other
    // evaluation under way.
    evaluate(testData, submission, onMessage = () => {}) {
      if (this.pending !== null) throw new Error('an evaluation is under way');
      const id = this.nextId++;
      return new Promise((resolve) => {
        this.pending = { id, resolve, onMessage };
        this.worker.postMessage({ kind: kinds.evaluate, id, testData, submission });
      });
    }

    // Takes a message of the worker.
    receive(message) {
      const pending = this.pending;
      if (pending === null || message.id !== pending.id) return;
      if (message.kind === kinds.aborted) return this.fail(message.message);
      if (!messages.kLastKinds.includes(message.kind)) {
        pending.onMessage(message);
        return;
      }
      this.pending = null;
      pending.resolve(message);
    }

    // Ends the evaluation under way, if any, as aborted, and replaces the
    // worker: its module cannot be trusted again.
    fail(reason) {
      this.worker.terminate();
      this.start();
      const pending = this.pending;
      this.pending = null;
      if (pending !== null) pending.resolve({ kind: kinds.aborted, id: pending.id, message: reason });
    }
  }

  return { WorkerHost, pickModule };
});
