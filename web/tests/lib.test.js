// The page's own modules under Node.js: the lines and blocks around a
// failure, bytes drawn visibly, what a report says and the bytes saved, the
// verdict, the checks of chosen files, the texts, the rule that re-checks
// followed files, the explanations of the checks, the worker's host, and
// the workbench's figures: blocks and races, the chart's paths, the change
// against the last run and where it is kept, and the pages of long lists.
'use strict';

const test = require('node:test');
const assert = require('node:assert');
const fs = require('node:fs');
const path = require('node:path');

const { linesAround } = require('../lib/lines.js');
const blocks = require('../lib/blocks.js');
const visible = require('../lib/visible.js');
const report = require('../lib/report.js');
const inputs = require('../lib/inputs.js');
const texts = require('../lib/texts.js');
const { verdictOf } = require('../lib/verdict.js');
const { Follower, lookAt, stampOf } = require('../lib/follow.js');
const { Feeder } = require('../lib/feeder.js');
const { extract } = require('../tools/check_docs.js');
const { WorkerHost, pickModule } = require('../lib/worker-host.js');
const points = require('../lib/points.js');
const chart = require('../lib/chart.js');
const runs = require('../lib/runs.js');
const { pageBounds } = require('../lib/pager.js');

const bytes = (text) => Buffer.from(text, 'latin1');
const source = (file) => path.join(__dirname, '..', '..', file);

test('lines are counted and cut as the evaluator reads them', () => {
  const shown = (file, result) => ({
    lines: result.lines.map((line) => [line.number, file.subarray(line.start, line.end).toString('latin1')]),
    lineCount: result.lineCount,
  });
  const rows = [
    ['crlf_ends_a_line', 'a\r\nb\r\nc\r\n', 2, { before: 1, after: 1 },
     { lines: [[1, 'a'], [2, 'b'], [3, 'c']], lineCount: 3 }],
    ['lone_cr_is_a_byte', 'a\rb\nc\r', 1, { before: 0, after: 1 }, { lines: [[1, 'a\rb'], [2, 'c\r']], lineCount: 2 }],
    ['ctrl_z_ends_the_file', 'a\nb\x1ac\nd\n', 2, { before: 0, after: 5 }, { lines: [[2, 'b']], lineCount: 2 }],
    ['empty_lines_count', '\n\nx\n', 3, { before: 2, after: 0 }, { lines: [[1, ''], [2, ''], [3, 'x']], lineCount: 3 }],
    ['count_unknown_before_the_end', 'x\ny\nz\n', 1, { after: 1 }, { lines: [[1, 'x'], [2, 'y']], lineCount: null }],
    ['missing_line_after_the_last', 'a\nb', 3, { before: 2, after: 2 }, { lines: [[1, 'a'], [2, 'b']], lineCount: 2 }],
    ['far_into_the_file', '1\n2\n3\n4\n5\n6\n', 5, { before: 1, after: 0 }, { lines: [[4, '4'], [5, '5']], lineCount: null }],
    ['empty_file', '', 1, {}, { lines: [], lineCount: 0 }],
  ];
  for (const [name, text, line, options, want] of rows) {
    assert.deepStrictEqual(shown(bytes(text), linesAround(bytes(text), line, options)), want, name);
  }
});

test('every byte outside printable ASCII is drawn as its value; long lines are cut with their length', () => {
  // A marked byte in brackets, the bytes left out before and after.
  const shown = ({ runs, length, before, after }) => [
    runs.map((run) => (run.marked ? '[' + visible.runsText([run]) + ']' : visible.runsText([run]))).join(''),
    length, before, after];
  const long = 'x'.repeat(1000) + '-' + 'x'.repeat(10);
  const rows = [
    ['no_break_space', '1\xc2\xa02', {}, ['1\u27e8C2\u27e9\u27e8A0\u27e92', 4, 0, 0]],
    ['controls_and_edges', '\t~\x7f\r\0 \x80\xff', {}, ['\u27e809\u27e9~\u27e87F\u27e9\u27e80D\u27e9\u27e800\u27e9 \u27e880\u27e9\u27e8FF\u27e9', 8, 0, 0]],
    ['marks_in_the_input_are_bytes', '\xe2\x9f\xa8', {},
     ['\u27e8E2\u27e9\u27e89F\u27e9\u27e8A8\u27e9', 3, 0, 0]],
    ['cut_after_max', 'abcdef', { maxBytes: 4 }, ['abcd', 6, 0, 2]],
    ['mark_within_the_window', '12-3', { mark: 2 }, ['12[-]3', 4, 0, 0]],
    ['marked_byte', '1\xc22', { mark: 1 }, ['1[\u27e8C2\u27e9]2', 3, 0, 0]],
    ['window_centred_on_a_far_mark', long, { maxBytes: 100, mark: 1000 },
     ['x'.repeat(89) + '[-]' + 'x'.repeat(10), 1011, 911, 0]],
    ['window_inside_the_line', long + 'y'.repeat(500), { maxBytes: 100, mark: 1000 },
     ['x'.repeat(50) + '[-]' + 'x'.repeat(10) + 'y'.repeat(39), 1511, 950, 461]],
  ];
  for (const [name, text, options, want] of rows) {
    const line = bytes(text);
    assert.deepStrictEqual(shown(visible.visibleSlice(line, 0, line.length, options)), want, name);
  }

  const lines = (text, options) => {
    const view = visible.visibleLines(bytes(text), options);
    return [view.lines.map((line) => visible.runsText(line.runs)), view.moreLines];
  };
  assert.deepStrictEqual(lines('OK\n1\n1 35\n'), [['OK', '1', '1 35'], 0]);
  assert.deepStrictEqual(lines('a\n\nb'), [['a', '', 'b'], 0]);
  assert.deepStrictEqual(lines('a\nb\nc\n', { maxLines: 2 }), [['a', 'b'], 1]);
});

// Test data of two test cases (d = 3, then d = 2) and a submission that
// answers test case 2, then 1, then 1 again, cut short.
const twoCases = bytes('Zobnikari\n2\n\n1 4 3 2 1\n10 6 3 0\n3 1 4 2\n1 2 3 4\n4 3 2 1\n' +
                       '\n2 3 2 1 1\n5 1 0\n1 2 3\n3 2 1\n');
const answers = bytes('123456\r\nZobnikari\r\n2\r\n1\r\n2\r\n\r\n  +1 primer\r\n3 1\r\n1 2\r\n2 1\r\n1\r\n1 2');

test('a line of the submission is placed in its answer block, with the test case\'s k and d', () => {
  const team = (number, id, k, d, race) => ({ kind: 'team', number, id, k, d, race });
  const rows = [
    ['contestant_number', 1, { kind: 'header' }],
    ['first_number_line', 3, { kind: 'number', previous: null }],
    ['team_of_race_1', 4, team(3, 2, 1, 2, 1)],
    ['last_team_of_a_block', 5, team(3, 2, 1, 2, 2)],
    ['number_line_after_an_empty_line', 7, { kind: 'number', previous: { id: 2, d: 2, number: 3 } }],
    ['team_after_a_lenient_number', 9, team(7, 1, 2, 3, 2)],
    ['number_line_after_a_block', 11, { kind: 'number', previous: { id: 1, d: 3, number: 7 } }],
    ['missing_team_line', 13, team(11, 1, 2, 3, 2)],
  ];
  for (const [name, line, want] of rows) {
    const place = blocks.placeInSubmission(twoCases, answers, line);
    const got = place.kind !== 'team' ? Object.assign({}, place, place.previous ? {
      previous: { id: place.previous.id, d: place.previous.d, number: place.previous.numberLine.number },
    } : {}) : team(place.numberLine.number, place.id, place.k, place.d, place.race);
    assert.deepStrictEqual(got, want, name);
  }
});

test('a line of the test data is placed in its test case\'s block', () => {
  const rows = [
    ['task_name', 1, null],
    ['header', 4, null],
    ['points', 5, { kind: 'points', header: 4, id: 1, race: undefined }],
    ['race_3', 8, { kind: 'race', header: 4, id: 1, race: 3 }],
    ['separator', 9, null],
    ['points_of_the_second', 11, { kind: 'points', header: 10, id: 2, race: undefined }],
    ['race_2_of_the_second', 13, { kind: 'race', header: 10, id: 2, race: 2 }],
    ['past_the_end', 14, null],
  ];
  for (const [name, line, want] of rows) {
    const place = blocks.placeInTestData(twoCases, line);
    const got = place && { kind: place.kind, header: place.block.headerLine.number, id: place.block.id, race: place.race };
    assert.deepStrictEqual(got, want, name);
  }
  assert.deepStrictEqual(blocks.scanInts(bytes(' +12x -3 4'), 0, 10, 5), [12], '%d stops at x');
  assert.deepStrictEqual(blocks.scanInts(bytes('\t1 -2\v3'), 0, 7, 5), [1, -2, 3]);
});

test('a report says it was accepted with its scores, which check failed, or that it broke off', () => {
  const many = 'OK\n1001\n' + '1 7\n'.repeat(1001);
  const rows = [
    ['one_entry', 'OK\n1\n1 35\n', { shape: 'ok', count: 1, entries: [{ id: 1, score: 35 }], sum: 35 }],
    ['none', 'OK\n0\n', { shape: 'ok', count: 0, entries: [], sum: 0 }],
    ['largest_scores', 'OK\n2\n2 999000000\n2 999000000\n',
     { shape: 'ok', count: 2, entries: [{ id: 2, score: 999000000 }, { id: 2, score: 999000000 }], sum: 1998000000 }],
    ['failure', 'Napaka [Orv19Zobnikari.cpp:215]: v 7. vrstici bi morala biti "\xff"\n-1\n', { shape: 'failure', check: 215 }],
    ['failure_of_check_55', 'Napaka [Orv19Zobnikari.cpp:55]: namesto stevke se pojavlja znak s kodo 45\n-1\n',
     { shape: 'failure', check: 55 }],
    ['count_disagrees', 'OK\n2\n1 35\n', { shape: 'unexpected' }],
    ['unexpected', report.kUnexpectedFailure, { shape: 'unexpected' }],
  ];
  for (const [name, text, want] of rows) assert.deepStrictEqual(report.outcomeOf(bytes(text)), want, name);
  const outcome = report.outcomeOf(bytes(many));
  assert.deepStrictEqual([outcome.count, outcome.entries.length, outcome.sum], [1001, report.kMaxEntries, 7007]);
});

test('the saved report has the Windows program\'s bytes: every LF as CR LF, nothing else changed', () => {
  const rows = [
    ['failure', 'Napaka [Orv19Zobnikari.cpp:215]: "\r\0\xff"\n-1\n', 'Napaka [Orv19Zobnikari.cpp:215]: "\r\0\xff"\r\n-1\r\n'],
    ['feeds_in_a_row_and_no_last', '\n\nx', '\r\n\r\nx'],
    ['empty', '', ''],
  ];
  for (const [name, text, want] of rows) {
    assert.strictEqual(Buffer.from(report.withCrLf(bytes(text))).toString('latin1'), want, name);
  }
});

test('the verdict names the total and the blocks, or the file, line and check, or that the check broke off', () => {
  const names = { testData: 'input.txt', submission: 'oddaja.txt' };
  const ok = (sum, count) => ({ kind: 'result', outcome: { shape: 'ok', sum, count, entries: [] }, file: 'none', line: 0 });
  const failed = (check, file, line, lineMissing = false) =>
    ({ kind: 'result', outcome: { shape: 'failure', check }, file, line, lineMissing });
  const rows = [
    ['accepted', 'sl', ok(35, 1), ['accepted', 'Sprejeto: 35 točk, 1 blok.', '', null]],
    ['accepted_dual', 'sl', ok(2, 2), ['accepted', 'Sprejeto: 2 točki, 2 bloka.', '', null]],
    ['accepted_english', 'en', ok(1, 3), ['accepted', 'Accepted: 1 point, 3 answer blocks.', '', null]],
    ['rejected', 'sl', failed(160, 'submission', 6),
     ['rejected', 'Zavrnjeno: napaka v 6. vrstici oddaje (oddaja.txt), preverjanje 160.', '', 160]],
    ['rejected_line_missing', 'en', failed(158, 'submission', 13, true),
     ['rejected', 'Rejected: line 13 is missing from the submission (oddaja.txt), check 158.', '', 158]],
    ['rejected_test_data', 'sl', failed(120, 'testData', 1),
     ['rejected', 'Zavrnjeno: napaka v 1. vrstici testnih podatkov (input.txt), preverjanje 120.',
      texts.text('sl', 'rejectedTestData'), 120]],
    ['broke_off', 'sl', { kind: 'result', outcome: { shape: 'unexpected' }, file: 'submission', line: 3 },
     ['broken', 'Preverjanje se je prekinilo: oddaja ni ocenjena.', texts.text('sl', 'memory'), null]],
    ['aborted', 'en', { kind: 'aborted', message: 'RuntimeError: unreachable' },
     ['broken', 'The check broke off: the submission is not scored.',
      texts.text('en', 'aborted', { reason: 'RuntimeError: unreachable' }), null]],
  ];
  for (const [name, language, last, want] of rows) {
    const verdict = verdictOf(language, last, names);
    assert.deepStrictEqual([verdict.tone, verdict.text, verdict.detail, verdict.check], want, name);
    assert.strictEqual(verdict.around.join(verdict.check === null ? '' : String(verdict.check)), verdict.text, name);
  }
  // A line number equal to the check's, and a name with the placeholder's letters.
  const odd = verdictOf('sl', failed(160, 'submission', 160), { submission: '{check}.txt' });
  assert.deepStrictEqual(odd.around, ['Zavrnjeno: napaka v 160. vrstici oddaje ({check}.txt), preverjanje ', '.']);
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
  assert.ok(!inputs.looksBinary(Buffer.from('čšž žabe\n'.repeat(10))), 'UTF-8 text');
  assert.ok(inputs.looksBinary(bytes('PK\x03\x04\x14\0\0\0\x08\0\0\0!\0')), 'a zip archive');
  assert.ok(inputs.looksBinary(bytes('\x7fELF\x02\x01\x01\0\0\0\0\0\0\0\0\0')), 'a program');
});

test('every text is there in both languages, with the same values to insert, and counts take their form', () => {
  const [first, ...others] = texts.languages;
  const names = (template) => (Array.isArray(template) ? ['(forms)'] : (template.match(/\{\w+\}/g) || []).sort());
  for (const language of others) {
    assert.deepStrictEqual(Object.keys(texts.kTexts[language]).sort(), Object.keys(texts.kTexts[first]).sort());
    for (const key of Object.keys(texts.kTexts[first])) {
      assert.deepStrictEqual(names(texts.kTexts[language][key]), names(texts.kTexts[first][key]), key);
    }
  }
  const counts = [
    ['sl', 'points', 1, '1 točka'], ['sl', 'points', 2, '2 točki'], ['sl', 'points', 3, '3 točke'],
    ['sl', 'points', 4, '4 točke'], ['sl', 'points', 5, '5 točk'], ['sl', 'points', 0, '0 točk'],
    ['sl', 'blocks', 101, '101 blok'], ['sl', 'blocks', 102, '102 bloka'], ['sl', 'blocks', 111, '111 blokov'],
    ['sl', 'bytes', 30000000, '30.000.000 bajtov'], ['en', 'points', 1, '1 point'],
    ['en', 'points', 1000, '1,000 points'], ['en', 'bytes', 0, '0 bytes'],
  ];
  for (const [language, key, number, want] of counts) assert.strictEqual(texts.count(language, key, number), want);
  // The page's own Slovenian has its letters; the words written without them
  // are the reports', which the page quotes but never writes.
  const slovenian = Object.values(texts.kTexts.sl).flat().join(' ');
  assert.deepStrictEqual(slovenian.match(/\b(porocil\w*|tock\w*|pokaze|racunal\w*|povleces|nicesar|mogoce|razlicn\w*|najvec|vec|posl\w*|stevil\w*|zacn\w*)\b/gi), null);
});

test('followed files are checked again once two polls agree and differ from the last check', () => {
  // Each row: what happens in turn (ran S, forget, or a poll's stamp, null
  // for a file that cannot be read) and what each poll decides.
  const rows = [
    ['unchanged', [['ran', 'A'], 'A', 'A'], ['same', 'same']],
    ['changed_then_settled', [['ran', 'A'], 'B', 'B', 'B'], ['changing', 'settled', 'settled']],
    ['still_being_written', [['ran', 'A'], 'B', 'C', 'D', 'D'], ['changing', 'changing', 'changing', 'settled']],
    ['unreadable_while_written', [['ran', 'A'], null, 'B', null, 'B', 'B'],
     ['changing', 'changing', 'changing', 'changing', 'settled']],
    ['changed_back', [['ran', 'A'], 'B', 'A'], ['changing', 'same']],
    ['checked_when_settled', [['ran', 'A'], 'B', 'B', ['ran', 'B'], 'B'], ['changing', 'settled', 'same']],
    ['read_failed_halfway', [['ran', 'A'], 'B', ['forget'], 'B', 'B'], ['changing', 'changing', 'settled']],
    ['never_checked', ['A', 'A'], ['changing', 'settled']],
  ];
  for (const [name, steps, want] of rows) {
    const follower = new Follower();
    const got = [];
    for (const step of steps) {
      if (Array.isArray(step)) follower[step[0]](step[1]);
      else got.push(follower.poll(step));
    }
    assert.deepStrictEqual(got, want, name);
  }
});

test('every check has its explanation, taken from docs/checks.md', () => {
  const numbers = Array.from(fs.readFileSync(source('common/checks.h'), 'utf8').matchAll(/X\(k\w+, (\d+)\)/g),
                             (match) => match[1]);
  assert.ok(numbers.length >= 35, numbers.length + ' checks');
  const docs = extract(fs.readFileSync(source('docs/checks.md'), 'utf8'));
  assert.deepStrictEqual(Object.keys(docs).sort(), numbers.slice().sort());
  for (const number of numbers) assert.match(docs[number].message, /^`.+`$/, number);
  assert.deepStrictEqual(docs[160].mistakes.map((row) => row.mistake), ['A blank line inside an answer block']);
  assert.strictEqual(docs[203].mistakes.length, 2);
  assert.strictEqual(docs[123].mistakes.length, 0, 'a number in inline code is no check');

  const table = '## Part\n\nBefore.\n\n| # | Line | Message | Meaning |\n|---|---|---|---|\n' +
      '| 7 | 2 | `a | b` | It means `x`. |\n\nAfter,\non two lines.\n- an item\n\n## Mistakes\n\n' +
      '| Mistake | Check |\n|---|---|\n| A slip | 7, not `7` |\n';
  assert.deepStrictEqual(extract(table), { 7: {
    section: 'Part', line: '2', message: '`a | b`', meaning: 'It means `x`.',
    paragraphs: ['Before.', 'After, on two lines.', '- an item'],
    mistakes: [{ mistake: 'A slip', check: '7, not `7`' }],
  } });
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

test('the worker\'s host routes one evaluation, feeds it the files, and replaces a worker whose module aborted', async () => {
  const made = [];
  let clock = 1000;
  const host = new WorkerHost(() => new FakeWorker(made), { variant: 'simd', wasm: new Uint8Array([0, 97]) },
                              () => clock);
  assert.deepStrictEqual(made[0].sent[0], { kind: 'start', variant: 'simd', wasm: new Uint8Array([0, 97]) });
  const [testData, submission] = [new Blob(['Zobnikari\n1\n']), new Blob(['123456\n'])];

  const seen = [];
  const first = host.evaluate(testData, submission, (message) => seen.push(message.kind));
  assert.throws(() => host.evaluate(testData, submission), /under way/);
  const { id, ...asked } = made[0].sent[1];
  assert.deepStrictEqual(asked, { kind: 'evaluate', testData: { size: 12 }, submission: { size: 7 } });
  // The worker asks for pieces; each answer carries its serial and bytes.
  const fed = async (which, length, serial) => {
    made[0].answer({ id, kind: 'read', serial, which, length });
    await new Promise((resolve) => setTimeout(resolve, 10));
    const answer = made[0].sent.at(-1);
    return [answer.kind, answer.serial, Buffer.from(answer.bytes).toString('latin1'), answer.done];
  };
  assert.deepStrictEqual(await fed('testData', 4, 1), ['chunk', 1, 'Zobn', false]);
  // The piece after it was read ahead, as long; the file's reading ends
  // with the read ahead of the last piece.
  clock = 2000;
  assert.deepStrictEqual(await fed('testData', 100, 2), ['chunk', 2, 'ikar', false]);
  clock = 3000;
  assert.deepStrictEqual(await fed('testData', 100, 3), ['chunk', 3, 'i\n1\n', true]);
  made[0].answer({ id: id + 1, kind: 'result' }); // not this evaluation's: ignored
  made[0].answer({ id, kind: 'progress', which: 'testData', done: 1, total: 2 });
  made[0].answer({ id, kind: 'evaluating' });
  made[0].answer({ id, kind: 'result', line: 7 });
  // Only the file read to its end was judged.
  assert.deepStrictEqual(await first, { id, kind: 'result', line: 7,
                                        judged: { testData: { size: 12, lastByte: 10, at: 2000 } } });
  assert.deepStrictEqual(seen, ['progress', 'evaluating']);

  // A file that the browser cannot read is answered failed.
  const unreadable = { size: 5, stream: () => { throw new Error('NotReadableError'); } };
  const second = host.evaluate(unreadable, null);
  const secondId = made[0].sent.at(-1).id;
  assert.strictEqual(made[0].sent.at(-1).submission, null);
  made[0].answer({ id: secondId, kind: 'read', serial: 4, which: 'testData', length: 4 });
  await new Promise((resolve) => setTimeout(resolve, 10));
  assert.deepStrictEqual(made[0].sent.at(-1), { kind: 'chunk', id: secondId, serial: 4, failed: true });
  made[0].answer({ id: secondId, kind: 'aborted', message: 'RuntimeError: unreachable' });
  assert.deepStrictEqual(await second, { kind: 'aborted', id: secondId, message: 'RuntimeError: unreachable', judged: {} });
  assert.ok(made[0].terminated);
  assert.strictEqual(made.length, 2, 'a fresh worker');
  assert.strictEqual(made[1].sent[0].kind, 'start');

  const third = host.evaluate(testData, submission);
  assert.strictEqual(made[1].sent[1].kind, 'evaluate', 'the next evaluation goes to the fresh worker');
  made[1].onerror({ message: 'out of memory' });
  assert.deepStrictEqual(await third, { kind: 'aborted', id: made[1].sent[1].id, message: 'out of memory', judged: {} });
  assert.strictEqual(made.length, 3);
});

// Returns a file of size bytes whose stream gives the lengths of pieces
// (bytes counting up from 1), then fails when fails is true, as a browser
// gives a file rewritten on disk since it was chosen.
function streamed(size, pieces, fails = false) {
  let next = 1;
  return {
    size,
    stream: () => new ReadableStream({
      pull(controller) {
        if (pieces.length === 0) {
          if (fails) controller.error(new Error('NotReadableError'));
          else controller.close();
          return;
        }
        controller.enqueue(Uint8Array.from({ length: pieces.shift() }, () => next++ % 256));
      },
    }),
  };
}

test('a file is fed in pieces of the length asked, across the stream\'s own pieces, and its length told', async () => {
  // Each row: the file's size, its stream's pieces, the lengths asked, and
  // each answer as [its first byte, its length, done], or 'failed'.
  const rows = [
    ['pieces_joined', 10, [3, 3, 4], [8, 8], [[1, 8, false], [9, 2, true]]],
    ['a_piece_split', 10, [10], [4, 4, 4], [[1, 4, false], [5, 4, false], [9, 2, true]]],
    ['ends_with_the_last_byte', 6, [6], [6], [[1, 6, true]]],
    ['the_end_comes_alone', 6, [3, 3], [3, 3], [[1, 3, false], [4, 3, true]]],
    // A browser that reads a rewritten file afresh but keeps its old size.
    ['grown', 4, [6], [4, 4], [[1, 4, false], [5, 2, true]]],
    ['shrunk', 8, [5], [4, 4], [[1, 4, false], [5, 1, true]]],
    ['empty', 0, [], [4], [[undefined, 0, true]]],
    ['fails_halfway', 8, [4], [4, 4], [[1, 4, false], 'failed']],
  ];
  for (const [name, size, pieces, asked, want] of rows) {
    const fed = new Feeder(streamed(size, pieces, name === 'fails_halfway'), () => 5);
    const got = [];
    for (const length of asked) {
      try {
        const piece = await fed.next(length);
        got.push([piece.bytes[0], piece.bytes.length, piece.done]);
        // The piece's buffer holds it alone: it is handed over whole.
        assert.strictEqual(piece.bytes.buffer.byteLength, piece.bytes.length, name);
      } catch (error) {
        got.push('failed');
      }
    }
    assert.deepStrictEqual(got, want, name);
    const last = got.at(-1);
    if (last !== 'failed' && last[2]) assert.deepStrictEqual([fed.read, fed.finishedAt], [got.reduce((sum, piece) => sum + piece[1], 0), 5], name);
  }
});

test('a file is looked at by its last byte: one that shrank, grew or changed its end looks different', async () => {
  const at = (lastModified, text, size = text.length) => ({
    lastModified, size, slice: (from, to) => new Blob([text.slice(from, to)]),
  });
  const judged = stampOf(7, 4, 10); // 'abc\n' as judged
  const rows = [
    ['unchanged', at(7, 'abc\n'), true],
    ['same_size_same_end', at(7, 'xyz\n'), true],
    ['same_size_other_end', at(7, 'abcd'), false],
    ['shrunk', at(7, 'ab', 4), false],
    ['grown', at(7, 'abcdef\n', 4), false],
    ['newer', at(8, 'abc\n'), false],
  ];
  for (const [name, file, same] of rows) assert.strictEqual(await lookAt(file) === judged, same, name);
  await assert.rejects(lookAt({ lastModified: 7, size: 4, slice: () => ({ arrayBuffer: () => Promise.reject(new Error('NotReadableError')) }) }));
});

test('the module with SIMD where the browser takes it, else the portable one', () => {
  const modules = { simd: new Uint8Array([1]), portable: new Uint8Array([2]) };
  assert.deepStrictEqual(pickModule(modules, (bytes) => bytes[0] === 1), { variant: 'simd', wasm: modules.simd });
  assert.deepStrictEqual(pickModule(modules, () => false), { variant: 'portable', wasm: modules.portable });
});

// A diagnosis's blocks as the result carries them (line, id, score,
// ceiling, defects, accepted, races): test case 2 (d = 4) accepted, test
// case 1 (d = 3) rejected with two defects, test case 2 again accepted, and
// test case 1 accepted past the blocks with races; and the two test cases.
const diagnosed = {
  blocks: Int32Array.from([3, 2, 62, 84, 0, 1, 0, 8, 1, 0, 0, 2, 0, -1, 12, 2, 80, 84, 0, 1, 4, 17, 1, 35, 48, 0, 1, -1]),
  cases: Int32Array.from([1, 4, 3, 2, 1, 2, 6, 4, 3, 2]),
  races: { points: Int32Array.from([21, 16, 21, 4, 21, 19, 21, 19]), newcomers: Uint16Array.from([0, 2, 2, 0, 0, 2, 2, 2]) },
};

test('a block\'s figures: its share of the ceiling, its races against the race\'s ceiling and m, the scores by test case', () => {
  const shown = (index) => {
    const block = points.blockAt(diagnosed.blocks, index);
    return [block.line, block.id, block.accepted, block.defects, block.share === null ? null : block.share.toFixed(4)];
  };
  assert.deepStrictEqual([0, 1, 2, 3].map(shown),
                         [[3, 2, true, 0, '0.7381'], [8, 1, false, 2, null], [12, 2, true, 0, '0.9524'], [17, 1, true, 0, '0.7292']]);
  assert.strictEqual(points.blockCount(diagnosed.blocks), 4);
  // The second block with races: its points and newcomers from offset 4.
  const races = points.racesOf(points.blockAt(diagnosed.blocks, 2), points.caseOf(diagnosed.cases, 2), diagnosed.races);
  assert.deepStrictEqual([races.ceiling, Array.from(races.points), Array.from(races.newcomers), races.lost, races.atLimit,
                          races.changes], [21, [21, 19, 21, 19], [0, 2, 2, 2], 4, 3, 3]);
  // Race 1 has no limit: its newcomers never count, even where they equal m.
  const first = points.racesOf({ races: 0, ceiling: 84, score: 0 }, { d: 4, m: 0 }, diagnosed.races);
  assert.deepStrictEqual([first.atLimit, first.changes], [1, 3]);
  assert.deepStrictEqual(points.caseOf(diagnosed.cases, 1), { id: 1, n: 4, d: 3, k: 2, m: 1 });
  // Rejected blocks give nothing; a test case answered twice, both scores.
  assert.deepStrictEqual(points.scoresByCase(diagnosed.blocks, diagnosed.cases), [[1, 35], [2, 142]]);
  assert.strictEqual(points.firstWithRaces(diagnosed.blocks), 0);
  assert.strictEqual(points.firstWithRaces(diagnosed.blocks.slice(7, 14)), -1);
});

test('a line of the submission is placed among a diagnosis\'s blocks', () => {
  const rows = [
    ['contestant_number', 2, { kind: 'header' }],
    ['first_number_line', 3, { kind: 'number', previous: null }],
    ['team_of_race_1', 4, { kind: 'team', index: 0, numberLine: 3, id: 2, k: 3, d: 4, race: 1 }],
    ['last_team_of_a_block', 7, { kind: 'team', index: 0, numberLine: 3, id: 2, k: 3, d: 4, race: 4 }],
    ['next_number_line', 8, { kind: 'number', previous: { index: 0, numberLine: 3, id: 2, d: 4 } }],
    ['team_of_the_last_block', 20, { kind: 'team', index: 3, numberLine: 17, id: 1, k: 2, d: 3, race: 3 }],
    ['after_the_last_block', 21, { kind: 'number', previous: { index: 3, numberLine: 17, id: 1, d: 3 } }],
  ];
  for (const [name, line, want] of rows) {
    assert.deepStrictEqual(blocks.placeAmongBlocks(diagnosed.blocks, diagnosed.cases, line), want, name);
  }
});

test('the chart draws each series as one path of steps, scaled to its limit', () => {
  // The top value stands 5 units below the top of 100.
  assert.strictEqual(chart.barsPath([16, 16, 3], 16), 'M0 100V5H1V5H2V82.19H3V100Z');
  assert.strictEqual(chart.barsPath([0, 2], 2), 'M0 100V100H1V5H2V100Z');
  assert.strictEqual(chart.levelPath(16, 16, 3), 'M0 5H3');
  assert.strictEqual(chart.levelPath(1, 2, 1000), 'M0 52.5H1000');
  const many = chart.barsPath(Array.from({ length: 1000 }, (unused, race) => race % 7), 6);
  assert.strictEqual(many.match(/H/g).length, 1000);
});

test('a run against the last one: totals and test cases when both are accepted, defects when both are rejected', () => {
  const ok = (sum, byCase) => ({ sha256: 'a', time: '10:00:00', shape: 'ok', sum, count: byCase.length, byCase });
  const failed = (defects) => ({ sha256: 'a', time: '10:00:00', shape: 'failure', defects });
  const rows = [
    ['both_accepted', ok(97, [[1, 35], [2, 62]]), ok(115, [[1, 35], [2, 80]]),
     { total: { before: 97, after: 115, change: 18 }, defects: null,
       cases: [{ id: 1, before: 35, after: 35, change: 0 }, { id: 2, before: 62, after: 80, change: 18 }] }],
    ['a_test_case_dropped_and_one_added', ok(97, [[1, 35], [2, 62]]), ok(70, [[2, 40], [3, 30]]),
     { total: { before: 97, after: 70, change: -27 }, defects: null,
       cases: [{ id: 1, before: 35, after: null, change: null }, { id: 2, before: 62, after: 40, change: -22 },
               { id: 3, before: null, after: 30, change: null }] }],
    ['both_rejected', failed(12), failed(3), { total: null, defects: { before: 12, after: 3, change: -9 }, cases: [] }],
    ['rejected_then_accepted', failed(1), ok(35, [[1, 35]]), { total: null, defects: null, cases: [] }],
    ['defects_unknown', failed(null), failed(3), { total: null, defects: null, cases: [] }],
  ];
  for (const [name, previous, current, want] of rows) {
    const compared = runs.compare(previous, current);
    assert.deepStrictEqual({ total: compared.total, defects: compared.defects, cases: compared.cases }, want, name);
    assert.deepStrictEqual([compared.time, compared.shapes], ['10:00:00', [previous.shape, current.shape]], name);
  }
  assert.deepStrictEqual(runs.summaryOf({ sha256: 'a', time: 't', outcome: { shape: 'ok', sum: 35, count: 1, entries: [] },
                                          byCase: [[1, 35]], defects: 0 }),
                         { sha256: 'a', time: 't', shape: 'ok', sum: 35, count: 1, byCase: [[1, 35]] });
  assert.deepStrictEqual(runs.summaryOf({ sha256: 'a', time: 't', outcome: { shape: 'failure', check: 160 }, byCase: [],
                                          defects: 4 }), { sha256: 'a', time: 't', shape: 'failure', defects: 4 });
});

// Storage that holds items as localStorage does, or refuses to write.
class FakeStorage {
  constructor() { this.items = new Map(); this.full = false; }
  getItem(key) { return this.items.has(key) ? this.items.get(key) : null; }
  setItem(key, value) {
    if (this.full) throw new Error('QuotaExceededError');
    this.items.set(key, String(value));
  }
  removeItem(key) { this.items.delete(key); }
}

test('the last run is kept in the page, and in storage only for the test data asked for', () => {
  const run = (sha256, sum) => ({ sha256, time: 't', shape: 'ok', sum, count: 1, byCase: [[1, sum]] });
  const storage = new FakeStorage();
  const keeper = new runs.RunKeeper(storage);
  assert.strictEqual(keeper.previous('a'), null);
  assert.ok(keeper.record(run('a', 1)));
  assert.deepStrictEqual([keeper.previous('a').sum, storage.items.size], [1, 0], 'the page only, unasked');
  assert.ok(keeper.remember('a'));
  assert.ok(keeper.remembered('a'));
  keeper.record(run('a', 2));
  keeper.record(run('b', 5));
  assert.deepStrictEqual(Array.from(storage.items.keys()), [runs.kStoragePrefix + 'a'], 'only the test data asked for');
  // A page opened again has the stored run of a alone.
  const reloaded = new runs.RunKeeper(storage);
  assert.deepStrictEqual([reloaded.previous('a').sum, reloaded.previous('b')], [2, null]);
  reloaded.forget('a');
  assert.deepStrictEqual([reloaded.previous('a'), storage.items.size, reloaded.remembered('a')], [null, 0, false]);
  // Storage that refuses: the run stays in the page, and is not remembered.
  const refusing = new runs.RunKeeper(storage);
  refusing.record(run('c', 3));
  assert.ok(refusing.remember('c'));
  storage.full = true;
  assert.strictEqual(refusing.record(run('c', 4)), false);
  assert.deepStrictEqual([refusing.previous('c').sum, refusing.remembered('c')], [4, false]);
  // An entry that is not a run, and no storage at all.
  storage.items.set(runs.kStoragePrefix + 'd', '{"sha256":"e","shape":"ok"}');
  storage.items.set(runs.kStoragePrefix + 'f', 'not JSON');
  assert.deepStrictEqual([refusing.previous('d'), refusing.previous('f')], [null, null]);
  const none = new runs.RunKeeper(null);
  none.record(run('a', 1));
  assert.deepStrictEqual([none.remember('a'), none.previous('a').sum], [false, 1]);
});

test('a long list is drawn a page at a time', () => {
  const rows = [
    ['empty', 0, 0, { index: 0, from: 0, to: 0, pages: 1 }],
    ['one_page_exactly', 100, 0, { index: 0, from: 0, to: 100, pages: 1 }],
    ['the_last_page_short', 1001, 10, { index: 10, from: 1000, to: 1001, pages: 11 }],
    ['past_the_last', 250, 7, { index: 2, from: 200, to: 250, pages: 3 }],
    ['before_the_first', 250, -1, { index: 0, from: 0, to: 100, pages: 3 }],
  ];
  for (const [name, count, index, want] of rows) assert.deepStrictEqual(pageBounds(count, 100, index), want, name);
});

test('the test data alone: checked for emptiness and size only, and its verdict', () => {
  const file = (name, size) => ({ name, size, lastModified: 1 });
  assert.deepStrictEqual(inputs.problemOf(file('input.txt', 0), null), { problem: 'empty', which: 'testData' });
  assert.deepStrictEqual(inputs.problemOf(file('input.txt', inputs.kMaxTotalBytes + 1), null),
                         { problem: 'tooLarge', which: 'testData' });
  assert.strictEqual(inputs.problemOf(file('input.txt', inputs.kMaxTotalBytes), null), null);

  const names = { testData: 'input.txt' };
  const checked = (valid, cases, finding) => ({ kind: 'testDataChecked', valid, cases: Int32Array.from(cases), finding });
  const rows = [
    ['valid', 'sl', checked(true, [1, 4, 3, 2, 1, 2, 6, 4, 3, 2], null),
     ['accepted', 'Testni podatki so veljavni: 2 testna primera.', null]],
    ['valid_english', 'en', checked(true, [1, 4, 3, 2, 1], null), ['accepted', 'The test data is valid: 1 test case.', null]],
    ['invalid', 'sl', checked(false, [], { line: 8, missing: false, check: 107 }),
     ['rejected', 'Testni podatki niso veljavni: napaka v 8. vrstici (input.txt), preverjanje 107.', 107]],
    ['line_missing', 'en', checked(false, [], { line: 2, missing: true, check: 123 }),
     ['rejected', 'The test data is not valid: line 2 is missing from input.txt, check 123.', 123]],
    ['out_of_memory', 'sl', checked(false, [], null),
     ['broken', 'Brskalniku je zmanjkalo pomnilnika: testni podatki niso preverjeni.', null]],
  ];
  for (const [name, language, last, want] of rows) {
    const verdict = verdictOf(language, last, names);
    assert.deepStrictEqual([verdict.tone, verdict.text, verdict.check], want, name);
  }
});

test('numbers, changes and shares are written as each language writes them', () => {
  const rows = [
    [texts.number('sl', 1234567), '1.234.567'], [texts.number('en', 999), '999'], [texts.number('en', -1000), '\u22121,000'],
    [texts.change('sl', 18), '+18'], [texts.change('sl', -9), '\u22129'], [texts.change('en', 0), '0'],
    [texts.percent('sl', 62 / 84), '73,8\u00a0%'], [texts.percent('en', 1), '100.0%'], [texts.percent('en', 0.9996), '100.0%'],
  ];
  rows.forEach(([got, want], index) => assert.strictEqual(got, want, 'row ' + index));
});
