// The page's WebAssembly module under Node.js, through the worker's own code
// (lib/worker.js, lib/evaluator-client.js): every row of the tables in
// tests/report_cases.h gives its report byte for byte and the place of its
// failure; what the page is given to draw; memory that runs out gives the
// program's report, never an abort.
'use strict';

const test = require('node:test');
const assert = require('node:assert');
const crypto = require('node:crypto');
const fs = require('node:fs');
const path = require('node:path');

const client = require('../lib/evaluator-client.js');
const worker = require('../lib/worker.js');
const visible = require('../lib/visible.js');
const messages = require('../lib/messages.js');
const { Feeder } = require('../lib/feeder.js');
const { kUnexpectedFailure } = require('../lib/report.js');

// Both modules: with WebAssembly SIMD, and portable.
const modules = process.env.ZOBNIKARI_MODULES.split(':').map((loader) => ({
  loader,
  name: path.basename(loader, '.js'),
  createModule: require(loader),
  wasm: fs.readFileSync(loader.replace(/\.js$/, '.wasm')),
}));
const example = {
  testData: fs.readFileSync(path.join(process.env.ZOBNIKARI_EXAMPLES, 'input.txt')),
  submission: fs.readFileSync(path.join(process.env.ZOBNIKARI_EXAMPLES, 'submission.txt')),
};

// Returns the last message of the worker's evaluation of two byte arrays,
// read as the page reads chosen files.
async function evaluateBytes(evaluator, testData, submission) {
  return worker.evaluateFiles(evaluator, {
    testData: new Feeder(new Blob([testData])),
    submission: new Feeder(new Blob([submission])),
  }, (message) => message);
}

test('every table row gives its report and its place, byte for byte, in both modules, as the evaluation does', async () => {
  const rows = JSON.parse(fs.readFileSync(process.env.ZOBNIKARI_REPORT_CASES, 'utf8'));
  assert.ok(rows.length >= 100, 'the tables have ' + rows.length + ' rows');
  assert.strictEqual(modules.length, 2);
  const wrong = [];
  const placed = (result) => ({
    report: Buffer.from(result.report).toString('hex'), file: result.file, line: result.line,
    lineMissing: result.lineMissing,
  });
  for (const { name, createModule, wasm } of modules) {
    const evaluator = await client.createEvaluator(createModule, wasm);
    for (const row of rows) {
      const testData = Buffer.from(row.testData, 'hex');
      const submission = Buffer.from(row.submission, 'hex');
      const last = await evaluateBytes(evaluator, testData, submission);
      const want = { report: row.report, file: row.file, line: row.line, lineMissing: row.lineMissing };
      // The page shows the diagnosis's report: the evaluation's own, on its
      // own, must be the same.
      const held = [evaluator.holdCopy(testData), evaluator.holdCopy(submission)];
      const evaluation = placed(evaluator.evaluate(held[0], held[1]));
      held.forEach((bytes) => bytes.release());
      const got = last.kind !== 'result' ? last.kind : placed(last);
      for (const [what, result] of [['page', got], ['evaluation', evaluation]]) {
        if (JSON.stringify(result) !== JSON.stringify(want)) wrong.push({ module: name, row: row.name, what, result, want });
      }
      if (last.diagnosis && last.diagnosis.incomplete) wrong.push({ module: name, row: row.name, what: 'incomplete' });
    }
  }
  assert.deepStrictEqual(wrong, []);
});

test('memory that runs out gives the report for unexpected failures, and the module goes on', async () => {
  // 64 MiB in all: a line of 40 MiB cannot be quoted in a message beside the
  // submission that holds it; one of 24 MiB can, but the report cannot hold
  // the message a second time.
  const { createModule, wasm } = modules[0];
  const evaluator = await client.createEvaluator(createModule, wasm, { maximumBytes: 64 << 20 });
  for (const mebibytes of [40, 24]) {
    const submission = Buffer.concat([Buffer.from('123456\nZobnikari\n'),
                                      Buffer.alloc(mebibytes << 20, 'x'), Buffer.from('\n')]);
    const last = await evaluateBytes(evaluator, example.testData, submission);
    assert.strictEqual(Buffer.from(last.report).toString('latin1'), kUnexpectedFailure, mebibytes + ' MiB');
    assert.deepStrictEqual([last.file, last.line, last.lineMissing], ['submission', 3, false]);
    assert.ok(last.memoryBytes <= 64 << 20);
    // The diagnosis gave way: no lists, and the place from the evaluation.
    assert.deepStrictEqual([last.diagnosis.incomplete, last.diagnosis.findings.length, last.diagnosis.blocks.length],
                           [true, 0, 0], mebibytes + ' MiB');
    assert.strictEqual(last.place.lines.find((line) => line.marked).number, 3);
  }
  const again = await evaluateBytes(evaluator, example.testData, example.submission);
  assert.strictEqual(Buffer.from(again.report).toString('latin1'), 'OK\n1\n1 35\n');
});

test('a file larger than the module\'s memory is told apart, and nothing is evaluated', async () => {
  const { createModule, wasm } = modules[0];
  const evaluator = await client.createEvaluator(createModule, wasm, { maximumBytes: 32 << 20 });
  const last = await evaluateBytes(evaluator, example.testData, Buffer.alloc(40 << 20, '1'));
  assert.deepStrictEqual(last, { kind: 'tooLarge', which: 'submission' });
  assert.throws(() => evaluator.hold(2 ** 32), RangeError);
});

test('the checksum is the SHA-256 of the test data\'s bytes, from the browser\'s Web Crypto', async () => {
  const { createModule, wasm } = modules[0];
  const evaluator = await client.createEvaluator(createModule, wasm);
  const large = Buffer.from('Zobnikari\n' + '1 2 3 4 5 6 7 8 9\n'.repeat(100000));
  for (const testData of [example.testData, large]) {
    const last = await evaluateBytes(evaluator, testData, example.submission);
    assert.strictEqual(last.sha256, crypto.createHash('sha256').update(testData).digest('hex'));
  }
});

test('the module\'s records have the layouts that the page reads', async () => {
  const words = (fields, count) => ({ size: 4 * count, offsets: Object.values(fields).map((word) => 4 * word) });
  for (const { name, createModule, wasm } of modules) {
    const evaluator = await client.createEvaluator(createModule, wasm);
    assert.deepStrictEqual(evaluator.resultLayout(),
                           { size: client.kResultSize, offsets: Object.values(client.kResult) }, name);
    assert.deepStrictEqual(evaluator.diagnosisLayout(), [
      { size: client.kRecordSizes.diagnosis, offsets: Object.values(client.kDiagnosis) },
      { size: client.kRecordSizes.finding, offsets: Object.values(client.kFinding) },
      words(messages.kBlockFields, messages.kBlockWords),
      { size: client.kRecordSizes.races, offsets: Object.values(client.kRaces) },
      words(messages.kCaseFields, messages.kCaseWords),
    ], name);
  }
});

test('a failure\'s place: its lines drawn byte by byte, its block, the byte at fault; and files swapped', async () => {
  const { createModule, wasm } = modules[0];
  const evaluator = await client.createEvaluator(createModule, wasm);
  const input = example.testData.toString('latin1');
  const submission = (teams) => '123456\nZobnikari\n1\n' + teams;
  // What the page is given: the check, the lines shown (> marks the line
  // concerned, [ ] the byte at fault), the block, the swap hints.
  const shown = (last) => ({
    check: last.outcome.check,
    lines: last.place.lines.map((line) => (line.marked ? '>' : ' ') + line.number + ' ' +
        line.runs.map((run) => (run.marked ? '[' + visible.runsText([run]) + ']' : visible.runsText([run]))).join('')),
    block: last.place.block && Object.assign({}, last.place.block, {
      numberLine: last.place.block.numberLine && last.place.block.numberLine.number,
      headerLine: last.place.block.headerLine && last.place.block.headerLine.number,
    }),
    swap: [last.swap.testDataLooksLikeSubmission, last.swap.submissionLooksLikeTestData],
  });
  const team = (race, lineOfNumber) => ({ kind: 'team', id: 1, k: 2, d: 3, race, numberLine: lineOfNumber,
                                          headerLine: undefined });
  const rows = [
    ['no_break_space_in_a_team', input, submission('3 1\n1\xc2\xa02\n2 1\n'), {
      check: 55, lines: [' 2 Zobnikari', ' 3 1', ' 4 3 1', '>5 1[\u27e8C2\u27e9]\u27e8A0\u27e92', ' 6 2 1'],
      block: team(2, 3), swap: [false, false] }],
    ['team_too_large', input, submission('3 1\n1 2\n2 1 4\n'), {
      check: 160, lines: [' 3 1', ' 4 3 1', ' 5 1 2', '>6 2 1 4'], block: team(3, 3), swap: [false, false] }],
    ['team_missing', input, submission('3 1\r\n'), {
      check: 158, lines: [' 2 Zobnikari', ' 3 1', ' 4 3 1'], block: team(2, 3), swap: [false, false] }],
    ['surplus_line', input, submission('3 1\n1 2\n2 1\n-\n'), {
      check: 215, lines: [' 4 3 1', ' 5 1 2', ' 6 2 1', '>7 -'],
      block: { kind: 'number', previous: { id: 1, d: 3, number: 3 }, numberLine: undefined, headerLine: undefined },
      swap: [false, false] }],
    ['finisher_twice', input.replace('1 2 3 4\n', '1 2 3 3\n'), example.submission.toString('latin1'), {
      check: 107, lines: [' 4 1 4 3 2 1', ' 5 10 6 3 0', ' 6 3 1 4 2', '>7 1 2 3 3', ' 8 4 3 2 1'],
      block: { kind: 'race', id: 1, n: 4, d: 3, k: 2, m: 1, race: 2, headerLine: 4, numberLine: undefined },
      swap: [false, false] }],
    ['files_swapped', example.submission.toString('latin1'), input, {
      check: 120, lines: ['>1 123456', ' 2 Zobnikari', ' 3 1', ' 4 3 1'], block: null, swap: [true, true] }],
  ];
  for (const [name, testData, answers, want] of rows) {
    const last = await evaluateBytes(evaluator, Buffer.from(testData, 'latin1'), Buffer.from(answers, 'latin1'));
    assert.deepStrictEqual(shown(last), want, name);
  }
});

// Returns a finding as the page is given it: its place and check, its lines
// (> marks its own, [ ] the byte at fault), and its block.
const findingShown = (finding) => ({
  at: finding.file + ':' + finding.line + (finding.missing ? ' (missing) ' : ' ') + finding.check + ' ' +
      visible.runsText(finding.message.runs),
  lines: finding.place.lines.map((line) => (line.marked ? '>' : ' ') + line.number + ' ' +
      line.runs.map((run) => (run.marked ? '[' + visible.runsText([run]) + ']' : visible.runsText([run]))).join('')),
  block: finding.block,
  place: finding.place.block && Object.assign({}, finding.place.block, {
    numberLine: finding.place.block.numberLine && finding.place.block.numberLine.number,
    headerLine: finding.place.block.headerLine && finding.place.block.headerLine.number,
  }),
});

const twoCases = 'Zobnikari\n2\n\n1 4 3 2 1\n10 6 3 0\n3 1 4 2\n1 2 3 4\n4 3 2 1\n' +
    '\n2 6 4 3 2\n9 7 5 3 1 0\n1 2 3 4 5 6\n6 5 4 3 2 1\n2 4 6 1 3 5\n5 3 1 6 4 2\n';

test('the diagnosis through the worker: every defect in its place, the blocks and their races', async () => {
  const { createModule, wasm } = modules[0];
  const evaluator = await client.createEvaluator(createModule, wasm);
  // Test case 2 accepted (62), three blocks with defects, test case 1
  // accepted (35).
  const submission = '123456\nZobnikari\n2\n1 2 3\n1 5 6\n6 2 4\n4 2 6\n1\n3 1\n1 2\n2 x\n' +
      '2\n1 2 3\n1 5 6\n6 2 2\n4 2 99999999999\n1\n3 1\n1 2\n3 4\n1\n3 1\n1 2\n2 1\n';
  const last = await evaluateBytes(evaluator, Buffer.from(twoCases), Buffer.from(submission));
  const team = (index, id, race, numberLine) => ({ kind: 'team', id, k: id === 1 ? 2 : 3, d: id === 1 ? 3 : 4, race,
                                                   numberLine, headerLine: undefined });
  assert.deepStrictEqual(last.diagnosis.findings.map(findingShown), [
    { at: 'submission:11 55 namesto stevke se pojavlja znak s kodo 120',
      lines: [' 8 1', ' 9 3 1', ' 10 1 2', '>11 2 [x]', ' 12 2', ' 13 1 2 3', ' 14 1 5 6'], block: 1, place: team(1, 1, 3, 8) },
    { at: 'submission:15 169 v ekipi za 3. dirko se kolesar 2 pojavlja vec kot enkrat',
      lines: [' 12 2', ' 13 1 2 3', ' 14 1 5 6', '>15 6 2 2', ' 16 4 2 99999999999', ' 17 1', ' 18 3 1'], block: 2,
      place: team(2, 2, 3, 12) },
    { at: 'submission:16 61 stevilo 9999999999 je preveliko',
      lines: [' 13 1 2 3', ' 14 1 5 6', ' 15 6 2 2', '>16 4 2 99999999999', ' 17 1', ' 18 3 1', ' 19 1 2'], block: 2,
      place: team(2, 2, 4, 12) },
    { at: 'submission:20 174 med 2. in 3. dirko je 2 menjav, moralo bi jih biti od 1 do m = 1',
      lines: [' 17 1', ' 18 3 1', ' 19 1 2', '>20 3 4', ' 21 1', ' 22 3 1', ' 23 1 2'], block: 3, place: team(3, 1, 3, 17) },
  ]);
  assert.strictEqual(last.place, last.diagnosis.findings[0].place, 'the failure\'s place is the first finding\'s');
  assert.strictEqual(last.diagnosis.moreFindings, 0);
  // Each block: line, id, score, ceiling, defects, accepted, its races' offset.
  assert.deepStrictEqual(Array.from(last.diagnosis.blocks), [3, 2, 62, 84, 0, 1, 0, 8, 1, 0, 0, 1, 0, -1,
    12, 2, 0, 0, 2, 0, -1, 17, 1, 0, 0, 1, 0, -1, 21, 1, 35, 48, 0, 1, 4]);
  assert.deepStrictEqual([Array.from(last.diagnosis.races.points), Array.from(last.diagnosis.races.newcomers)],
                         [[21, 16, 21, 4, 16, 16, 3], [0, 2, 2, 0, 0, 1, 0]]);
  assert.deepStrictEqual(Array.from(last.diagnosis.cases), [1, 4, 3, 2, 1, 2, 6, 4, 3, 2]);
});

test('past the first 1000 defects: the rest counted, the 1000th in its place', async () => {
  const { createModule, wasm } = modules[0];
  const evaluator = await client.createEvaluator(createModule, wasm);
  // 400 blocks of the example whose three teams repeat cyclist 1: block b's
  // number line is 3 + 4b.
  const last = await evaluateBytes(evaluator, example.testData,
                                   Buffer.from('123456\nZobnikari\n' + '1\n1 1\n1 1\n1 1\n'.repeat(400)));
  const { findings, moreFindings, blocks } = last.diagnosis;
  assert.deepStrictEqual([findings.length, moreFindings, blocks.length / messages.kBlockWords], [1000, 200, 400]);
  assert.deepStrictEqual(findingShown(findings[999]), {
    at: 'submission:1336 169 v ekipi za 1. dirko se kolesar 1 pojavlja vec kot enkrat',
    lines: [' 1333 1 1', ' 1334 1 1', ' 1335 1', '>1336 1 1', ' 1337 1 1', ' 1338 1 1', ' 1339 1'], block: 333,
    place: { kind: 'team', id: 1, k: 2, d: 3, race: 1, numberLine: 1335, headerLine: undefined },
  });
  // Every block counts its three defects, the ones not listed too.
  assert.deepStrictEqual(blocks.slice(399 * messages.kBlockWords), Int32Array.from([1599, 1, 0, 0, 3, 0, -1]));
});

test('the test data alone: valid with its test cases, or its one defect in its place', async () => {
  const { createModule, wasm } = modules[0];
  const evaluator = await client.createEvaluator(createModule, wasm);
  const alone = (testData) => worker.evaluateFiles(evaluator, { testData: new Feeder(new Blob([testData])), submission: null },
                                                   (message) => message);
  const valid = await alone(Buffer.from(twoCases));
  assert.deepStrictEqual([valid.kind, valid.valid, Array.from(valid.cases), valid.finding],
                         ['testDataChecked', true, [1, 4, 3, 2, 1, 2, 6, 4, 3, 2], null]);
  assert.strictEqual(valid.sha256, crypto.createHash('sha256').update(twoCases).digest('hex'));
  const invalid = await alone(Buffer.from(twoCases.replace('4 3 2 1\n\n', '4 3 2 2\n\n')));
  assert.deepStrictEqual([invalid.valid, invalid.cases.length], [false, 0]);
  assert.deepStrictEqual(findingShown(invalid.finding), {
    at: 'testData:8 107 v 8. vrstici se stevilka kolesarja 2 pojavlja vec kot enkrat',
    lines: [' 5 10 6 3 0', ' 6 3 1 4 2', ' 7 1 2 3 4', '>8 4 3 2 2', ' 9 ', ' 10 2 6 4 3 2', ' 11 9 7 5 3 1 0'], block: -1,
    place: { kind: 'race', id: 1, n: 4, d: 3, k: 2, m: 1, race: 3, headerLine: 4, numberLine: undefined },
  });
  const missing = await alone(Buffer.from('Zobnikari\n'));
  assert.strictEqual(findingShown(missing.finding).at, 'testData:2 (missing) 123 manjka druga vrstica s stevilom testnih primerov');
});

test('a quoted line of 30 MB: the report whole, its view cut, with the line\'s length', async () => {
  const { createModule, wasm } = modules[0];
  const evaluator = await client.createEvaluator(createModule, wasm);
  const line = 30 * 1000 * 1000;
  const last = await evaluateBytes(evaluator, example.testData,
                                   Buffer.concat([Buffer.from('123456\nZobnikari\n'), Buffer.alloc(line, 'x')]));
  const start = 'Napaka [Orv19Zobnikari.cpp:215]: v 3. vrstici bi morala biti stevilka testnega primera, ne pa "';
  assert.strictEqual(last.report.length, start.length + line + '"\n-1\n'.length);
  const [first, second] = last.reportView.lines;
  assert.deepStrictEqual([first.length, first.after, visible.runsText(first.runs).slice(0, start.length)],
                         [start.length + line + 1, start.length + line + 1 - 1000, start]);
  assert.deepStrictEqual([visible.runsText(second.runs), last.reportView.lines.length], ['-1', 2]);
  assert.deepStrictEqual([last.place.lines[2].length, last.place.lines[2].after], [line, line - 300]);
});

test('the page\'s bundle carries both modules, the worker\'s code and the version', () => {
  const sandbox = {};
  require('node:vm').runInNewContext(
      fs.readFileSync(path.join(process.env.ZOBNIKARI_SITE, 'evaluator-bundle.js'), 'utf8'), sandbox);
  const bundle = sandbox.ZobnikariBundle;
  assert.ok(Buffer.from(bundle.wasm.simd, 'base64').equals(modules[0].wasm));
  assert.ok(Buffer.from(bundle.wasm.portable, 'base64').equals(modules[1].wasm));
  assert.ok(!modules[1].wasm.equals(modules[0].wasm));
  for (const { loader } of modules) assert.ok(bundle.workerSource.includes(fs.readFileSync(loader, 'utf8')));
  assert.ok(bundle.workerSource.includes(fs.readFileSync(require.resolve('../lib/worker.js'), 'utf8')));
  assert.match(bundle.version, /^\d+\.\d+\.\d+$/);
  assert.match(bundle.commit, /^[0-9a-f]{40}/);
});
