// The evaluation under Node.js against the native program, on one test data,
// measured in the same run and alternating: native, WebAssembly, native, ...
//   - in memory: bench_in_memory's medians (the evaluation, and the diagnosis,
//     from bytes in memory to the report, timed inside each process), native
//     and under Node.js; and the page's own path under Node.js: the bytes
//     copied into the module's memory, evaluated, the report taken back
//     (evaluator-client.js);
//   - the same diagnosis of a submission whose every team line is defective
//     (1000 blocks of 1000 races: a million findings, 1000 listed), which
//     this script writes beside the system's temporary files;
//   - the whole command: the program's wall time, native and under Node.js,
//     and the diagnosis command's on the same files.
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
// prints first, and the diagnosis's median that bench_in_memory prints.
const reportedMedian = (out) => Number(/median ([\d.]+) ms/.exec(out)[1]);
const reportedDiagnosis = (out) => Number(/diagnosis median ([\d.]+) ms/.exec(out)[1]);

// Writes, into a folder of its own, the test data of data with a submission
// whose every team line holds two cyclists where a team has more: 1000
// blocks of test case 1, each line failing check 160. Returns the three
// files' paths, as bench_in_memory takes them.
function writeDefective(data) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'zobnikari-defective-'));
  const testData = path.join(data, 'input.txt');
  const header = /\n\n1 (\d+) (\d+) (\d+) /.exec(fs.readFileSync(testData, 'latin1').slice(0, 100));
  const [d, k] = [Number(header[2]), Number(header[3])];
  const block = '1\n' + '1 1\n'.repeat(d);
  const submission = path.join(folder, 'submission.txt');
  fs.writeFileSync(submission, '123456\nZobnikari\n' + block.repeat(1000));
  const expected = path.join(folder, 'expected_report.txt');
  fs.writeFileSync(expected, 'Napaka [Orv19Zobnikari.cpp:160]: ekipa za 1. dirko bi morala imeti k = ' +
                   k + ' kolesarjev, ne pa 2\n-1\n');
  return { folder, files: [testData, submission, expected] };
}

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
// REQUIRES: the native build folder holds Orv19Zobnikari,
// Orv19Zobnikari-diagnose and bench/bench_in_memory, the web build folder the
// same as .js, and web/evaluator.js.
function main([data, native, web, roundsText = '11']) {
  const files = ['input.txt', 'submission.txt', 'expected_report.txt'].map((name) => path.join(data, name));
  const defective = writeDefective(data);
  const report = path.join(os.tmpdir(), 'zobnikari-web-ratio-report.txt');
  const node = process.execPath;
  const inMemory = (command, inputs) => {
    const out = run([...command, ...inputs, String(kInnerRounds)]).out;
    return { evaluation: reportedMedian(out), diagnosis: reportedDiagnosis(out) };
  };
  const nativeBench = [path.join(native, 'bench/bench_in_memory')];
  const webBench = [node, path.join(web, 'bench/bench_in_memory.js')];
  // Each measure gives one or more named times.
  const measures = [
    () => {
      const times = inMemory(nativeBench, files);
      return { 'in memory, native': times.evaluation, 'diagnosis in memory, native': times.diagnosis };
    },
    () => {
      const times = inMemory(webBench, files);
      return { 'in memory, WebAssembly under Node.js': times.evaluation,
               'diagnosis in memory, WebAssembly under Node.js': times.diagnosis };
    },
    () => ({ 'in memory, the page\'s path under Node.js': reportedMedian(run([node, __filename, '--client', path.join(web, 'web/evaluator.js'), data]).out) }),
    () => ({ 'diagnosis of a million defective lines in memory, native': inMemory(nativeBench, defective.files).diagnosis }),
    () => ({ 'diagnosis of a million defective lines in memory, WebAssembly under Node.js': inMemory(webBench, defective.files).diagnosis }),
    () => ({ 'whole command, native': run([path.join(native, 'Orv19Zobnikari'), 'eval', files[0], files[1], report]).milliseconds }),
    () => ({ 'whole command, under Node.js': run([node, path.join(web, 'Orv19Zobnikari.js'), 'eval', files[0], files[1], report]).milliseconds }),
    () => ({ 'diagnosis command, native': run([path.join(native, 'Orv19Zobnikari-diagnose'), files[0], files[1]]).milliseconds }),
    () => ({ 'diagnosis command, under Node.js': run([node, path.join(web, 'Orv19Zobnikari-diagnose.js'), files[0], files[1]]).milliseconds }),
    () => ({ 'Node.js alone (no arguments: the usage line)': run([node, path.join(web, 'Orv19Zobnikari.js')]).milliseconds }),
  ];
  const times = {};
  for (let round = 0; round < Number(roundsText); ++round) {
    for (const measure of measures) {
      for (const [name, value] of Object.entries(measure())) (times[name] = times[name] || []).push(value);
    }
  }
  fs.rmSync(report, { force: true });
  fs.rmSync(defective.folder, { recursive: true, force: true });
  const medians = Object.fromEntries(Object.entries(times).map(([name, list]) => [name, median(list)]));
  // Each time against its native counterpart: the evaluation in memory
  // against the native one, each diagnosis in memory against its native run,
  // a command against the native program.
  const base = (name) => {
    if (name.startsWith('diagnosis of a million')) return medians['diagnosis of a million defective lines in memory, native'];
    if (name.startsWith('diagnosis in memory')) return medians['diagnosis in memory, native'];
    if (name.includes('in memory')) return medians['in memory, native'];
    return medians['whole command, native'];
  };
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
