// The report as the page reads and saves it: what it says (accepted with its
// scores, the check that failed, or an evaluation that broke off), read from
// no more of its bytes than its shape needs, and the bytes that the Windows
// program writes (CR LF line ends). Works on the report's bytes.
(function (root, factory) {
  if (typeof module === 'object' && module.exports) module.exports = factory();
  else root.ZobnikariReport = factory();
})(this, function () {
  'use strict';

  const kUnexpectedFailure =
      'Nepricakovana napaka.  Predlagamo, da obvestis organizatorje tekmovanja.\n-1\n';
  const kFailureStart = /^Napaka \[Orv19Zobnikari\.cpp:(\d+)\]: /;
  const kLineFeed = 10;
  // The most entries of an OK report handed on one by one; the sum and the
  // count cover them all.
  const kMaxEntries = 1000;

  // Returns the bytes as text, each byte one character.
  function latin1(bytes) {
    return new TextDecoder('latin1').decode(bytes);
  }

  // Returns the entries of an OK report's text, or null when text is not one.
  function okOutcome(text) {
    const lines = text.split('\n');
    if (lines[0] !== 'OK' || lines[lines.length - 1] !== '') return null;
    const count = Number(lines[1]);
    if (!/^\d+$/.test(lines[1]) || lines.length !== count + 3) return null;
    const entries = [];
    let sum = 0;
    for (let i = 2; i < 2 + count; ++i) {
      const match = /^(-?\d+) (-?\d+)$/.exec(lines[i]);
      if (match === null) return null;
      sum += Number(match[2]);
      if (entries.length < kMaxEntries) entries.push({ id: Number(match[1]), score: Number(match[2]) });
    }
    return { shape: 'ok', count, entries, sum };
  }

  // Returns what report (a Uint8Array) says: { shape: 'ok', count (of
  // entries), entries (the first kMaxEntries, [{ id, score }] in report
  // order), sum (of all scores) }; { shape: 'failure', check (its number) };
  // or { shape: 'unexpected' } for the report of an evaluation that broke off
  // (or any report of neither shape). Scores are whole numbers below 10^9
  // each, so the sum is exact.
  function outcomeOf(report) {
    const start = latin1(report.subarray(0, 40));
    const failure = kFailureStart.exec(start);
    if (failure !== null) return { shape: 'failure', check: Number(failure[1]) };
    if (start.startsWith('OK\n')) {
      const ok = okOutcome(latin1(report));
      if (ok !== null) return ok;
    }
    return { shape: 'unexpected' };
  }

  // Returns the bytes that the Windows program writes for report: every LF
  // as CR LF, every other byte as it is.
  function withCrLf(report) {
    const feeds = [];
    for (let at = report.indexOf(kLineFeed); at >= 0; at = report.indexOf(kLineFeed, at + 1)) feeds.push(at);
    const out = new Uint8Array(report.length + feeds.length);
    let from = 0;
    feeds.forEach((feed, index) => {
      out.set(report.subarray(from, feed), from + index);
      out[feed + index] = 13;
      out[feed + index + 1] = kLineFeed;
      from = feed + 1;
    });
    out.set(report.subarray(from), from + feeds.length);
    return out;
  }

  return { outcomeOf, withCrLf, kUnexpectedFailure, kMaxEntries };
});
