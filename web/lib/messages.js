// The kinds of message that pass between the page and its evaluation worker,
// named once for both sides (lib/worker.js, lib/worker-host.js, page.js).
(function (root, factory) {
  if (typeof module === 'object' && module.exports) module.exports = factory();
  else root.ZobnikariMessages = factory();
})(this, function () {
  'use strict';

  const kKinds = Object.freeze({
    // The page to the worker.
    start: 'start', // { variant, wasm }: make the evaluator from this module
    evaluate: 'evaluate', // { id, testData, submission }: evaluate these files
    // The worker to the page, while an evaluation is under way.
    progress: 'progress', // { which, done, total }
    evaluating: 'evaluating', // both files are read
    // The worker to the page: the last message of an evaluation.
    result: 'result',
    tooLarge: 'tooLarge', // { which }
    unreadable: 'unreadable', // { which }
    binary: 'binary', // { which }
    aborted: 'aborted', // { message }: the module aborted, or the worker died
  });

  // The kinds that end an evaluation.
  const kLastKinds = Object.freeze([kKinds.result, kKinds.tooLarge, kKinds.unreadable, kKinds.binary,
                                    kKinds.aborted]);

  return { kKinds, kLastKinds };
});
