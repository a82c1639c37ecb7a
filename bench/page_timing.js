// Times pages of the web archive in Chromium, alternated in one run: for each
// case, from the choice of the second file (its change event) to everything
// shown (the verdict drawn, then a frame drawn and the next task run), each
// page opened fresh from disk, the median of the rounds. The submission is
// chosen once the page is done with the test data alone, as a contestant
// choosing the second file after the first finds it. Prints a table of
// medians, with the time that each page counts itself (its result's
// data-milliseconds) beside it.
//
//   node bench/page_timing.js <rounds> <name>=<page folder>... -- <case>=<test data>,<submission>...
'use strict';

const fs = require('fs');
const os = require('os');
const path = require('path');
const { pathToFileURL } = require('url');
const { chromium } = require('playwright-core');

// Returns the median of numbers.
function median(numbers) {
  const sorted = numbers.slice().sort((a, b) => a - b);
  const middle = Math.floor(sorted.length / 2);
  return sorted.length % 2 === 1 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
}

// In the page, before its own scripts: notes when the second file is chosen
// and when the verdict drawn after it (the last message's, with everything
// drawn in the same task) has reached the screen.
function timer() {
  window.timing = { chosen: null, shown: null };
  document.addEventListener('change', (event) => {
    if (event.target.id === 'submission') window.timing.chosen = performance.now();
  }, true);
  const watch = new MutationObserver(() => {
    if (window.timing.chosen === null || window.timing.shown !== null) return;
    window.timing.shown = 0;
    requestAnimationFrame(() => setTimeout(() => { window.timing.shown = performance.now(); }, 0));
  });
  document.addEventListener('DOMContentLoaded', () => {
    watch.observe(document.getElementById('verdict'), { childList: true });
  });
}

// Returns { total, own } in milliseconds for one case on the page at url.
async function measure(context, url, testData, submission) {
  const page = await context.newPage();
  await page.addInitScript(timer);
  await page.goto(url);
  await page.setInputFiles('#test-data', testData);
  await page.waitForSelector('body[data-busy="false"]', { timeout: 120000 });
  await page.setInputFiles('#submission', submission);
  await page.waitForFunction(() => window.timing.shown > 0, null, { timeout: 120000, polling: 50 });
  await page.waitForFunction(() => document.getElementById('result').dataset.milliseconds !== undefined);
  const got = await page.evaluate(() => ({
    total: window.timing.shown - window.timing.chosen,
    own: Number(document.getElementById('result').dataset.milliseconds),
  }));
  await page.close();
  return got;
}

// Runs the rounds given on the command line. Returns the exit status.
async function main(argv) {
  const split = argv.indexOf('--');
  const rounds = Number(argv[0]);
  const pages = argv.slice(1, split).map((pair) => pair.split('='));
  const cases = argv.slice(split + 1).map((pair) => {
    const [name, files] = pair.split('=');
    return [name, ...files.split(',')];
  });
  if (!(rounds >= 1) || split < 0 || pages.length === 0 || cases.length === 0) {
    console.error('usage: node page_timing.js <rounds> <name>=<page folder>... -- <case>=<test data>,<submission>...');
    return 1;
  }
  const context = await chromium.launchPersistentContext(fs.mkdtempSync(path.join(os.tmpdir(), 'page-timing-')), {
    executablePath: process.env.ZOBNIKARI_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  const times = {};
  try {
    for (let round = 0; round < rounds; ++round) {
      // Alternated: each round starts with the page the last one ended with.
      const order = round % 2 === 0 ? pages : pages.slice().reverse();
      for (const [caseName, testData, submission] of cases) {
        for (const [name, folder] of order) {
          const url = pathToFileURL(path.join(folder, 'index.html')).href;
          const got = await measure(context, url, testData, submission);
          const key = caseName + '\t' + name;
          (times[key] = times[key] || []).push(got);
          console.error(`round ${round + 1} ${caseName} ${name}: ${got.total.toFixed(0)} ms (the page counts ${got.own} ms)`);
        }
      }
    }
  } finally {
    await context.close();
  }
  console.log('| case | page | chosen to shown, median ms | the page\'s own count, median ms | runs ms |');
  console.log('|---|---|---|---|---|');
  for (const [key, runs] of Object.entries(times)) {
    const [caseName, name] = key.split('\t');
    console.log(`| ${caseName} | ${name} | ${median(runs.map((run) => run.total)).toFixed(0)} | ` +
                `${median(runs.map((run) => run.own)).toFixed(0)} | ${runs.map((run) => run.total.toFixed(0)).join(', ')} |`);
  }
  return 0;
}

main(process.argv.slice(2)).then((status) => { process.exitCode = status; }, (error) => {
  console.error(error);
  process.exitCode = 1;
});
