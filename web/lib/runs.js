// The last run beside this one: what the page keeps of a check (its outcome,
// total, defects and scores by test case), the change against the previous
// check of the same test data (by its SHA-256), and where it is kept: in
// the page for its life, and in the browser's storage only for the test
// data whose runs the contestant asked it to keep.
(function (root, factory) {
  if (typeof module === 'object' && module.exports) module.exports = factory();
  else root.ZobnikariRuns = factory();
})(this, function () {
  'use strict';

  const kStoragePrefix = 'zobnikari.lastRun.';

  // Returns what is kept of a check: { sha256, time (as the page shows it),
  // shape ('ok' | 'failure' | 'unexpected', outcome's), sum and count (of an
  // OK report), defects (listed and counted, of a failure), byCase ([[id,
  // score]] of an OK report) }. outcome is report.outcomeOf's; byCase is
  // points.scoresByCase's, defects the diagnosis's findings and more.
  function summaryOf({ sha256, time, outcome, byCase, defects }) {
    const summary = { sha256, time, shape: outcome.shape };
    if (outcome.shape === 'ok') Object.assign(summary, { sum: outcome.sum, count: outcome.count, byCase });
    if (outcome.shape === 'failure') summary.defects = defects;
    return summary;
  }

  // Returns after - before as a change: { before, after, change }.
  const change = (before, after) => ({ before, after, change: after - before });

  // Returns the change from previous to current (summaryOf's): { time (of
  // previous), shapes: [previous's, current's], total (both accepted: the
  // sums' change; else null), defects (both rejected with their defects
  // counted: the counts' change; else null), cases (both accepted: [{ id, before, after, change }] of
  // every test case that either answers, by id; a test case one of them
  // does not answer has null there and change null; else []) }.
  function compare(previous, current) {
    const both = (shape) => previous.shape === shape && current.shape === shape;
    const compared = {
      time: previous.time, shapes: [previous.shape, current.shape], total: null, defects: null, cases: [],
    };
    if (both('failure') && previous.defects !== null && current.defects !== null) {
      compared.defects = change(previous.defects, current.defects);
    }
    if (!both('ok')) return compared;
    compared.total = change(previous.sum, current.sum);
    const before = new Map(previous.byCase);
    const after = new Map(current.byCase);
    const ids = Array.from(new Set([...before.keys(), ...after.keys()])).sort((a, b) => a - b);
    compared.cases = ids.map((id) => {
      const was = before.has(id) ? before.get(id) : null;
      const is = after.has(id) ? after.get(id) : null;
      return { id, before: was, after: is, change: was === null || is === null ? null : is - was };
    });
    return compared;
  }

  // Keeps the last run of each test data: in the page, and in storage (a
  // localStorage, or anything with getItem, setItem and removeItem; null for
  // none) for the test data that remember() was asked for.
  class RunKeeper {
    constructor(storage) {
      this.storage = storage;
      this.runs = new Map(); // by SHA-256, for the page's life
    }

    // Returns the run kept for sha256 (summaryOf's), from the page or else
    // from storage, or null.
    previous(sha256) {
      if (this.runs.has(sha256)) return this.runs.get(sha256);
      return this.stored(sha256);
    }

    // Keeps summary as the last run of its test data; in storage too when
    // that test data is remembered there. Returns false when storage refused
    // it (it is then no longer remembered there).
    record(summary) {
      this.runs.set(summary.sha256, summary);
      return this.remembered(summary.sha256) ? this.store(summary) : true;
    }

    // Keeps the last run of sha256 in storage from now on. Returns false when
    // storage refused it.
    remember(sha256) {
      return this.runs.has(sha256) && this.store(this.runs.get(sha256));
    }

    // Forgets the runs of sha256, in the page and in storage.
    forget(sha256) {
      this.runs.delete(sha256);
      this.forgetStored(sha256);
    }

    // Returns true when the runs of sha256 are kept in storage.
    remembered(sha256) {
      return this.stored(sha256) !== null;
    }

    // Returns the run of sha256 in storage, or null (none, storage that
    // cannot be read, or an entry that is not one of ours).
    stored(sha256) {
      try {
        const text = this.storage ? this.storage.getItem(kStoragePrefix + sha256) : null;
        const summary = text === null ? null : JSON.parse(text);
        return summary && summary.sha256 === sha256 && typeof summary.shape === 'string' ? summary : null;
      } catch (ignored) {
        return null;
      }
    }

    // Writes summary into storage. Returns false when storage refused it.
    store(summary) {
      try {
        if (!this.storage) return false;
        this.storage.setItem(kStoragePrefix + summary.sha256, JSON.stringify(summary));
        return true;
      } catch (ignored) {
        this.forgetStored(summary.sha256);
        return false;
      }
    }

    // Removes what storage holds of sha256, if it can.
    forgetStored(sha256) {
      try {
        if (this.storage) this.storage.removeItem(kStoragePrefix + sha256);
      } catch (ignored) {
        // Storage that cannot be written holds nothing of ours either.
      }
    }
  }

  return { summaryOf, compare, RunKeeper, kStoragePrefix };
});
