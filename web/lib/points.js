// Where the points go: the figures of a diagnosis's answer blocks as the page
// shows them (a block's score against its ceiling, race by race against the
// race's ceiling, the newcomers against m), and the scores by test case that
// one run is compared by. Works on the result's records (messages.js).
(function (root, factory) {
  if (typeof module === 'object' && module.exports) module.exports = factory(require('./messages.js'));
  else root.ZobnikariPoints = factory(root.ZobnikariMessages);
})(this, function (messages) {
  'use strict';

  const kBlock = messages.kBlockFields;
  const kBlockWords = messages.kBlockWords;
  const kCase = messages.kCaseFields;
  const kCaseWords = messages.kCaseWords;

  // Returns how many blocks blocks (the result's Int32Array) holds.
  function blockCount(blocks) {
    return blocks.length / kBlockWords;
  }

  // Returns block index (from 0) of blocks as { index, line, id, score,
  // ceiling, share (score / ceiling; null when rejected or the ceiling is 0),
  // accepted, defects, races (the offset of its races, or -1) }.
  function blockAt(blocks, index) {
    const at = index * kBlockWords;
    const accepted = blocks[at + kBlock.accepted] === 1;
    const score = blocks[at + kBlock.score];
    const ceiling = blocks[at + kBlock.ceiling];
    return {
      index, line: blocks[at + kBlock.line], id: blocks[at + kBlock.id], score, ceiling,
      share: accepted && ceiling > 0 ? score / ceiling : null,
      accepted, defects: blocks[at + kBlock.defects], races: blocks[at + kBlock.races],
    };
  }

  // Returns the test case id of cases (the result's Int32Array) as { id, n,
  // d, k, m }. REQUIRES: id is one of its test cases (the test data numbers
  // them 1, 2, 3, ...).
  function caseOf(cases, id) {
    const at = (id - 1) * kCaseWords;
    return { id, n: cases[at + kCase.n], d: cases[at + kCase.d], k: cases[at + kCase.k], m: cases[at + kCase.m] };
  }

  // Returns the races of block (blockAt's, with races) of testCase from
  // races (the result's { points, newcomers }): { ceiling (a race's: the k
  // best places' points, the block's ceiling over d), points, newcomers
  // (typed arrays of d, race 1 first), lost (the ceiling's points not won),
  // atLimit (races after the first with m newcomers), changes (d - 1) }.
  function racesOf(block, testCase, races) {
    const { d, m } = testCase;
    const points = races.points.subarray(block.races, block.races + d);
    const newcomers = races.newcomers.subarray(block.races, block.races + d);
    let atLimit = 0;
    for (let race = 1; race < d; ++race) if (newcomers[race] === m) ++atLimit;
    return { ceiling: block.ceiling / d, points, newcomers, lost: block.ceiling - block.score, atLimit, changes: d - 1 };
  }

  // Returns the scores of blocks' accepted blocks by test case: [[id, score]]
  // by id, score the sum of its blocks' (a test case answered twice counts
  // twice, as the report's sum does). REQUIRES: cases holds every test case
  // that a block answers.
  function scoresByCase(blocks, cases) {
    const count = cases.length / kCaseWords;
    const sums = new Float64Array(count + 1);
    const answered = new Uint8Array(count + 1);
    for (let at = 0; at < blocks.length; at += kBlockWords) {
      if (blocks[at + kBlock.accepted] !== 1) continue;
      const id = blocks[at + kBlock.id];
      sums[id] += blocks[at + kBlock.score];
      answered[id] = 1;
    }
    const byCase = [];
    for (let id = 1; id <= count; ++id) if (answered[id] === 1) byCase.push([id, sums[id]]);
    return byCase;
  }

  // Returns the index of the first block of blocks with races, or -1.
  function firstWithRaces(blocks) {
    for (let at = 0; at < blocks.length; at += kBlockWords) {
      if (blocks[at + kBlock.races] >= 0) return at / kBlockWords;
    }
    return -1;
  }

  return { blockCount, blockAt, caseOf, racesOf, scoresByCase, firstWithRaces };
});
