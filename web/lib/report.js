// The report as the page shows and saves it: its shape, the test cases and
// scores of an OK report with their sum, and the bytes that the Windows
// program writes (CR LF line ends). Works on the report's bytes.
(function (root, factory) {
  if (typeof module === 'object' && module.exports) module.exports = factory();
  else root.ZobnikariReport = factory();
})(this, function () {
  'use strict';

  const kUnexpectedFailure =
      'Nepricakovana napaka.  Predlagamo, da obvestis organizatorje tekmovanja.\n-1\n';

  // Returns the text of bytes that are ASCII, or null when one is not. The
  // report of an OK evaluation, and of one that broke off, is ASCII.
  function asciiText(bytes) {
    let text = '';
    for (const byte of bytes) {
      if (byte > 127) return null;
      text += String.fromCharCode(byte);
    }
    return text;
  }

  // Returns the shape of report (a Uint8Array): 'ok', 'failure' (a check
  // failed: "Napaka [...]") or 'unexpected' (the evaluation broke off, as when
  // memory runs out).
  function shapeOf(report) {
    const start = asciiText(report.subarray(0, 8)) || '';
    if (start.startsWith('OK\n')) return 'ok';
    if (start.startsWith('Napaka [')) return 'failure';
    return 'unexpected';
  }

  // Returns true when report is the report of an evaluation that broke off
  // for a reason outside the checks.
  function isUnexpectedFailure(report) {
    return asciiText(report) === kUnexpectedFailure;
  }

  // Returns the entries of an OK report as { entries: [{ id, score }] in
  // report order, sum (of the scores) }, or null when report is not one.
  // Scores are whole numbers below 10^9 each, so the sum is exact.
  function okEntries(report) {
    const text = asciiText(report);
    if (text === null) return null;
    const lines = text.split('\n');
    if (lines[0] !== 'OK' || lines[lines.length - 1] !== '') return null;
    const count = Number(lines[1]);
    if (!Number.isInteger(count) || lines.length !== count + 3) return null;
    const entries = [];
    let sum = 0;
    for (const line of lines.slice(2, 2 + count)) {
      const match = /^(-?\d+) (-?\d+)$/.exec(line);
      if (match === null) return null;
      const entry = { id: Number(match[1]), score: Number(match[2]) };
      entries.push(entry);
      sum += entry.score;
    }
    return { entries, sum };
  }

  // Returns the bytes that the Windows program writes for report: every LF
  // as CR LF, every other byte as it is.
  function withCrLf(report) {
    let feeds = 0;
    for (const byte of report) if (byte === 10) ++feeds;
    const out = new Uint8Array(report.length + feeds);
    let at = 0;
    for (const byte of report) {
      if (byte === 10) out[at++] = 13;
      out[at++] = byte;
    }
    return out;
  }

  return { shapeOf, isUnexpectedFailure, okEntries, withCrLf, kUnexpectedFailure };
});
