// The kinds of message that pass between the page and its evaluation worker,
// named once for both sides (lib/worker.js, lib/worker-host.js, page.js).
// The worker reads the files through the page: read asks for a file's next
// piece, chunk brings it.
(function (root, factory) {
  if (typeof module === 'object' && module.exports) module.exports = factory();
  else root.ZobnikariMessages = factory();
})(this, function () {
  'use strict';

  const kKinds = Object.freeze({
    // The page to the worker.
    start: 'start', // { variant, wasm }: make the evaluator from this module
    evaluate: 'evaluate', // { id, testData { size }, submission { size } (or null: the test data alone) }
    chunk: 'chunk', // { id, serial, bytes (Uint8Array), done } | { id, serial, failed: true }: a read's answer
    // The worker to the page, while an evaluation is under way.
    read: 'read', // { id, serial, which, length }: the next piece of a file, at most length bytes
    progress: 'progress', // { which, done, total }
    evaluating: 'evaluating', // both files are read
    // The worker to the page: the last message of an evaluation.
    result: 'result',
    testDataChecked: 'testDataChecked', // the test data alone, checked
    tooLarge: 'tooLarge', // { which }
    unreadable: 'unreadable', // { which }
    binary: 'binary', // { which }
    aborted: 'aborted', // { message }: the module aborted, or the worker died
  });

  // The kinds that end an evaluation.
  const kLastKinds = Object.freeze([kKinds.result, kKinds.testDataChecked, kKinds.tooLarge, kKinds.unreadable, kKinds.binary,
                                    kKinds.aborted]);

  // A diagnosis's answer blocks and test cases as the result carries them:
  // Int32Arrays of records of 32-bit words, each field at its index. A
  // block's races is the offset of its races in the result's race arrays,
  // or -1 (a rejected block, or one past the first 1000 accepted).
  const kBlockFields = Object.freeze({ line: 0, id: 1, score: 2, ceiling: 3, defects: 4, accepted: 5, races: 6 });
  const kBlockWords = 7;
  const kCaseFields = Object.freeze({ id: 0, n: 1, d: 2, k: 3, m: 4 });
  const kCaseWords = 5;

  return { kKinds, kLastKinds, kBlockFields, kBlockWords, kCaseFields, kCaseWords };
});
