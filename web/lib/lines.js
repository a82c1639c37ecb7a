// The lines of an input file as the evaluator counts them, for showing the
// line that a failure concerns with a few lines around it: a line ends at LF,
// a CR directly before the LF is not part of it, a lone CR is, and a Ctrl-Z
// byte ends the file. Works on bytes; nothing is decoded here.
(function (root, factory) {
  if (typeof module === 'object' && module.exports) module.exports = factory();
  else root.ZobnikariLines = factory();
})(this, function () {
  'use strict';

  const kLineFeed = 10;
  const kCarriageReturn = 13;
  const kEndOfInput = 26; // Ctrl-Z

  // Returns the lines from first - before to last + after of bytes (a
  // Uint8Array), where first..last is the line concerned (one line, numbered
  // from 1; a line past the file's end is not there to show), as
  // { lines: [{ number, bytes (a copy of at most maxBytes), cut (true when
  // the line is longer) }], lineCount (how many lines the file has, when the
  // search reached its end; else null) }.
  // REQUIRES: line >= 1, before >= 0, after >= 0, maxBytes >= 0.
  function linesAround(bytes, line, { before = 3, after = 3, maxBytes = 300 } = {}) {
    const stop = bytes.indexOf(kEndOfInput);
    const end = stop < 0 ? bytes.length : stop;
    const firstShown = Math.max(1, line - before);
    const lastShown = line + after;
    const lines = [];
    let number = 1;
    let start = 0;
    while (start < end && number <= lastShown) {
      const feed = bytes.indexOf(kLineFeed, start);
      const next = feed < 0 || feed >= end ? end : feed;
      if (number >= firstShown) {
        let length = next - start;
        if (next === feed && length > 0 && bytes[next - 1] === kCarriageReturn) --length;
        lines.push({
          number,
          bytes: bytes.slice(start, start + Math.min(length, maxBytes)),
          cut: length > maxBytes,
        });
      }
      start = next + 1;
      ++number;
    }
    // The search went past the last line: number is one more than the count.
    const lineCount = start >= end ? number - 1 : null;
    return { lines, lineCount };
  }

  return { linesAround };
});
