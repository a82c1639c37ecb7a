// The lines of an input file as the evaluator counts them: a line ends at
// LF, a CR directly before the LF is not part of it, a lone CR is, and a
// Ctrl-Z byte ends the file. Lines are given as offsets into the file's
// bytes; nothing is copied or decoded here.
(function (root, factory) {
  if (typeof module === 'object' && module.exports) module.exports = factory();
  else root.ZobnikariLines = factory();
})(this, function () {
  'use strict';

  const kLineFeed = 10;
  const kCarriageReturn = 13;
  const kEndOfInput = 26; // Ctrl-Z

  // Reads the lines of bytes (a Uint8Array) one after another.
  class LineCursor {
    constructor(bytes) {
      this.bytes = bytes;
      const stop = bytes.indexOf(kEndOfInput);
      this.end = stop < 0 ? bytes.length : stop;
      this.at = 0;
      this.number = 0; // the number of the line that next() gave last
    }

    // Returns the next line as { number, start, end } (its bytes are
    // bytes[start, end), without the line end), or null after the last.
    next() {
      if (this.at >= this.end) return null;
      const feed = this.bytes.indexOf(kLineFeed, this.at);
      const stop = feed < 0 || feed >= this.end ? this.end : feed;
      let end = stop;
      if (stop === feed && end > this.at && this.bytes[end - 1] === kCarriageReturn) --end;
      const line = { number: ++this.number, start: this.at, end };
      this.at = stop + 1;
      return line;
    }

    // Passes over count lines; returns how many there were.
    skip(count) {
      let skipped = 0;
      while (skipped < count && this.next() !== null) ++skipped;
      return skipped;
    }
  }

  // Returns the lines from line - before to line + after of bytes (line
  // counted from 1; a line past the file's end is not there to show), as
  // { lines: [{ number, start, end }], lineCount (how many lines the file
  // has, when the search reached its end; else null) }.
  // REQUIRES: line >= 1, before >= 0, after >= 0.
  function linesAround(bytes, line, { before = 3, after = 3 } = {}) {
    const cursor = new LineCursor(bytes);
    cursor.skip(Math.max(0, line - before - 1));
    const lines = [];
    let next;
    while (cursor.number < line + after && (next = cursor.next()) !== null) lines.push(next);
    const lineCount = cursor.at >= cursor.end ? cursor.number : null;
    return { lines, lineCount };
  }

  return { LineCursor, linesAround };
});
