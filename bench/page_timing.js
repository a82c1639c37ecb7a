// Times pages of the web archive in one engine (chromium, firefox or webkit,
// through the adapters of web/tests/engines), alternated round by round: for
// each case, each page opened fresh, the test data chosen and checked alone,
// then the submission chosen as a contestant would. Each run measures, from
// the submission's change event to everything shown (the verdict drawn, a
// frame, the next task): the time; the longest gap between ticks of a 50 ms
// timer on the page's main thread; the longest long task where the browser
// reports them; and the browser's resident memory (the RSS summed over this
// process's descendants, less the WebDriver servers), its peak and the level
// just before the choice. Each report shown must equal expected_report.txt
// beside the test data, where there is one, and every report of a case must
// be the same. Prints a Markdown table of medians.
//
//   [ZOBNIKARI_PAGE_URL=file|http] node bench/page_timing.js <engine> <rounds>
//       <name>=<page folder>... -- <case>=<test data>,<submission>...
//
// With http, each page folder is served (its files alone) from 127.0.0.1 by
// a server this script starts and stops. WebKit needs `xvfb-run -a`.
'use strict';

const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { pathToFileURL } = require('node:url');
const { launch } = require('../web/tests/engines/driver.js');
const { sampleRss } = require('./process_memory.js');
const { serveFolder } = require('../web/tests/engines/serve_folder.js');

const kTimeoutMs = 300000; // for one file's evaluation
const kSampleMs = 50; // the memory's sampling and the page's timer, milliseconds

// Returns the median of numbers, or null for none.
function median(numbers) {
  if (numbers.length === 0) return null;
  const sorted = numbers.slice().sort((a, b) => a - b);
  const middle = Math.floor(sorted.length / 2);
  return sorted.length % 2 === 1 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
}

// Returns { engine, rounds, pages: [[name, folder]], cases: [[name, test data, submission]] }, or null.
function parseArguments(argv) {
  const split = argv.indexOf('--');
  const pages = argv.slice(2, split).map((pair) => pair.split('='));
  const cases = argv.slice(split + 1).map((pair) => [pair.split('=')[0], ...String(pair.split('=')[1]).split(',')]);
  const parsed = { engine: argv[0], rounds: Number(argv[1]), pages, cases };
  const fine = split > 2 && parsed.rounds >= 1 && pages.length > 0 && cases.length > 0 &&
      pages.every((pair) => pair.length === 2) && cases.every((entry) => entry.length === 3);
  return fine ? parsed : null;
}

// Returns the URL of each page by name (file: or served over http, as mode says) and a close() for the servers.
async function pageUrls(pages, mode) {
  const servers = mode === 'http' ? await Promise.all(pages.map(([, folder]) => serveFolder(folder))) : [];
  const urls = new Map(pages.map(([name, folder], i) =>
    [name, mode === 'http' ? servers[i].url : pathToFileURL(path.join(path.resolve(folder), 'index.html')).href]));
  return { urls, close: () => Promise.all(servers.map((server) => server.close())) };
}

// In the page: notes when the submission is chosen and when the verdict drawn after it has reached the screen.
function instrument() {
  const timing = window.timing = { chosen: null, shown: null, gap: null };
  document.addEventListener('change', (event) => {
    if (event.target.id === 'submission') timing.chosen = performance.now();
  }, true);
  const verdict = document.getElementById('verdict');
  new MutationObserver(() => {
    if (timing.chosen === null || timing.shown !== null || verdict.childElementCount === 0) return;
    timing.shown = 0;
    requestAnimationFrame(() => setTimeout(() => {
      const done = document.body.dataset.busy === 'false';
      timing.shown = done ? performance.now() : null; // else it waits for the next verdict drawn
    }, 0));
  }).observe(verdict, { childList: true });
}

// In the page, just before the submission is chosen: starts the timer whose ticks' gaps tell a frozen
// main thread, and, where the browser reports long tasks, an observer of them.
function arm(tickMs) {
  const timing = window.timing;
  let last = performance.now();
  timing.gap = 0;
  const tick = () => {
    const now = timing.shown > 0 ? timing.shown : performance.now();
    timing.gap = Math.max(timing.gap, now - last);
    last = now;
    if (timing.shown > 0) clearInterval(timer);
  };
  const timer = setInterval(tick, tickMs);
  window.tickNow = tick;
  const types = typeof PerformanceObserver === 'function' ? PerformanceObserver.supportedEntryTypes || [] : [];
  if (!types.includes('longtask')) return;
  timing.armed = performance.now();
  timing.tasks = [];
  window.longTasks = new PerformanceObserver((list) => {
    for (const task of list.getEntries()) timing.tasks.push([task.startTime, task.duration]);
  });
  window.longTasks.observe({ type: 'longtask' });
}

// In the page, once shown: returns the run's measures (milliseconds) and what the page shows.
function readings() {
  const timing = window.timing;
  window.tickNow(); // the gap from the last tick to shown
  let longTask = null;
  if (window.longTasks) {
    for (const task of window.longTasks.takeRecords()) timing.tasks.push([task.startTime, task.duration]);
    window.longTasks.disconnect();
    const within = timing.tasks.filter(([start, duration]) => start + duration > timing.armed && start < timing.shown);
    longTask = within.reduce((longest, [, duration]) => Math.max(longest, duration), 0);
  }
  const result = document.getElementById('result');
  const own = result.dataset.milliseconds;
  return { total: timing.shown - timing.chosen, gap: timing.gap, longTask, own: own === undefined ? null : Number(own),
           resultShown: !result.hidden, report: document.getElementById('report').textContent,
           problem: document.getElementById('problem').hidden ? null : document.getElementById('problem').textContent };
}

// Returns the measures of one run: the page at url opened fresh in engine, testData then submission chosen.
async function measure(engine, url, testData, submission) {
  const page = await engine.open(url);
  try {
    await page.evaluate(instrument);
    await page.chooseFile('#test-data', testData);
    await page.waitFor(() => document.body.dataset.busy === 'false' &&
        !(document.getElementById('result').hidden && document.getElementById('problem').hidden), kTimeoutMs);
    await page.evaluate(arm, kSampleMs);
    const memory = sampleRss(kSampleMs);
    await page.chooseFile('#submission', submission);
    await page.waitFor(() => window.timing.shown > 0, kTimeoutMs);
    const peak = memory.stop();
    await page.waitFor(() => document.getElementById('result').hidden ||
        document.getElementById('result').dataset.milliseconds !== undefined, 10000);
    return Object.assign(await page.evaluate(readings), { baseline: memory.baseline, peak });
  } finally {
    await page.close();
  }
}

// Throws unless run shows a report equal to expected_report.txt beside testData (where there is one) and to first's.
function verify(run, testData, first, label) {
  const file = path.join(path.dirname(testData), 'expected_report.txt');
  const expected = fs.existsSync(file) ? fs.readFileSync(file, 'latin1') : null;
  if (!run.resultShown) throw new Error(`${label}: no result shown${run.problem ? ': ' + run.problem : ''}`);
  if (expected !== null && run.report !== expected) {
    throw new Error(`${label}: the report shown is not ${file}:\n${run.report.slice(0, 500)}`);
  }
  if (first && run.report !== first.report) throw new Error(`${label}: the report differs from the case's first run's`);
}

// Prints the Markdown table of runs (by case, then page) for engine.
function printTable(engine, mode, runs) {
  const mib = (bytes) => (bytes / 2 ** 20).toFixed(0);
  const shown = (value, digits = 0) => (value === null ? 'n/a' : value.toFixed(digits));
  console.log(`\n### ${engine}, pages from ${mode === 'file' ? 'file://' : 'http://127.0.0.1'}\n`);
  console.log('| case | page | chosen→shown median ms | the page\'s own count median ms | longest timer gap median ms | ' +
              'longest long task median ms (Chromium; 0: none of 50 ms) | peak RSS median MiB | RSS before the choice median MiB | runs ms |');
  console.log('|---|---|---|---|---|---|---|---|---|');
  for (const [key, list] of runs) {
    const [caseName, name] = key.split('\t');
    const of = (field) => median(list.map((run) => run[field]).filter((value) => value !== null));
    console.log(`| ${caseName} | ${name} | ${shown(of('total'))} | ${shown(of('own'))} | ${shown(of('gap'))} | ` +
                `${shown(of('longTask'))} | ${mib(of('peak'))} | ${mib(of('baseline'))} | ` +
                `${list.map((run) => run.total.toFixed(0)).join(', ')} |`);
  }
}

// Returns the machine's load averages as a line of text, with the time and what.
const loadLine = (what) => `${new Date().toISOString()} ${what}: load average ${os.loadavg().map((l) => l.toFixed(2)).join(' ')}`;

// Prints to standard error one run's measures, labelled.
function logRun(label, run) {
  const mib = (bytes) => (bytes / 2 ** 20).toFixed(0);
  console.error(`${label}: ${run.total.toFixed(0)} ms (the page counts ${run.own} ms), timer gap ${run.gap.toFixed(0)} ms, ` +
                `long task ${run.longTask === null ? 'n/a' : run.longTask.toFixed(0) + ' ms'}, RSS ${mib(run.baseline)} → ` +
                `${mib(run.peak)} MiB, report ${JSON.stringify(run.report.slice(0, 40))}`);
}

// Runs every round in engine, pages alternated, each run verified; returns the runs by "case\tpage".
async function runRounds(engine, urls, { rounds, pages, cases }) {
  const runs = new Map();
  for (let round = 0; round < rounds; ++round) {
    // Alternated: each round starts with the page the last one ended with.
    const order = round % 2 === 0 ? pages : pages.slice().reverse();
    for (const [caseName, testData, submission] of cases) {
      for (const [name] of order) {
        const label = `round ${round + 1} ${caseName} ${name}`;
        const run = await measure(engine, urls.get(name), testData, submission);
        const sameCase = [...runs].find(([key]) => key.startsWith(caseName + '\t'));
        verify(run, testData, sameCase && sameCase[1][0], label);
        logRun(label, run);
        const key = caseName + '\t' + name;
        runs.set(key, (runs.get(key) || []).concat([run]));
      }
    }
  }
  return runs;
}

// Runs the rounds given on the command line; returns the exit status.
async function main(argv) {
  const parsed = parseArguments(argv);
  const mode = process.env.ZOBNIKARI_PAGE_URL || 'file';
  if (parsed === null || !['file', 'http'].includes(mode)) {
    console.error('usage: [ZOBNIKARI_PAGE_URL=file|http] node page_timing.js <engine> <rounds> ' +
                  '<name>=<page folder>... -- <case>=<test data>,<submission>...');
    return 1;
  }
  console.log(loadLine(parsed.engine + ', at the start'));
  const served = await pageUrls(parsed.pages, mode);
  let engine = null;
  let runs;
  try {
    engine = await launch(parsed.engine);
    runs = await runRounds(engine, served.urls, parsed);
  } finally {
    if (engine !== null) await engine.close();
    await served.close();
  }
  const errors = engine.pageErrors();
  if (errors !== null && errors.length > 0) console.log('errors the pages threw: ' + errors.join('; '));
  printTable(parsed.engine, mode, runs);
  console.log('\n' + loadLine(parsed.engine + ', at the end'));
  return 0;
}

main(process.argv.slice(2)).then((status) => { process.exitCode = status; }, (error) => {
  console.error(error);
  process.exitCode = 1;
});
