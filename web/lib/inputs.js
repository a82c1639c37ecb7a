// What makes a chosen file unfit to evaluate, told before anything is read
// into the evaluator: an empty file, a binary one, one too large for the
// browser's memory, the same file chosen for both inputs.
(function (root, factory) {
  if (typeof module === 'object' && module.exports) module.exports = factory();
  else root.ZobnikariInputs = factory();
})(this, function () {
  'use strict';

  // The most that the two files may hold together: the evaluator's memory in
  // the browser is at most 2 GiB, and beside the files it keeps the test
  // data's finishing orders, about as large again as their text.
  const kMaxTotalBytes = 1 << 30;
  // How much of a file's start is looked at to tell text from binary.
  const kSniffBytes = 4096;

  // Returns the first problem of the chosen files (each { name, size,
  // lastModified }; submission null for the test data alone) as { problem:
  // 'empty' | 'tooLarge' | 'same', which: 'testData' | 'submission' (the
  // file it concerns) }, or null. Too large together, the larger one is
  // named.
  function problemOf(testData, submission) {
    const files = { testData, submission };
    const which = submission === null ? ['testData'] : ['testData', 'submission'];
    for (const name of which) {
      if (files[name].size === 0) return { problem: 'empty', which: name };
    }
    for (const name of which) {
      if (files[name].size > kMaxTotalBytes) return { problem: 'tooLarge', which: name };
    }
    if (submission === null) return null;
    if (testData.size + submission.size > kMaxTotalBytes) {
      return { problem: 'tooLarge', which: testData.size >= submission.size ? 'testData' : 'submission' };
    }
    if (testData.name === submission.name && testData.size === submission.size &&
        testData.lastModified === submission.lastModified) {
      return { problem: 'same', which: 'submission' };
    }
    return null;
  }

  // Returns true when start (a Uint8Array, the first kSniffBytes of a file or
  // all of it) looks binary rather than text: more than one byte in 16 is a
  // control byte other than the blanks (TAB, LF, VT, FF, CR) and Ctrl-Z. A
  // stray NUL in a text file is not enough: the evaluator reports it.
  function looksBinary(start) {
    let control = 0;
    for (const byte of start) {
      if ((byte < 32 && !(byte >= 9 && byte <= 13) && byte !== 26) || byte === 127) ++control;
    }
    return control * 16 > start.length;
  }

  return { problemOf, looksBinary, kMaxTotalBytes, kSniffBytes };
});
