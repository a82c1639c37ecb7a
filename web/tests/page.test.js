// The page in Chromium (Debian's, driven by playwright-core), opened from disk
// and served from 127.0.0.1: the example with its verdict, a failure of each
// reader with its line, the largest test data timed, bad inputs, files that
// change on disk (with handles and without), bytes drawn visibly, a phone's
// width, a 30 MB line without a frozen page, every defect listed and shown
// in its line, a block's chart and its table, each run against the last,
// the test data alone, a thousand defects without a frozen page, and no
// request beyond the page's own files. The table rows under Node.js already
// prove the bytes; these prove the page around them.
'use strict';

const test = require('node:test');
const assert = require('node:assert');
const crypto = require('node:crypto');
const fs = require('node:fs');
const http = require('node:http');
const os = require('node:os');
const path = require('node:path');
const { pathToFileURL } = require('node:url');

let chromium;
try {
  ({ chromium } = require('playwright-core'));
} catch (error) {
  throw new Error('playwright-core is missing: run `npm ci` in the source folder first');
}

const site = process.env.ZOBNIKARI_SITE;
const examples = process.env.ZOBNIKARI_EXAMPLES;
const largest = process.env.ZOBNIKARI_LARGEST; // a folder of bench_generate
const rows = JSON.parse(fs.readFileSync(process.env.ZOBNIKARI_REPORT_CASES, 'utf8'));
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'zobnikari-page-'));

// Serves the page's folder on 127.0.0.1, nothing else; returns its address.
function serve() {
  const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css' };
  const server = http.createServer((request, response) => {
    const file = path.join(site, decodeURIComponent(new URL(request.url, 'http://x').pathname));
    if (!file.startsWith(site + path.sep) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'text/plain' });
    response.end(fs.readFileSync(file));
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

let context;
let server;
const pages = {};
const requests = [];

test.before(async () => {
  context = await chromium.launchPersistentContext(path.join(scratch, 'profile'), {
    executablePath: process.env.ZOBNIKARI_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    acceptDownloads: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  context.on('request', (request) => requests.push(request.url()));
  server = await serve();
  pages.file = pathToFileURL(path.join(site, 'index.html')).href;
  pages.http = 'http://127.0.0.1:' + server.address().port + '/index.html';
});

test.after(async () => {
  await context.close();
  server.close();
  fs.rmSync(scratch, { recursive: true, force: true });
});

const pageErrors = [];

// Returns a fresh page at url; errors that it throws are kept for the last test.
async function open(url) {
  const page = await context.newPage();
  page.on('pageerror', (error) => pageErrors.push(error.message));
  await page.goto(url);
  return page;
}

// Writes bytes to name in the scratch folder; returns its path.
function scratchFile(name, bytes) {
  const file = path.join(scratch, name);
  fs.writeFileSync(file, bytes);
  return file;
}

// Chooses both files and returns once the page, no longer busy, shows a
// report or a problem.
async function choose(page, testData, submission) {
  await page.setInputFiles('#test-data', testData);
  await page.setInputFiles('#submission', submission);
  await settled(page);
}

async function settled(page) {
  await page.waitForSelector('body[data-busy="false"] :is(#result, #problem):not([hidden])',
                             { timeout: 60000 });
}

// Returns the verdict's first line as the page shows it.
const verdictShown = (page) => page.textContent('#verdict .verdict-text');

// Returns the report as the page shows it.
const reportShown = (page) => page.textContent('#report');
const Node_DOCUMENT_POSITION_FOLLOWING = 4;

test('the example, from disk and from 127.0.0.1: OK, the scores, the saved report', async () => {
  const input = path.join(examples, 'input.txt');
  for (const url of [pages.file, pages.http]) {
    const page = await open(url);
    await choose(page, input, path.join(examples, 'submission.txt'));
    assert.strictEqual(await reportShown(page), 'OK\n1\n1 35\n', url);
    // The verdict first, in a live region, with the focus on it.
    assert.strictEqual(await verdictShown(page), 'Sprejeto: 35 točk, 1 blok.');
    assert.deepStrictEqual(await page.evaluate(() => {
      const verdict = document.getElementById('verdict');
      return [verdict.getAttribute('aria-live'), document.activeElement === verdict,
              verdict.compareDocumentPosition(document.getElementById('report')) & Node.DOCUMENT_POSITION_FOLLOWING];
    }), ['polite', true, Node_DOCUMENT_POSITION_FOLLOWING]);
    assert.deepStrictEqual(await page.$$eval('#scores-body tr', (rows) => rows.map((row) =>
      Array.from(row.children, (cell) => cell.tagName + ' ' + cell.textContent))), [['TH 1', 'TD 35']]);
    assert.ok(await page.isHidden('#test-data-progress'), 'no progress bar after the check');
    assert.strictEqual(await page.textContent('#scores-sum'), '35');
    const sum = crypto.createHash('sha256').update(fs.readFileSync(input)).digest('hex');
    assert.ok((await page.textContent('#checksum-text')).endsWith(sum));
    assert.match(await page.textContent('#version'), /1\.\d+\.\d+, commit [0-9a-f]{40}.*\(WebAssembly SIMD\)/);
    assert.match(await page.textContent('.official'), /ocenjevalni računalnik/);
    const [download] = await Promise.all([page.waitForEvent('download'), page.click('#save')]);
    assert.strictEqual(download.suggestedFilename(), 'report.txt');
    assert.strictEqual(fs.readFileSync(await download.path(), 'latin1'), 'OK\r\n1\r\n1 35\r\n');
    // In English, what the outcome drew is drawn again.
    await page.click('#language');
    assert.strictEqual(await page.textContent('#checksum-text'), 'SHA-256 of the test data: ' + sum);
    assert.match(await page.textContent('#status'), /^Checked at .+, in [\d.]+ s\./);
    assert.strictEqual(await verdictShown(page), 'Accepted: 35 points, 1 answer block.');
    assert.match(await page.textContent('.official'), /official score/);
    await page.close();
  }
});

test('a failure of each reader: the verdict, the line concerned marked, its file, the check explained', async () => {
  const page = await open(pages.file);
  const names = ['test_data_file/task_name_trailing_blank', 'test_case_block/header_of_four_numbers',
                 'reading/points_minus_sign', 'submission/letter_after_block',
                 'answer_block/worked_example_two_newcomers', 'answer_block/block_cut_short'];
  for (const [index, name] of names.entries()) {
    const row = rows.find((candidate) => candidate.name === name);
    const testData = Buffer.from(row.testData, 'hex');
    const submission = Buffer.from(row.submission, 'hex');
    // A folder of its own for each row: the files keep their usual names.
    fs.mkdirSync(path.join(scratch, 'row' + index));
    await choose(page, scratchFile('row' + index + '/input.txt', testData),
                 scratchFile('row' + index + '/submission.txt', submission));
    await page.waitForSelector('#place:not([hidden])');
    assert.strictEqual(await reportShown(page), Buffer.from(row.report, 'hex').toString('latin1'), name);
    const heading = await page.textContent('#place-heading');
    const fileName = row.file === 'testData' ? 'input.txt' : 'submission.txt';
    assert.ok(heading.includes(fileName) && heading.includes(row.line + '. vrstica'), name + ': ' + heading);
    const check = /:(\d+)\]/.exec(Buffer.from(row.report, 'hex').toString('latin1'))[1];
    assert.strictEqual(await verdictShown(page), (row.lineMissing
      ? 'Zavrnjeno: v oddaji (submission.txt) manjka ' + row.line + '. vrstica, preverjanje ' + check + '.'
      : 'Zavrnjeno: napaka v ' + row.line + '. vrstici ' + (row.file === 'testData' ? 'testnih podatkov' : 'oddaje') +
        ' (' + fileName + '), preverjanje ' + check + '.'), name);
    assert.strictEqual(await page.textContent('#explanation h2'), 'Kaj pomeni preverjanje ' + check, name);
    assert.strictEqual(await page.getAttribute('#verdict a', 'href'), '#explanation', name);
    if (row.lineMissing) {
      assert.match(await page.textContent('#place-lines .marked.end'), /\(konec datoteke\)/, name);
      assert.ok(await page.isVisible('#place-missing'), name);
    } else {
      const lines = (row.file === 'testData' ? testData : submission).toString('latin1').split('\n');
      assert.strictEqual(await page.textContent('#place-lines .marked .text'), lines[row.line - 1], name);
    }
  }
  await page.close();
});

test('the largest test data: the program\'s report, timed', { skip: !largest && 'no largest test data' }, async () => {
  const page = await open(pages.file);
  const started = Date.now();
  await choose(page, path.join(largest, 'input.txt'), path.join(largest, 'submission.txt'));
  await page.waitForSelector('#result[data-milliseconds]');
  const seconds = (Date.now() - started) / 1000;
  assert.strictEqual(await reportShown(page), fs.readFileSync(path.join(largest, 'expected_report.txt'), 'latin1'));
  const memory = Number(await page.getAttribute('#result', 'data-memory-bytes'));
  const pageSeconds = Number(await page.getAttribute('#result', 'data-milliseconds')) / 1000;
  const megabytes = fs.statSync(path.join(largest, 'input.txt')).size / 1e6;
  console.log(`largest test data (${megabytes.toFixed(1)} MB): ${seconds.toFixed(2)} s from choosing ` +
              `the files to the report (the page counts ${pageSeconds.toFixed(2)} s from the last ` +
              `choice); WebAssembly memory at its peak ${(memory / 2 ** 20).toFixed(0)} MiB`);
  // The bound is 3 s on the development machine; a busy machine gets some room.
  assert.ok(seconds < 6, seconds + ' s');
  await page.close();
});

test('bad input gets a clear message, and the page evaluates again afterwards', async () => {
  const page = await open(pages.file);
  const input = path.join(examples, 'input.txt');
  const submission = path.join(examples, 'submission.txt');
  const tooLarge = path.join(scratch, 'too-large.txt');
  fs.closeSync(fs.openSync(tooLarge, 'w'));
  fs.truncateSync(tooLarge, 1.5 * 2 ** 30); // sparse: no disk taken
  const cases = [
    ['empty', scratchFile('empty.txt', ''), submission, /"empty\.txt" je prazna/],
    ['binary', input, scratchFile('program.exe', crypto.randomBytes(8192)), /"program\.exe" ni besedilna/],
    ['too large', input, tooLarge, /"too-large\.txt" je prevelika/],
    ['one file for both', input, input, /isto datoteko \("input\.txt"\)/],
  ];
  for (const [name, testData, chosen, message] of cases) {
    await choose(page, testData, chosen);
    assert.match(await page.textContent('#problem'), message, name);
    assert.ok(!(await page.isVisible('#result')), name);
    await choose(page, input, submission);
    assert.strictEqual(await reportShown(page), 'OK\n1\n1 35\n', 'after ' + name);
  }

  // A folder dropped on the page, through the browser's own drag and drop;
  // then both files dropped at once, the submission first.
  const folder = path.join(scratch, 'folder');
  fs.mkdirSync(folder);
  const drop = async (files) => {
    const session = await context.newCDPSession(page);
    const box = await page.locator('#choose').boundingBox();
    const at = { x: box.x + 10, y: box.y + 10 };
    const data = { items: [], files, dragOperationsMask: 1 };
    for (const type of ['dragEnter', 'dragOver', 'drop']) {
      await session.send('Input.dispatchDragEvent', Object.assign({ type, data }, at));
    }
  };
  await drop([folder]);
  await settled(page);
  assert.match(await page.textContent('#problem'), /"folder" je mapa/);
  await drop([submission, input]);
  await settled(page);
  assert.strictEqual(await reportShown(page), 'OK\n1\n1 35\n');
  await page.close();
});

// The example's files and a submission whose second team is one cyclist too
// large (check 160 on line 5).
const exampleInput = () => fs.readFileSync(path.join(examples, 'input.txt'), 'latin1');
const exampleSubmission = () => fs.readFileSync(path.join(examples, 'submission.txt'), 'latin1');
const teamTooLarge = '123456\nZobnikari\n1\n3 1\n1 2 3\n2 1\n';

// Stands in for the browser's file picker: a handle for each chooser (the
// picker's id), whose file the test sets (name, text, lastModified) and may
// make unreadable, as a file being written is; reads are counted.
function pickerSeam() {
  window.testFiles = {};
  window.testReads = 0;
  window.showOpenFilePicker = async ({ id }) => [{
    kind: 'file',
    name: window.testFiles[id].name,
    async getFile() {
      const file = window.testFiles[id];
      ++window.testReads;
      if (file.unreadable) throw new DOMException('the file is being written', 'NotReadableError');
      return new File([file.text], file.name, { lastModified: file.lastModified });
    },
  }];
}

test('files chosen with handles are read afresh at every check, and followed on disk', async () => {
  const page = await context.newPage();
  page.on('pageerror', (error) => pageErrors.push(error.message));
  await page.addInitScript(pickerSeam);
  await page.goto(pages.file);
  const setFile = (id, change) => page.evaluate(([id, change]) => Object.assign(window.testFiles[id], change), [id, change]);
  await page.evaluate(([input, submission]) => {
    window.testFiles['zobnikari-testData'] = { name: 'input.txt', text: input, lastModified: 1000 };
    window.testFiles['zobnikari-submission'] = { name: 'submission.txt', text: submission, lastModified: 1000 };
  }, [exampleInput(), exampleSubmission()]);
  await page.click('#test-data');
  assert.strictEqual(await page.textContent('#next'), 'Izberi še oddajo (submission.txt).');
  await page.click('#submission');
  // The test data alone was checked at its choice: wait for both files'.
  await page.waitForFunction(() => /^Sprejeto/.test(document.querySelector('#verdict').textContent));
  await settled(page);
  assert.strictEqual(await verdictShown(page), 'Sprejeto: 35 točk, 1 blok.');
  assert.ok(await page.isChecked('#follow'), 'following is on where there are handles');
  assert.match(await page.textContent('#status'), /Spremljam datoteki/);

  // The solver writes the submission: unreadable for a while, then a wrong
  // team. The old report is marked as such, no error is shown, and the new
  // file is checked once two polls agree.
  await setFile('zobnikari-submission', { unreadable: true });
  await page.waitForSelector('#stale:not([hidden])');
  assert.match(await page.textContent('#stale'), /submission\.txt se je spremenila.*Preverim znova, ko se umiri/);
  assert.match(await page.textContent('#status'), /submission\.txt se spreminja/);
  await setFile('zobnikari-submission', { unreadable: false, text: teamTooLarge, lastModified: 2000 });
  await page.waitForFunction(() => /^Zavrnjeno/.test(document.querySelector('#verdict').textContent),
                             null, { timeout: 10000 });
  assert.strictEqual(await verdictShown(page), 'Zavrnjeno: napaka v 5. vrstici oddaje (submission.txt), preverjanje 160.');
  assert.ok(await page.isHidden('#problem'), 'no error while the file was written');
  assert.ok(await page.isHidden('#stale'));

  // Following off: a change marks the report stale, and "check again" reads
  // the file afresh.
  await page.uncheck('#follow');
  await setFile('zobnikari-submission', { text: exampleSubmission(), lastModified: 3000 });
  await page.waitForSelector('#stale:not([hidden])');
  assert.match(await page.textContent('#stale'), /Klikni »Preveri znova«/);
  assert.match(await verdictShown(page), /^Zavrnjeno/, 'not checked again by itself');
  const reads = await page.evaluate(() => window.testReads);
  await page.click('#again');
  await page.waitForFunction(() => /^Sprejeto/.test(document.querySelector('#verdict').textContent));
  assert.ok(await page.evaluate(() => window.testReads) >= reads + 2, 'both files read afresh');
  await page.close();
});

test('a file chosen without a handle that changes on disk is asked for again, and its report goes', async () => {
  const page = await open(pages.file);
  fs.mkdirSync(path.join(scratch, 'disk'));
  const input = scratchFile('disk/input.txt', exampleInput());
  const submission = scratchFile('disk/submission.txt', exampleSubmission());
  await choose(page, input, submission);
  assert.strictEqual(await verdictShown(page), 'Sprejeto: 35 točk, 1 blok.');
  fs.writeFileSync(submission, teamTooLarge);
  await page.waitForSelector('#problem:not([hidden])', { timeout: 10000 });
  assert.strictEqual(await page.textContent('#problem'), 'Datoteka "submission.txt" se je na disku spremenila, ' +
                     'zato je brskalnik ne da več prebrati. Izberi jo znova.');
  assert.ok(await page.isHidden('#result'), 'no stale report');
  assert.strictEqual(await page.textContent('#verdict'), '');
  assert.strictEqual(await page.evaluate(() => document.activeElement.id), 'submission');
  assert.ok(await page.isDisabled('#again'));
  assert.strictEqual(await page.textContent('#next'), 'Izberi še oddajo (submission.txt).');
  await page.setInputFiles('#submission', submission);
  await settled(page);
  assert.match(await verdictShown(page), /preverjanje 160\.$/);
  await page.close();
});

test('bytes outside printable ASCII are drawn as their values, and swapped files are told', async () => {
  const page = await open(pages.file);
  fs.mkdirSync(path.join(scratch, 'bytes'));
  const input = scratchFile('bytes/input.txt', exampleInput());
  // A no-break space (UTF-8 C2 A0) in the second team.
  await choose(page, input, scratchFile('bytes/submission.txt', Buffer.from('123456\nZobnikari\n1\n3 1\n1\xc2\xa02\n2 1\n', 'latin1')));
  assert.strictEqual(await page.textContent('#place-lines .marked .text'), '1\u27e8C2\u27e9\u27e8A0\u27e92');
  assert.strictEqual(await page.textContent('#place-lines mark.offending'), '\u27e8C2\u27e9');
  assert.match(await page.textContent('#place-offending'), /koda 194/);
  assert.strictEqual(await page.textContent('#place-block'),
                     'To je ekipa za 2. dirko v bloku testnega primera 1, ki se začne v 3. vrstici (k = 2, d = 3).');
  // Quoted bytes: in the report as shown, and whole in the report saved.
  const quoted = Buffer.from('123456\nZobnikari\xc2\xa0\n', 'latin1');
  await choose(page, input, scratchFile('bytes/quoted.txt', quoted));
  assert.strictEqual(await reportShown(page), 'Napaka [Orv19Zobnikari.cpp:207]: v drugi vrstici bi moral biti niz ' +
                     '"Zobnikari", ne pa "Zobnikari\u27e8C2\u27e9\u27e8A0\u27e9"\n-1\n');
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('#save')]);
  assert.ok(fs.readFileSync(await download.path()).includes(Buffer.from('Zobnikari\xc2\xa0"\r\n-1\r\n', 'latin1')));
  // The files the wrong way round, then swapped with one click.
  await choose(page, path.join(examples, 'submission.txt'), input);
  assert.match(await page.textContent('#swap-text'), /videti kot oddaja.*Si morda zamenjal datoteki\?/);
  await page.click('#swap-button');
  await page.waitForFunction(() => /^Sprejeto/.test(document.querySelector('#verdict').textContent));
  await page.close();
});

test('at a phone\'s width (390 px) nothing is wider than the screen', async () => {
  const page = await open(pages.file);
  await page.setViewportSize({ width: 390, height: 844 });
  fs.mkdirSync(path.join(scratch, 'phone'));
  const input = path.join(examples, 'input.txt');
  const cases = [
    ['example', path.join(examples, 'submission.txt')],
    ['a long quoted line', scratchFile('phone/submission.txt', '123456\nZobnikari\n' + 'x'.repeat(5000) + '\n')],
  ];
  for (const [name, submission] of cases) {
    await choose(page, input, submission);
    assert.ok(await page.evaluate(() => document.documentElement.scrollWidth) <= 390, name);
  }
  await page.close();
});

// Returns a fresh page from disk that notes every long task on its main
// thread; longTasksSince(page, since) returns those that began at since
// (its performance.now()) or later.
async function openWatchingLongTasks() {
  const page = await context.newPage();
  page.on('pageerror', (error) => pageErrors.push(error.message));
  await page.addInitScript(() => {
    window.longTasks = [];
    new PerformanceObserver((list) => {
      for (const entry of list.getEntries()) window.longTasks.push({ start: entry.startTime, duration: entry.duration });
    }).observe({ type: 'longtask', buffered: true });
  });
  await page.goto(pages.file);
  return page;
}
const longTasksSince = (page, since) => page.evaluate((from) => window.longTasks.filter((task) => task.start >= from), since);

test('a quoted line of 30 MB: shown cut, saved whole, the page never frozen', async () => {
  const page = await openWatchingLongTasks();
  const line = 30 * 1000 * 1000;
  const submission = scratchFile('long.txt', Buffer.concat([Buffer.from('123456\nZobnikari\n'), Buffer.alloc(line, 'x')]));
  await page.setInputFiles('#test-data', path.join(examples, 'input.txt'));
  const chosen = await page.evaluate(() => performance.now());
  await page.setInputFiles('#submission', submission);
  await settled(page);
  await page.waitForSelector('#result[data-milliseconds]');
  await page.waitForTimeout(500); // a long task drawing the result would end by now
  const longest = Math.max(0, ...(await longTasksSince(page, chosen)).map((task) => task.duration));
  assert.ok(longest < 200, 'a task of ' + longest + ' ms on the main thread');
  // The report's first line: 95 bytes of message, the line, a quote.
  assert.match(await page.textContent('#report .cut'), /^ … še 29\.999\.096 bajtov \(vrstica ima 30\.000\.096 bajtov;/);
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('#save')]);
  assert.strictEqual(fs.statSync(await download.path()).size, 30000096 + '\r\n-1\r\n'.length);
  console.log(`a quoted line of 30 MB: ${await page.getAttribute('#result', 'data-milliseconds')} ms from the ` +
              `second choice to everything shown; the longest task on the main thread ${longest.toFixed(0)} ms`);
  await page.close();
});

// Two test cases (the example's, d = 3, k = 2, m = 1; and one of n = 6,
// d = 4, k = 3, m = 2), and answers to them: accepted (62 and 35), better
// (80 and 35), and one with defects in three blocks between two accepted
// ones.
const twoCases = 'Zobnikari\n2\n\n1 4 3 2 1\n10 6 3 0\n3 1 4 2\n1 2 3 4\n4 3 2 1\n' +
    '\n2 6 4 3 2\n9 7 5 3 1 0\n1 2 3 4 5 6\n6 5 4 3 2 1\n2 4 6 1 3 5\n5 3 1 6 4 2\n';
const answers = {
  accepted: '123456\nZobnikari\n2\n1 2 3\n1 5 6\n6 2 4\n4 2 6\n1\n3 1\n1 2\n2 1\n',
  better: '123456\nZobnikari\n2\n1 2 3\n3 6 5\n6 2 4\n6 5 3\n1\n3 1\n1 2\n2 1\n',
  threeBlocks: '123456\nZobnikari\n2\n1 2 3\n1 5 6\n6 2 4\n4 2 6\n1\n3 1\n1 2\n2 x\n' +
      '2\n1 2 3\n1 5 6\n6 2 2\n4 2 99999999999\n1\n3 1\n1 2\n3 4\n1\n3 1\n1 2\n2 1\n',
};

// Returns the texts of the cells of the rows of tbody (a selector).
const rowsShown = (page, tbody) => page.$$eval(tbody + ' tr', (rows) => rows.map((row) =>
  Array.from(row.children, (cell) => cell.textContent)));

test('defects in three blocks: every one listed, each shown in its line and block, the first the official one', async () => {
  const page = await open(pages.file);
  fs.mkdirSync(path.join(scratch, 'three'));
  await choose(page, scratchFile('three/input.txt', twoCases), scratchFile('three/submission.txt', answers.threeBlocks));
  assert.strictEqual(await reportShown(page), 'Napaka [Orv19Zobnikari.cpp:55]: namesto stevke se pojavlja znak s kodo 120\n-1\n');
  assert.strictEqual(await page.textContent('#findings-summary'),
                     'Preverjanje je šlo naprej tudi po prvi napaki in našlo 4 napake.');
  const entries = await page.$$eval('#findings-list button', (buttons) => buttons.map((button) => button.textContent));
  assert.deepStrictEqual(entries, [
    'submission.txt, 11. vrstica, preverjanje 55 uradna napakanamesto stevke se pojavlja znak s kodo 120',
    'submission.txt, 15. vrstica, preverjanje 169v ekipi za 3. dirko se kolesar 2 pojavlja vec kot enkrat',
    'submission.txt, 16. vrstica, preverjanje 61stevilo 9999999999 je preveliko',
    'submission.txt, 20. vrstica, preverjanje 174med 2. in 3. dirko je 2 menjav, moralo bi jih biti od 1 do m = 1',
  ]);
  // Each one's line, its block, which one it is, and its check explained.
  const shown = [
    ['2 x', 'To je ekipa za 3. dirko v bloku testnega primera 1, ki se začne v 8. vrstici (k = 2, d = 3).',
     'To je uradna napaka, ki jo navaja poročilo.', 55],
    ['6 2 2', 'To je ekipa za 3. dirko v bloku testnega primera 2, ki se začne v 12. vrstici (k = 3, d = 4).',
     'To je 2. od 4 navedenih napak; poročilo je ne navaja.', 169],
    ['4 2 99999999999', 'To je ekipa za 4. dirko v bloku testnega primera 2, ki se začne v 12. vrstici (k = 3, d = 4).',
     'To je 3. od 4 navedenih napak; poročilo je ne navaja.', 61],
    ['3 4', 'To je ekipa za 3. dirko v bloku testnega primera 1, ki se začne v 17. vrstici (k = 2, d = 3).',
     'To je 4. od 4 navedenih napak; poročilo je ne navaja.', 174],
  ];
  const place = async () => [await page.textContent('#place-lines .marked .text'), await page.textContent('#place-block'),
                             await page.textContent('#place-which'), Number((await page.textContent('#explanation h2')).match(/\d+$/)[0])];
  assert.deepStrictEqual(await place(), shown[0], 'the official failure first');
  for (const index of [3, 1, 2]) {
    await page.click('#findings-list button[data-index="' + index + '"]');
    assert.deepStrictEqual(await place(), shown[index], 'entry ' + index);
  }
  // Up and down move the choice from the keyboard.
  await page.focus('#findings-list button[data-index="2"]');
  await page.keyboard.press('ArrowDown');
  assert.deepStrictEqual(await place(), shown[3], 'down');
  assert.strictEqual(await page.evaluate(() => document.activeElement.dataset.index), '3');
  // The blocks: the rejected ones with their defects; a rejected block's
  // button chooses its first defect.
  assert.deepStrictEqual(await rowsShown(page, '#blocks-body'), [
    ['1', '3', '2', '62', '84', '73,8\u00a0%'], ['2', '8', '1', 'zavrnjen: 1 napaka'], ['3', '12', '2', 'zavrnjen: 2 napaki'],
    ['4', '17', '1', 'zavrnjen: 1 napaka'], ['5', '21', '1', '35', '48', '72,9\u00a0%']]);
  await page.click('#blocks-body tr:nth-child(3) button');
  assert.deepStrictEqual(await place(), shown[1], 'block 3\'s first defect');
  assert.strictEqual(await page.evaluate(() => document.activeElement.dataset.index), '1');
  await page.close();
});

test('a block\'s chart and its table: points against the race\'s ceiling, newcomers against m', async () => {
  const page = await open(pages.file);
  fs.mkdirSync(path.join(scratch, 'chart'));
  await choose(page, scratchFile('chart/input.txt', twoCases), scratchFile('chart/submission.txt', answers.accepted));
  assert.deepStrictEqual(await rowsShown(page, '#blocks-body'),
                         [['1', '3', '2', '62', '84', '73,8\u00a0%'], ['2', '8', '1', '35', '48', '72,9\u00a0%']]);
  // The second block, chosen from the keyboard: the worked example. Its
  // ceiling is 3 × (10 + 6); per race 16 points of 16, 16 of 16 with one
  // newcomer, 3 of 16.
  await page.focus('#blocks-body tr:nth-child(2) button');
  await page.keyboard.press('Enter');
  assert.strictEqual(await page.textContent('#chart-heading'), 'Blok 2 (testni primer 1, 8. vrstica): dirka za dirko');
  assert.strictEqual(await page.textContent('#chart-summary'), '35 točk od 48 (72,9\u00a0%); izgubljenih 13.');
  assert.strictEqual(await page.textContent('#chart-limit'),
                     'Novincev je bilo toliko, kot jih dovoli m = 1, pri 1 od 2 menjav ekipe med dirkami.');
  assert.deepStrictEqual(await rowsShown(page, '#races-body'),
                         [['1', '16', '16', '0', '1'], ['2', '16', '16', '1', '1'], ['3', '3', '16', '0', '1']]);
  // One path for each series and one for each limit, whatever the races.
  assert.deepStrictEqual(await page.$$eval('#chart-figure svg', (svgs) => svgs.map((svg) =>
    Array.from(svg.querySelectorAll('path'), (path) => path.getAttribute('class') + ' ' + path.getAttribute('d')))), [
    ['bars M0 100V5H1V5H2V82.19H3V100Z', 'level M0 5H3'],
    ['bars M0 100V100H1V5H2V100H3V100Z', 'level M0 5H3']]);
  assert.match(await page.getAttribute('#chart-figure', 'aria-label'), /^Graf bloka 2: 35 točk od 48/);
  // The table is the chart's text alternative, the next stop of the keyboard.
  await page.keyboard.press('Tab');
  assert.strictEqual(await page.evaluate(() => document.activeElement.id), 'races-table');
  await page.setViewportSize({ width: 390, height: 844 });
  assert.ok(await page.evaluate(() => document.documentElement.scrollWidth) <= 390, 'the chart at 390 px');
  await page.close();
});

test('each output of the solver against the last: by test case and in total, across a reload only when asked', async () => {
  const page = await context.newPage();
  page.on('pageerror', (error) => pageErrors.push(error.message));
  await page.addInitScript(pickerSeam);
  const setFile = (id, change) => page.evaluate(([id, change]) => Object.assign(window.testFiles[id], change), [id, change]);
  // Opens the page afresh and chooses the test data and text as the
  // submission, with handles; returns once the comparison is shown.
  const openAndChoose = async (text) => {
    await page.goto(pages.file);
    await page.evaluate(([input, submission]) => {
      window.testFiles['zobnikari-testData'] = { name: 'input.txt', text: input, lastModified: 1000 };
      window.testFiles['zobnikari-submission'] = { name: 'submission.txt', text: submission, lastModified: 1000 };
    }, [twoCases, text]);
    await page.click('#test-data');
    await page.click('#submission');
    await page.waitForFunction(() => /^Sprejeto/.test(document.querySelector('#verdict').textContent));
    await settled(page);
  };
  const comparison = () => page.textContent('#comparison-text');
  await openAndChoose(answers.accepted);
  assert.strictEqual(await comparison(), 'To je prvo preverjanje s temi testnimi podatki, odkar je stran odprta.');
  // The solver writes a better answer: checked again by itself, and compared.
  await setFile('zobnikari-submission', { text: answers.better, lastModified: 2000 });
  await page.waitForFunction(() => /Skupaj/.test(document.querySelector('#comparison-text').textContent),
                             null, { timeout: 10000 });
  assert.match(await comparison(), /^Prejšnje preverjanje istih testnih podatkov je bilo ob \d\d:\d\d:\d\d\. Skupaj: 97 → 115 \(\+18\)\.$/);
  assert.deepStrictEqual(await rowsShown(page, '#comparison-body'), [['1', '35', '35', '0'], ['2', '62', '80', '+18']]);
  // Not asked to keep it: a reload forgets it.
  await openAndChoose(answers.better);
  assert.strictEqual(await comparison(), 'To je prvo preverjanje s temi testnimi podatki, odkar je stran odprta.');
  await page.click('#remember');
  assert.strictEqual(await page.textContent('#remember-text'),
                     'Zadnje preverjanje teh testnih podatkov je shranjeno v tem brskalniku.');
  // Asked: after a reload, the next run is against the kept one.
  await openAndChoose(answers.accepted);
  assert.match(await comparison(), /Skupaj: 115 → 97 \(\u221218\)\.$/);
  assert.deepStrictEqual(await rowsShown(page, '#comparison-body'), [['1', '35', '35', '0'], ['2', '80', '62', '\u221218']]);
  await page.click('#forget');
  assert.deepStrictEqual(await page.evaluate(() => Object.keys(localStorage)), []);
  await openAndChoose(answers.accepted);
  assert.strictEqual(await comparison(), 'To je prvo preverjanje s temi testnimi podatki, odkar je stran odprta.');
  await page.close();
});

test('the test data alone: valid with its test cases, or its one defect in its place', async () => {
  const page = await open(pages.file);
  fs.mkdirSync(path.join(scratch, 'alone'));
  await page.setInputFiles('#test-data', scratchFile('alone/input.txt', twoCases));
  await settled(page);
  assert.strictEqual(await verdictShown(page), 'Testni podatki so veljavni: 2 testna primera.');
  assert.deepStrictEqual(await rowsShown(page, '#cases-body'), [['1', '4', '3', '2', '1'], ['2', '6', '4', '3', '2']]);
  assert.ok(await page.isHidden('#official-report'), 'no report without a submission');
  assert.strictEqual(await page.textContent('#next'), 'Izberi še oddajo (submission.txt).');
  await page.setInputFiles('#test-data', scratchFile('alone/bad-input.txt', twoCases.replace('4 3 2 1\n\n', '4 3 2 2\n\n')));
  await page.waitForFunction(() => /^Testni podatki niso/.test(document.querySelector('#verdict').textContent));
  assert.strictEqual(await verdictShown(page), 'Testni podatki niso veljavni: napaka v 8. vrstici (bad-input.txt), preverjanje 107.');
  assert.strictEqual(await page.textContent('#place-lines .marked .text'), '4 3 2 2');
  assert.strictEqual(await page.textContent('#place-block'), 'To je vrstni red 3. dirke testnega primera 1, čigar glava ' +
                     'je v 4. vrstici (n = 4, d = 3, k = 2, m = 1).');
  assert.strictEqual(await page.textContent('#explanation h2'), 'Kaj pomeni preverjanje 107');
  assert.ok(await page.isHidden('#cases'));
  await page.close();
});

test('1000 defects of a max-size submission listed, the page never frozen', { skip: !largest && 'no largest test data' }, async () => {
  const page = await openWatchingLongTasks();
  // Every team line of the largest submission with one cyclist too many:
  // 10 blocks of 1000 races, each line failing check 160.
  const lines = fs.readFileSync(path.join(largest, 'submission.txt'), 'latin1').split('\n');
  const defective = lines.map((line, index) => (index >= 2 && (index - 2) % 1001 !== 0 && line !== '' ? line + ' 1' : line));
  fs.mkdirSync(path.join(scratch, 'thousand'));
  const submission = scratchFile('thousand/submission.txt', Buffer.from(defective.join('\n'), 'latin1'));
  await page.setInputFiles('#test-data', path.join(largest, 'input.txt'));
  await settled(page);
  const chosen = await page.evaluate(() => performance.now());
  await page.setInputFiles('#submission', submission);
  await page.waitForFunction(() => /^Zavrnjeno/.test(document.querySelector('#verdict').textContent), null, { timeout: 60000 });
  await page.waitForSelector('#result[data-milliseconds]');
  assert.strictEqual(await page.textContent('#findings-summary'), 'Preverjanje je šlo naprej tudi po prvi napaki in ' +
                     'našlo 10.000 napak. Navedenih je prvih 1.000, še 9.000 ni navedenih.');
  assert.strictEqual(await page.$$eval('#findings-list li', (items) => items.length), 100, 'a page of the list');
  // The last of them, on the last page: line 1003, the 1000th team line of
  // the first block.
  for (let next = 0; next < 9; ++next) await page.click('#findings-nav button:last-child');
  assert.strictEqual(await page.textContent('#findings-nav .range'), '901–1.000 od 1.000');
  await page.click('#findings-list button[data-index="999"]');
  assert.strictEqual(await page.textContent('#place-heading'), 'Kje je napaka: oddaja (submission.txt), 1003. vrstica');
  assert.strictEqual(await page.textContent('#place-block'), 'To je ekipa za 1000. dirko v bloku testnega primera 1, ' +
                     'ki se začne v 3. vrstici (k = 500, d = 1000).');
  const tasks = await longTasksSince(page, chosen);
  console.log(`1000 defects of a max-size submission: ${await page.getAttribute('#result', 'data-milliseconds')} ms ` +
              `from the second choice to everything shown; long tasks ${JSON.stringify(tasks)}`);
  assert.deepStrictEqual(tasks, [], 'no long task on the main thread');
  await page.close();
});

test('no request beyond the page\'s own files, and no error in the page', () => {
  assert.deepStrictEqual(pageErrors, []);
  const own = [pathToFileURL(site).href + '/', pages.http.replace(/index\.html$/, '')];
  const others = requests.filter((url) => !url.startsWith('blob:') && !own.some((base) => url.startsWith(base)));
  assert.deepStrictEqual(others, []);
  assert.ok(requests.length > 0);
});
