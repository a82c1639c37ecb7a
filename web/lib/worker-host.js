// The page's side of the evaluation worker: starts it, hands it one
// evaluation at a time, reads the chosen files for it piece by piece as it
// asks for them (the page may read them where a worker may not), and when
// its module aborts (or the worker dies) puts a fresh worker in its place,
// so that the page can evaluate again.
(function (root, factory) {
  if (typeof module === 'object' && module.exports) module.exports = factory(require('./messages.js'), require('./feeder.js'));
  else root.ZobnikariWorkerHost = factory(root.ZobnikariMessages, root.ZobnikariFeeder);
})(this, function (messages, feeder) {
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
    // pickModule returns it; now() gives the clock's time in milliseconds.
    constructor(makeWorker, module, now = Date.now) {
      this.makeWorker = makeWorker;
      this.now = now;
      this.module = module;
      this.worker = null;
      this.nextId = 1;
      this.pending = null; // { id, resolve, onMessage, feeders } of the evaluation under way
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

    // Returns a promise of the evaluation of testData against submission
    // (Blobs; submission null for the test data alone): its last message
    // (one of messages.kLastKinds, see worker.js; aborted { message } when
    // the worker's module aborted or the worker died), with judged: for each
    // file read to its end, { size (the bytes read), lastByte, at (the
    // clock's time when its reading ended, ms) } by which. Calls
    // onMessage(message) for every message before it. REQUIRES: no other
    // evaluation under way.
    evaluate(testData, submission, onMessage = () => {}) {
      if (this.pending !== null) throw new Error('an evaluation is under way');
      const id = this.nextId++;
      const feeders = { testData: new feeder.Feeder(testData, this.now) };
      if (submission !== null) feeders.submission = new feeder.Feeder(submission, this.now);
      return new Promise((resolve) => {
        this.pending = { id, resolve, onMessage, feeders };
        this.worker.postMessage({ kind: kinds.evaluate, id, testData: { size: testData.size },
                                  submission: submission === null ? null : { size: submission.size } });
      });
    }

    // Takes a message of the worker.
    receive(message) {
      const pending = this.pending;
      if (pending === null || message.id !== pending.id) return;
      if (message.kind === kinds.aborted) return this.fail(message.message);
      if (message.kind === kinds.read) return this.feed(pending, message);
      if (!messages.kLastKinds.includes(message.kind)) {
        pending.onMessage(message);
        return;
      }
      this.finish(pending, message);
    }

    // Answers the worker's read { id, serial, which, length } of the
    // evaluation pending with the file's next piece, handed over: chunk {
    // id, serial, bytes, done }, or chunk { id, serial, failed: true } when
    // the browser cannot read the file.
    async feed(pending, { id, serial, which, length }) {
      let answer;
      try {
        const piece = await pending.feeders[which].next(length);
        answer = { kind: kinds.chunk, id, serial, bytes: piece.bytes, done: piece.done };
      } catch (error) {
        answer = { kind: kinds.chunk, id, serial, failed: true };
      }
      // An evaluation that ended meanwhile (its worker replaced) wants no more.
      if (this.pending !== pending) return;
      this.worker.postMessage(answer, answer.bytes ? [answer.bytes.buffer] : []);
    }

    // Ends the evaluation pending with its last message.
    finish(pending, message) {
      this.pending = null;
      const judged = {};
      for (const [which, fed] of Object.entries(pending.feeders)) {
        fed.cancel();
        if (fed.finishedAt !== null) judged[which] = { size: fed.read, lastByte: fed.lastByte, at: fed.finishedAt };
      }
      pending.resolve(Object.assign(message, { judged }));
    }

    // Ends the evaluation under way, if any, as aborted, and replaces the
    // worker: its module cannot be trusted again.
    fail(reason) {
      this.worker.terminate();
      this.start();
      const pending = this.pending;
      if (pending !== null) this.finish(pending, { kind: kinds.aborted, id: pending.id, message: reason });
    }
  }

  return { WorkerHost, pickModule };
});
