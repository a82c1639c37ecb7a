// The page's own modules under Node.js: the lines around a failure, the
// report's shapes, scores and saved bytes, the checks of chosen files, the
// texts, and the worker's host, which replaces a worker whose module aborted.
'use strict';

const test = require('node:test');
const assert = require('node:assert');

const { linesAround } = require('../lib/lines.js');
const report = require('../lib/report.js');
const inputs = require('../lib/inputs.js');
const texts = require('../lib/texts.js');
const { WorkerHost, pickModule } = require('../lib/worker-host.js');

const bytes = (text) => Buffer.from(text, 'latin1');
const shown = (result) => ({
  lines: result.lines.map((line) => [line.number, Buffer.from(line.bytes).toString('latin1'), line.cut]),
  lineCount: result.lineCount,
});

test('lines are counted and cut as the evaluator reads them', () => {
  const rows = [
    ['crlf_ends_a_line', 'a\r\nb\r\nc\r\n', 2, { before: 1, after: 1 },
     { lines: [[1, 'a', false], [2, 'b', false], [3, 'c', false]], lineCount: 3 }],
    ['lone_cr_is_a_byte', 'a\rb\nc\r', 1, { before: 0, after: 1 },
     { lines: [[1, 'a\rb', false], [2, 'c\r', false]], lineCount: 2 }],
    ['ctrl_z_ends_the_file', 'a\nb\x1ac\nd\n', 2, { before: 0, after: 5 },
     { lines: [[2, 'b', false]], lineCount: 2 }],
    ['empty_lines_count', '\n\nx\n', 3, { before: 2, after: 0 },
     { lines: [[1, '', false], [2, '', false], [3, 'x', false]], lineCount: 3 }],
    ['count_unknown_before_the_end', 'x\ny\nz\n', 1, { after: 1 },
     { lines: [[1, 'x', false], [2, 'y', false]], lineCount: null }],
    ['missing_line_after_the_last', 'a\nb', 3, { before: 2, after: 2 },
     { lines: [[1, 'a', false], [2, 'b', false]], lineCount: 2 }],
    ['long_line_cut', 'abcdef\r\n', 1, { maxBytes: 4 },
     { lines: [[1, 'abcd', true]], lineCount: 1 }],
    ['bytes_kept', '\0\xc4\xff\n', 1, {}, { lines: [[1, '\0\xc4\xff', false]], lineCount: 1 }],
    ['empty_file', '', 1, {}, { lines: [], lineCount: 0 }],
  ];
  for (const [name, file, line, options, want] of rows) {
    assert.deepStrictEqual(shown(linesAround(bytes(file), line, options)), want, name);
  }
});

test('an OK report gives its scores and their sum; no other report does', () => {
  const rows = [
    ['one_entry', 'OK\n1\n1 35\n', { entries: [{ id: 1, score: 35 }], sum: 35 }],
    ['none', 'OK\n0\n', { entries: [], sum: 0 }],
    ['largest_scores', 'OK\n2\n2 999000000\n2 999000000\n',
     { entries: [{ id: 2, score: 999000000 }, { id: 2, score: 999000000 }], sum: 1998000000 }],
    ['failure', 'Napaka [Orv19Zobnikari.cpp:215]: v 7. vrstici ...\n-1\n', null],
    ['count_disagrees', 'OK\n2\n1 35\n', null],
    ['unexpected', report.kUnexpectedFailure, null],
  ];
  for (const [name, text, want] of rows) assert.deepStrictEqual(report.okEntries(bytes(text)), want, name);
  assert.deepStrictEqual(
      ['OK\n0\n', 'Napaka [Orv19Zobnikari.cpp:55]: \xff\n-1\n', report.kUnexpectedFailure]
          .map((text) => report.shapeOf(bytes(text))),
      ['ok', 'failure', 'unexpected']);
  assert.ok(report.isUnexpectedFailure(bytes(report.kUnexpectedFailure)));
  assert.ok(!report.isUnexpectedFailure(bytes('OK\n0\n')));
});

test('the saved report has the Windows program\'s bytes: every LF as CR LF, nothing else changed', () => {
  const saved = report.withCrLf(bytes('Napaka [Orv19Zobnikari.cpp:215]: "\r\0\xff"\n-1\n'));
  assert.strictEqual(Buffer.from(saved).toString('latin1'),
                     'Napaka [Orv19Zobnikari.cpp:215]: "\r\0\xff"\r\n-1\r\n');
});

test('chosen files: empty, too large, the same one twice, binary', () => {
  const file = (name, size, lastModified = 1) => ({ name, size, lastModified });
  const rows = [
    ['fits', file('input.txt', 100), file('submission.txt', 50), null],
    ['empty_submission', file('input.txt', 100), file('s.txt', 0), { problem: 'empty', which: 'submission' }],
    ['empty_before_too_large', file('input.txt', 0), file('s.txt', 2 ** 31),
     { problem: 'empty', which: 'testData' }],
    ['too_large_alone', file('input.txt', 10), file('s.txt', inputs.kMaxTotalBytes + 1),
     { problem: 'tooLarge', which: 'submission' }],
    ['too_large_together', file('input.txt', inputs.kMaxTotalBytes - 10), file('s.txt', 11),
     { problem: 'tooLarge', which: 'testData' }],
    ['same_file', file('input.txt', 100), file('input.txt', 100), { problem: 'same', which: 'submission' }],
    ['same_name_other_file', file('input.txt', 100), file('input.txt', 100, 2), null],
  ];
  for (const [name, testData, submission, want] of rows) {
    assert.deepStrictEqual(inputs.problemOf(testData, submission), want, name);
  }

  const text = 'Zobnikari\r\n1\n\n1 4 3 2 1\n10 6 3 0\n\t3 1 4 2\x0b\x0c\n\x1a';
  assert.ok(!inputs.looksBinary(bytes(text)), 'text with every blank and Ctrl-Z');
  assert.ok(!inputs.looksBinary(bytes('123456\nZobnikari\n\0\xc4\xff 1 2 3 4 5 6\n')), 'a stray NUL');
  assert.ok(!inputs.looksBinary(bytes('čšž žabe\n'.repeat(10))), 'UTF-8 text');
  assert.ok(inputs.looksBinary(bytes('PK\x03\x04\x14\0\0\0\x08\0\0\0!\0')), 'a zip archive');
  assert.ok(inputs.looksBinary(bytes('\x7fELF\x02\x01\x01\0\0\0\0\0\0\0\0\0')), 'a program');
});

test('every text is there in both languages, with the same values to insert', () => {
  const [first, ...others] = texts.languages;
  const names = (template) => (template.match(/\{\w+\}/g) || []).sort();
  for (const language of others) {
    assert.deepStrictEqual(Object.keys(texts.kTexts[language]).sort(), Object.keys(texts.kTexts[first]).sort());
    for (const key of Object.keys(texts.kTexts[first])) {
      assert.deepStrictEqual(names(texts.kTexts[language][key]), names(texts.kTexts[first][key]), key);
    }
  }
  assert.strictEqual(texts.text('sl', 'placeHeading', { file: 'oddaja', line: 7 }),
                     'Kje je napaka: oddaja, 7. vrstica');
  // Slovenian as the reports write it: no letters with diacritics.
  assert.ok(!/[^\x20-\x7e]/.test(Object.values(texts.kTexts.sl).join('')));
});

// A worker that records what it is sent and answers as told.
class FakeWorker {
  constructor(made) {
    this.sent = [];
    this.terminated = false;
    made.push(this);
  }
  postMessage(message) { this.sent.push(message); }
  terminate() { this.terminated = true; }
  answer(data) { this.onmessage({ data }); }
}

test('the worker\'s host routes one evaluation, and replaces a worker whose module aborted', async () => {
  const made = [];
  const host = new WorkerHost(() => new FakeWorker(made), { variant: 'simd', wasm: new Uint8Array([0, 97]) });
  assert.deepStrictEqual(made[0].sent[0], { kind: 'start', variant: 'simd', wasm: new Uint8Array([0, 97]) });

  const seen = [];
  const first = host.evaluate('T', 'S', (message) => seen.push(message.kind));
  assert.throws(() => host.evaluate('T', 'S'), /under way/);
  const id = made[0].sent[1].id;
  made[0].answer({ id: id + 1, kind: 'result' }); // not this evaluation's: ignored
  made[0].answer({ id, kind: 'progress', which: 'testData', done: 1, total: 2 });
  made[0].answer({ id, kind: 'result', line: 7 });
  assert.deepStrictEqual(await first, { id, kind: 'result', line: 7 });
  assert.deepStrictEqual(seen, ['progress']);

  const second = host.evaluate('T', 'S');
  made[0].answer({ id: made[0].sent[2].id, kind: 'aborted', message: 'RuntimeError: unreachable' });
  assert.strictEqual((await second).kind, 'aborted');
  assert.ok(made[0].terminated);
  assert.strictEqual(made.length, 2, 'a fresh worker');
  assert.strictEqual(made[1].sent[0].kind, 'start');

  const third = host.evaluate('T', 'S');
  assert.strictEqual(made[1].sent[1].kind, 'evaluate', 'the next evaluation goes to the fresh worker');
  made[1].onerror({ message: 'out of memory' });
  assert.deepStrictEqual(await third, { kind: 'aborted', id: made[1].sent[1].id, message: 'out of memory' });
  assert.strictEqual(made.length, 3);
  assert.strictEqual(host.restarts, 2);
});

test('the module with SIMD where the browser takes it, else the portable one', () => {
  const modules = { simd: new Uint8Array([1]), portable: new Uint8Array([2]) };
  assert.deepStrictEqual(pickModule(modules, (bytes) => bytes[0] === 1), { variant: 'simd', wasm: modules.simd });
  assert.deepStrictEqual(pickModule(modules, () => false), { variant: 'portable', wasm: modules.portable });
});
