// The page's WebAssembly module under Node.js, through the worker's own code
// (lib/worker.js, lib/evaluator-client.js): every row of the tables in
// tests/report_cases.h gives its report byte for byte and the place of its
// failure; memory that runs out gives the program's report, never an abort.
'use strict';

const test = require('node:test');
const assert = require('node:assert');
const crypto = require('node:crypto');
const fs = require('node:fs');
const path = require('node:path');

const client = require('../lib/evaluator-client.js');
const worker = require('../lib/worker.js');
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

// Returns the last message of the worker's evaluation of two byte arrays.
async function evaluateBytes(evaluator, testData, submission) {
  return worker.evaluateFiles(evaluator, {
    testData: new Blob([testData]),
    submission: new Blob([submission]),
  }, (message) => message);
}

test('every table row gives its report and its place, byte for byte, in both modules', async () => {
  const rows = JSON.parse(fs.readFileSync(process.env.ZOBNIKARI_REPORT_CASES, 'utf8'));
  assert.ok(rows.length >= 100, 'the tables have ' + rows.length + ' rows');
  assert.strictEqual(modules.length, 2);
  const wrong = [];
  for (const { name, createModule, wasm } of modules) {
    const evaluator = await client.createEvaluator(createModule, wasm);
    for (const row of rows) {
      const last = await evaluateBytes(evaluator, Buffer.from(row.testData, 'hex'),
                                       Buffer.from(row.submission, 'hex'));
      const got = last.kind !== 'result' ? last.kind : {
        report: Buffer.from(last.report).toString('hex'),
        file: last.file, line: last.line, lineMissing: last.lineMissing,
      };
      const want = { report: row.report, file: row.file, line: row.line, lineMissing: row.lineMissing };
      if (JSON.stringify(got) !== JSON.stringify(want)) wrong.push({ module: name, row: row.name, got, want });
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

test('the checksum is the SHA-256 of the test data\'s bytes', async () => {
  const { createModule, wasm } = modules[0];
  const evaluator = await client.createEvaluator(createModule, wasm);
  for (const bytes of [example.testData, crypto.randomBytes(1 << 20), Buffer.alloc(0)]) {
    const held = evaluator.holdCopy(bytes);
    assert.strictEqual(evaluator.sha256(held), crypto.createHash('sha256').update(bytes).digest('hex'));
    held.release();
  }
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
