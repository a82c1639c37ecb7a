// Checks the page with the browser's real file picker, which no automated
// test can drive (headless Chromium aborts it): a headed Chromium in a
// virtual display, its picker (a GTK dialog) driven with xdotool. Chooses
// both files with handles, rewrites the submission on disk with following on
// (at once, then in two steps half a second apart), then with following off,
// and prints what the page shows after each step. Not part of the tests; run
// by hand (Debian: apt-get install xvfb xdotool openbox):
//
//   xvfb-run -a -s "-screen 0 1280x1000x24" node web/tools/picker_by_hand.js \
//     build/web/Orv19Zobnikari-<version>-web <scratch folder>
'use strict';

const { execFileSync, spawn } = require('child_process');
const fs = require('fs');
const path = require('path');
const { pathToFileURL } = require('url');
const { chromium } = require('playwright-core');

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const xdotool = (...args) => execFileSync('xdotool', args, { encoding: 'utf8' }).trim();

// Clicks the chooser at selector and picks file in the dialog that opens.
async function pick(page, selector, file) {
  await page.click(selector);
  let window = '';
  for (let i = 0; i < 40 && window === ''; ++i) {
    await sleep(250);
    try {
      window = xdotool('search', '--onlyvisible', '--name', 'Select a file').split('\n').pop();
    } catch (error) {
      window = ''; // not open yet
    }
  }
  xdotool('windowactivate', '--sync', window);
  xdotool('key', 'ctrl+l');
  xdotool('type', '--delay', '20', file);
  await sleep(300);
  // The dialog's "Open" button, at its lower right corner.
  const geometry = xdotool('getwindowgeometry', '--shell', window);
  const at = Object.fromEntries(geometry.split('\n').map((line) => line.split('=')).map(([k, v]) => [k, Number(v)]));
  xdotool('mousemove', String(at.X + at.WIDTH - 45), String(at.Y + at.HEIGHT - 28));
  xdotool('click', '1');
  await sleep(1000);
}

// Returns once the verdict begins with start; returns the milliseconds waited.
async function verdictBecomes(page, start) {
  const began = Date.now();
  await page.waitForFunction((text) => document.querySelector('#verdict').textContent.startsWith(text), start,
                             { timeout: 15000 });
  return Date.now() - began;
}

async function main([site, scratch]) {
  const input = path.join(scratch, 'input.txt');
  const submission = path.join(scratch, 'submission.txt');
  const examples = path.join(__dirname, '..', '..', 'examples');
  fs.mkdirSync(scratch, { recursive: true });
  fs.copyFileSync(path.join(examples, 'input.txt'), input);
  fs.copyFileSync(path.join(examples, 'submission.txt'), submission);
  const teamTooLarge = '123456\nZobnikari\n1\n3 1\n1 2 3\n2 1\n';
  spawn('openbox', [], { stdio: 'ignore', detached: true }).unref(); // the dialog needs a window manager
  await sleep(1000);
  const context = await chromium.launchPersistentContext(path.join(scratch, 'profile'), {
    executablePath: '/usr/bin/chromium', headless: false, args: ['--no-sandbox', '--no-first-run'],
  });
  const page = await context.newPage();
  await page.goto(pathToFileURL(path.join(site, 'index.html')).href);
  await page.evaluate(() => {
    window.verdicts = [];
    new MutationObserver(() => window.verdicts.push(document.querySelector('#verdict').textContent))
      .observe(document.querySelector('#verdict'), { childList: true, subtree: true });
  });
  await pick(page, '#test-data', input);
  await pick(page, '#submission', submission);
  await verdictBecomes(page, 'Sprejeto');
  console.log('both chosen with the picker:', await page.textContent('#verdict'), '|', await page.textContent('#status'));

  fs.writeFileSync(submission, teamTooLarge);
  console.log(`rewritten, following on: after ${await verdictBecomes(page, 'Zavrnjeno')} ms:`,
              await page.textContent('#verdict'));
  fs.writeFileSync(submission, '123456\nZobnikari\n1\n3 1\n');
  await sleep(500);
  fs.appendFileSync(submission, '1 2\n2 1\n');
  console.log(`written in two steps: after ${await verdictBecomes(page, 'Sprejeto')} ms:`,
              await page.textContent('#verdict'));
  console.log('every verdict shown so far:', JSON.stringify(await page.evaluate(() => window.verdicts)));

  await page.uncheck('#follow');
  fs.writeFileSync(submission, teamTooLarge);
  await sleep(3000);
  console.log('rewritten, following off, 3 s later:', await page.textContent('#verdict'), '|',
              await page.isVisible('#stale') ? await page.textContent('#stale') : '(no note)');
  await page.click('#again');
  await verdictBecomes(page, 'Zavrnjeno');
  console.log('after "Preveri znova":', await page.textContent('#verdict'));
  await context.close();
  return 0;
}

main(process.argv.slice(2)).then((status) => process.exit(status), (error) => {
  console.error(error);
  process.exit(1);
});
