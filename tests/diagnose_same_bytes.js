// The diagnosis command built natively and its Node.js link write the same
// bytes and exit with the same status on every row of the tables of
// tests/report_cases.h, with the submission and with the test data alone; and
// a JSON reader gets each row's report back from the output, read as Latin-1.
//
//   node diagnose_same_bytes.js <native command> <Node.js link> <report_cases.json>
'use strict';

const { execFile } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

// Runs command on args; resolves to its status and its standard output's bytes.
function run(command, args) {
  return new Promise((resolve) => {
    execFile(command, args, { encoding: 'buffer', maxBuffer: 1 << 26 }, (error, stdout) => {
      resolve({ status: error ? error.code : 0, stdout });
    });
  });
}

// Compares both commands on one row; returns what differed, or nothing.
async function compareRow(row, folder, native, node) {
  const testData = path.join(folder, 'input.txt');
  const submission = path.join(folder, 'submission.txt');
  fs.writeFileSync(testData, Buffer.from(row.testData, 'hex'));
  fs.writeFileSync(submission, Buffer.from(row.submission, 'hex'));
  const wrong = [];
  for (const args of [[testData, submission], [testData]]) {
    const [mine, theirs] = await Promise.all([run(native, args), run(process.execPath, [node, ...args])]);
    const mode = args.length === 2 ? 'with the submission' : 'the test data alone';
    if (mine.status !== theirs.status || !mine.stdout.equals(theirs.stdout)) {
      wrong.push(`${row.name}, ${mode}: native ${mine.status} ${mine.stdout}, Node.js ${theirs.status} ${theirs.stdout}`);
    } else if (args.length === 2) {
      const report = Buffer.from(JSON.parse(mine.stdout.toString('latin1')).report, 'latin1');
      if (!report.equals(Buffer.from(row.report, 'hex'))) wrong.push(`${row.name}: the report read back differs`);
    }
  }
  return wrong;
}

async function main([native, node, casesPath]) {
  const rows = JSON.parse(fs.readFileSync(casesPath, 'utf8'));
  if (rows.length < 100) throw new Error('the tables have only ' + rows.length + ' rows');
  const wrong = [];
  // Two rows at a time, each in a folder of its own.
  const folders = [0, 1].map(() => fs.mkdtempSync(path.join(os.tmpdir(), 'zobnikari-same-bytes-')));
  let next = 0;
  await Promise.all(folders.map(async (folder) => {
    while (next < rows.length) wrong.push(...await compareRow(rows[next++], folder, native, node));
  }));
  for (const folder of folders) fs.rmSync(folder, { recursive: true, force: true });
  if (wrong.length > 0) {
    console.error(wrong.join('\n'));
    process.exitCode = 1;
  } else {
    console.log('the same bytes on all ' + rows.length + ' rows, with the submission and alone');
  }
}

main(process.argv.slice(2)).catch((error) => { console.error(error); process.exitCode = 1; });
