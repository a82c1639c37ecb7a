// Bytes as the page draws them: printable ASCII as it stands, every other
// byte as its value in hexadecimal between angle brackets (a no-break space
// in UTF-8 is ⟨C2⟩⟨A0⟩), so that no byte is hidden and none merges into
// another. Long lines are cut to a window, with the bytes left out counted.
// Runs in the worker: every byte is looked at once, and only those shown.
(function (root, factory) {
  if (typeof module === 'object' && module.exports) module.exports = factory();
  else root.ZobnikariVisible = factory();
})(this, function () {
  'use strict';

  const kLineFeed = 10;

  // Returns true when byte is printable ASCII (a blank included).
  function isPrintable(byte) {
    return byte >= 32 && byte <= 126;
  }

  // Returns the bytes of bytes[start, end) as runs: { text } for each run of
  // printable ASCII, { byte } for each other byte, and the byte at mark (an
  // index into bytes, if given) as a run of its own with marked: true.
  function runsOf(bytes, start, end, mark = -1) {
    const runs = [];
    let at = start;
    while (at < end) {
      if (at === mark || !isPrintable(bytes[at])) {
        const run = isPrintable(bytes[at]) ? { text: String.fromCharCode(bytes[at]) } : { byte: bytes[at] };
        if (at === mark) run.marked = true;
        runs.push(run);
        ++at;
        continue;
      }
      let stop = at;
      while (stop < end && stop !== mark && isPrintable(bytes[stop])) ++stop;
      runs.push({ text: String.fromCharCode.apply(null, bytes.subarray(at, stop)) });
      at = stop;
    }
    return runs;
  }

  // Returns bytes[start, end) (one line) drawn within maxBytes: { runs,
  // length (the line's length), before, after (the bytes left out before and
  // after the window) }. The window begins at start, unless mark (an index
  // into bytes) lies beyond it: then it is centred on mark.
  // REQUIRES: start <= end <= bytes.length, maxBytes >= 1.
  function visibleSlice(bytes, start, end, { maxBytes = 300, mark = -1 } = {}) {
    const length = end - start;
    let from = start;
    if (mark >= start + maxBytes && mark < end) {
      from = Math.min(mark - Math.floor(maxBytes / 2), end - maxBytes);
    }
    const to = Math.min(end, from + maxBytes);
    return { runs: runsOf(bytes, from, to, mark), length, before: from - start, after: end - to };
  }

  // Returns the lines of bytes (split at LF alone; the LF that ends the last
  // line starts no further line), each as visibleSlice draws it, at most
  // maxLines of them: { lines, moreLines (how many were left out) }.
  function visibleLines(bytes, { maxBytes = 1000, maxLines = 1000 } = {}) {
    const lines = [];
    let start = 0;
    let count = 0;
    while (start < bytes.length) {
      const feed = bytes.indexOf(kLineFeed, start);
      const end = feed < 0 ? bytes.length : feed;
      if (count < maxLines) lines.push(visibleSlice(bytes, start, end, { maxBytes }));
      ++count;
      start = end + 1;
    }
    return { lines, moreLines: count - lines.length };
  }

  // Returns runs as plain text: each byte outside printable ASCII as ⟨XX⟩.
  function runsText(runs) {
    return runs.map((run) => (run.text !== undefined ? run.text : byteMark(run.byte))).join('');
  }

  // Returns the mark that stands for byte: ⟨C2⟩.
  function byteMark(byte) {
    return '\u27e8' + byte.toString(16).toUpperCase().padStart(2, '0') + '\u27e9';
  }

  return { visibleSlice, visibleLines, runsText, byteMark };
});
