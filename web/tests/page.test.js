// The page in Chromium (Debian's, driven by playwright-core), for what only
// Chromium has or shows: a failure of each reader with its line, the
// largest test data timed, bad inputs, files chosen with handles (File
// System Access) read afresh and followed on disk, a followed output
// compared with the last by itself, a 30 MB line cut and saved whole, a
// thousand defects without a long task, and no request beyond the page's
// own files. What the page does in every engine is in engines.test.js; the
// table rows under Node.js prove the bytes.
'use strict';

const test = require('node:test');
const assert = require('node:assert');
const crypto = require('node:crypto');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { pathToFileURL } = require('node:url');
const { serveFolder } = require('./engines/serve_folder.js');

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
  server = await serveFolder(site);
  pages.file = pathToFileURL(path.join(site, 'index.html')).href;
  pages.http = server.url;
});

test.after(async () => {
  await context.close();
  await server.close();
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
// d = 4, k = 3, m = 2), and answers to them: accepted (62 and 35) and
// better (80 and 35).
const twoCases = 'Zobnikari\n2\n\n1 4 3 2 1\n10 6 3 0\n3 1 4 2\n1 2 3 4\n4 3 2 1\n' +
    '\n2 6 4 3 2\n9 7 5 3 1 0\n1 2 3 4 5 6\n6 5 4 3 2 1\n2 4 6 1 3 5\n5 3 1 6 4 2\n';
const answers = {
  accepted: '123456\nZobnikari\n2\n1 2 3\n1 5 6\n6 2 4\n4 2 6\n1\n3 1\n1 2\n2 1\n',
  better: '123456\nZobnikari\n2\n1 2 3\n3 6 5\n6 2 4\n6 5 3\n1\n3 1\n1 2\n2 1\n',
};

// Returns the texts of the cells of the rows of tbody (a selector).
const rowsShown = (page, tbody) => page.$$eval(tbody + ' tr', (rows) => rows.map((row) =>
  Array.from(row.children, (cell) => cell.textContent)));

test('a followed output of the solver is checked again by itself and compared with the last', async () => {
  const page = await context.newPage();
  page.on('pageerror', (error) => pageErrors.push(error.message));
  await page.addInitScript(pickerSeam);
  await page.goto(pages.file);
  await page.evaluate(([input, submission]) => {
    window.testFiles['zobnikari-testData'] = { name: 'input.txt', text: input, lastModified: 1000 };
    window.testFiles['zobnikari-submission'] = { name: 'submission.txt', text: submission, lastModified: 1000 };
  }, [twoCases, answers.accepted]);
  await page.click('#test-data');
  await page.click('#submission');
  await page.waitForFunction(() => /^Sprejeto/.test(document.querySelector('#verdict').textContent));
  await settled(page);
  assert.strictEqual(await page.textContent('#comparison-text'), 'To je prvo preverjanje s temi testnimi podatki, odkar je stran odprta.');
  // The solver writes a better answer: checked again by itself, and compared.
  await page.evaluate((text) => Object.assign(window.testFiles['zobnikari-submission'], { text, lastModified: 2000 }),
                      answers.better);
  await page.waitForFunction(() => /Skupaj/.test(document.querySelector('#comparison-text').textContent),
                             null, { timeout: 10000 });
  assert.match(await page.textContent('#comparison-text'),
               /^Prejšnje preverjanje istih testnih podatkov je bilo ob \d\d:\d\d:\d\d\. Skupaj: 97 → 115 \(\+18\)\.$/);
  assert.deepStrictEqual(await rowsShown(page, '#comparison-body'), [['1', '35', '35', '0'], ['2', '62', '80', '+18']]);
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
  // Reading the files on the page's thread leaves garbage whose collection
  // may take a task past 50 ms now and then; never one of 200 ms.
  assert.ok(tasks.every((task) => task.duration < 200), 'no task of 200 ms or more on the main thread');
  await page.close();
});

test('no request beyond the page\'s own files, and no error in the page', () => {
  assert.deepStrictEqual(pageErrors, []);
  const own = [pathToFileURL(site).href + '/', pages.http.replace(/index\.html$/, '')];
  const others = requests.filter((url) => !url.startsWith('blob:') && !own.some((base) => url.startsWith(base)));
  assert.deepStrictEqual(others, []);
  assert.ok(requests.length > 0);
});
