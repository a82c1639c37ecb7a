// The evaluation under Node.js against the native program, on one test data,
// measured in the same run and alternating: native, WebAssembly, native, ...
//   - in memory: bench_in_memory's median (the evaluation from bytes in memory
//     to the report, timed inside each process), native and under Node.js;
//     and the page's own path under Node.js: the bytes copied into the
//     module's memory, evaluated, the report taken back (evaluator-client.js);
//   - the whole command: the program's wall time, native and under Node.js.
// Prints a Markdown table of medians and ratios.
//
//   node web_ratio.js <folder with input.txt, submission.txt, expected_report.txt>
//     <native build folder> <web build folder> [rounds]
'use strict';

const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

const kInnerRounds = 5; // evaluations per process, of which the median counts

// Returns the median of numbers.
function median(numbers) {
  const sorted = [...numbers].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
}

// Runs command (program and arguments); returns its standard output and its
// wall time in milliseconds, or fails.
function run(command) {
  const start = process.hrtime.bigint();
  const result = spawnSync(command[0], command.slice(1), { encoding: 'latin1' });
  const milliseconds = Number(process.hrtime.bigint() - start) / 1e6;
  if (result.status !== 0) {
    throw new Error(command.join(' ') + ' failed (' + result.status + '): ' + result.stderr);
  }
  return { out: result.stdout, milliseconds };
}

// Returns the median that bench_in_memory (or this script's --client mode)
// prints.
const reportedMedian = (out) => Number(/median ([\d.]+) ms/.exec(out)[1]);

// The page's path, timed inside this process: prints its median like
// bench_in_memory.
async function clientMode([modulePath, data]) {
  const client = require(path.join(__dirname, '../web/lib/evaluator-client.js'));
  const evaluator = await client.createEvaluator(require(path.resolve(modulePath)),
                                                 fs.readFileSync(modulePath.replace(/\.js$/, '.wasm')));
  const testData = fs.readFileSync(path.join(data, 'input.txt'));
  const submission = fs.readFileSync(path.join(data, 'submission.txt'));
  const expected = fs.readFileSync(path.join(data, 'expected_report.txt'));
  const times = [];
  let memoryBytes = 0;
  for (let round = 0; round < kInnerRounds; ++round) {
    const start = process.hrtime.bigint();
    const heldTestData = evaluator.holdCopy(testData);
    const heldSubmission = evaluator.holdCopy(submission);
    const result = evaluator.evaluate(heldTestData, heldSubmission);
    heldTestData.release();
    heldSubmission.release();
    times.push(Number(process.hrtime.bigint() - start) / 1e6);
    if (!Buffer.from(result.report).equals(expected)) throw new Error('the report differs');
    memoryBytes = result.memoryBytes;
  }
  console.log('median ' + median(times).toFixed(2) + ' ms, memory ' + memoryBytes + ' bytes');
}

// Measures every measure rounds times in turn and prints the table.
// REQUIRES: the native build folder holds Orv19Zobnikari and
// bench/bench_in_memory, the web build folder the same as .js, and
// web/evaluator.js.
function main([data, native, web, roundsText = '11']) {
  const files = ['input.txt', 'submission.txt', 'expected_report.txt'].map((name) => path.join(data, name));
  const report = path.join(os.tmpdir(), 'zobnikari-web-ratio-report.txt');
  const node = process.execPath;
  const measures = {
    'in memory, native': () => reportedMedian(run([path.join(native, 'bench/bench_in_memory'), ...files, String(kInnerRounds)]).out),
    'in memory, WebAssembly under Node.js': () => reportedMedian(run([node, path.join(web, 'bench/bench_in_memory.js'), ...files, String(kInnerRounds)]).out),
    'in memory, the page\'s path under Node.js': () => reportedMedian(run([node, __filename, '--client', path.join(web, 'web/evaluator.js'), data]).out),
    'whole command, native': () => run([path.join(native, 'Orv19Zobnikari'), 'eval', files[0], files[1], report]).milliseconds,
    'whole command, under Node.js': () => run([node, path.join(web, 'Orv19Zobnikari.js'), 'eval', files[0], files[1], report]).milliseconds,
    'Node.js alone (no arguments: the usage line)': () => run([node, path.join(web, 'Orv19Zobnikari.js')]).milliseconds,
  };
  const times = Object.fromEntries(Object.keys(measures).map((name) => [name, []]));
  for (let round = 0; round < Number(roundsText); ++round) {
    for (const [name, measure] of Object.entries(measures)) times[name].push(measure());
  }
  fs.rmSync(report, { force: true });
  const medians = Object.fromEntries(Object.entries(times).map(([name, list]) => [name, median(list)]));
  const base = (name) => name.startsWith('in memory') ? medians['in memory, native'] : medians['whole command, native'];
  console.log('| measure | median ms | against native |\n|---|---|---|');
  for (const [name, value] of Object.entries(medians)) {
    console.log(`| ${name} | ${value.toFixed(1)} | ${(value / base(name)).toFixed(2)} |`);
  }
}

if (process.argv[2] === '--client') {
  clientMode(process.argv.slice(3)).catch((error) => { console.error(error); process.exitCode = 1; });
} else {
  main(process.argv.slice(2));
}
