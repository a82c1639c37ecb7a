// Where a line stands in its file's blocks, for showing a failure beside the
// block it belongs to: in the submission, the answer block (its test-case
// number line, the test case's k and d, the race the line is the team of);
// in the test data, the test-case block (its header line, and the race).
// Every line before the failing one passed the evaluator's checks, so the
// walk reads the files by the evaluator's rules without checking them again.
// Where a diagnosis gives the answer blocks, a line is placed among them
// without a walk.
(function (root, factory) {
  if (typeof module === 'object' && module.exports) module.exports = factory(require('./lines.js'), require('./messages.js'));
  else root.ZobnikariBlocks = factory(root.ZobnikariLines, root.ZobnikariMessages);
})(this, function (lines, messages) {
  'use strict';

  const kBlock = messages.kBlockFields;
  const kBlockWords = messages.kBlockWords;
  const kCase = messages.kCaseFields;
  const kCaseWords = messages.kCaseWords;

  // Returns true when byte is a blank of the evaluator's scanning.
  const isBlank = (byte) => byte === 32 || (byte >= 9 && byte <= 13);
  const isDigit = (byte) => byte >= 48 && byte <= 57;

  // Returns up to count numbers from the start of bytes[start, end), read as
  // "%d %d ..." reads them: blanks skipped, an optional sign, digits; the
  // scan stops at the first byte that does not fit.
  function scanInts(bytes, start, end, count) {
    const numbers = [];
    let at = start;
    while (numbers.length < count) {
      while (at < end && isBlank(bytes[at])) ++at;
      const sign = at < end && (bytes[at] === 43 || bytes[at] === 45) ? bytes[at++] : 0;
      if (at >= end || !isDigit(bytes[at])) break;
      let value = 0;
      while (at < end && isDigit(bytes[at])) value = value * 10 + (bytes[at++] - 48);
      numbers.push(sign === 45 ? -value : value);
    }
    return numbers;
  }

  // Walks the test data's blocks, calling visit(block) for each whole header
  // met, block = { headerLine ({ number, start, end }), id, n, d, k, m };
  // visit returns true to stop the walk.
  function walkTestData(testData, visit) {
    const cursor = new lines.LineCursor(testData);
    cursor.next();
    const countLine = cursor.next();
    const [count = 0] = countLine === null ? [] : scanInts(testData, countLine.start, countLine.end, 1);
    for (let i = 1; i <= count; ++i) {
      if (cursor.next() === null) return;
      const headerLine = cursor.next();
      if (headerLine === null) return;
      const header = scanInts(testData, headerLine.start, headerLine.end, 5);
      if (header.length < 5) return;
      const [id, n, d, k, m] = header;
      if (visit({ headerLine, id, n, d, k, m })) return;
      cursor.skip(1 + d);
    }
  }

  // Returns where line (from 1) stands in the test data: { kind: 'points' |
  // 'race', block (as walkTestData gives it), race (from 1, for a race line) }
  // for a line of a block's body, else null.
  function placeInTestData(testData, line) {
    let place = null;
    walkTestData(testData, (block) => {
      const first = block.headerLine.number + 1;
      if (line < first) return true;
      if (line > first + block.d) return false;
      place = line === first ? { kind: 'points', block } : { kind: 'race', block, race: line - first };
      return true;
    });
    return place;
  }

  // Returns where line (from 1) stands in the submission, the test data
  // being sound: { kind: 'team', numberLine ({ number, start, end }), id, k,
  // d, race } for a team line of an answer block (or the missing line where
  // one should stand); { kind: 'number', previous } for a line where a
  // test-case number stands, previous being the answer block before it
  // ({ numberLine, id, d }) or null; { kind: 'header' } for lines 1 and 2;
  // null where the walk cannot tell.
  function placeInSubmission(testData, submission, line) {
    if (line <= 2) return { kind: 'header' };
    const shapes = new Map();
    walkTestData(testData, (block) => {
      if (!shapes.has(block.id)) shapes.set(block.id, block);
      return false;
    });
    const cursor = new lines.LineCursor(submission);
    cursor.skip(2);
    let previous = null;
    for (;;) {
      const numberLine = cursor.next();
      if (numberLine === null || numberLine.number === line) return { kind: 'number', previous };
      if (numberLine.start === numberLine.end) continue;
      const [id] = scanInts(submission, numberLine.start, numberLine.end, 1);
      const shape = shapes.get(id);
      if (shape === undefined) return null;
      if (line <= numberLine.number + shape.d) {
        return { kind: 'team', numberLine, id, k: shape.k, d: shape.d, race: line - numberLine.number };
      }
      cursor.skip(shape.d);
      previous = { numberLine, id, d: shape.d };
    }
  }

  // Returns where line (from 1) stands among a diagnosis's answer blocks
  // (blocks and cases as the result carries them, blocks in file order), as
  // placeInSubmission gives it but with each block's test-case number line
  // as its number alone, and the block's index among blocks: { kind:
  // 'team', index, numberLine, id, k, d, race }, { kind: 'number', previous:
  // { index, numberLine, id, d } | null }, or { kind: 'header' } for lines 1
  // and 2.
  function placeAmongBlocks(blocks, cases, line) {
    if (line <= 2) return { kind: 'header' };
    // The last block whose number line stands before line.
    let low = 0;
    let high = blocks.length / kBlockWords;
    while (low < high) {
      const middle = (low + high) >>> 1;
      if (blocks[middle * kBlockWords + kBlock.line] < line) low = middle + 1;
      else high = middle;
    }
    if (low === 0) return { kind: 'number', previous: null };
    const at = (low - 1) * kBlockWords;
    const id = blocks[at + kBlock.id];
    const numberLine = blocks[at + kBlock.line];
    const shape = (id - 1) * kCaseWords;
    const d = cases[shape + kCase.d];
    const index = low - 1;
    if (line <= numberLine + d) {
      return { kind: 'team', index, numberLine, id, k: cases[shape + kCase.k], d, race: line - numberLine };
    }
    return { kind: 'number', previous: { index, numberLine, id, d } };
  }

  return { scanInts, placeInTestData, placeInSubmission, placeAmongBlocks };
});
