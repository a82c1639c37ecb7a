// Takes screenshots of the page in one browser engine, for a person to look
// at: the example accepted, defects in three blocks, the largest test data,
// and a verdict crossed out after its submission was rewritten on disk; each
// at a desktop's width and at a phone's (390 px). A check by hand, not a
// test: it asserts nothing.
//
//   node web/tools/screenshots.js <chromium|firefox|webkit> <page folder> <largest folder> <output folder>
//
// WebKit needs a display (xvfb-run -a) and shows its window as it stands.
'use strict';

const fs = require('node:fs');
const path = require('node:path');
const { pathToFileURL } = require('node:url');
const engines = require('../tests/engines/driver.js');

const examples = path.join(__dirname, '..', '..', 'examples');
const twoCases = 'Zobnikari\n2\n\n1 4 3 2 1\n10 6 3 0\n3 1 4 2\n1 2 3 4\n4 3 2 1\n' +
    '\n2 6 4 3 2\n9 7 5 3 1 0\n1 2 3 4 5 6\n6 5 4 3 2 1\n2 4 6 1 3 5\n5 3 1 6 4 2\n';
const threeBlocks = '123456\nZobnikari\n2\n1 2 3\n1 5 6\n6 2 4\n4 2 6\n1\n3 1\n1 2\n2 x\n' +
    '2\n1 2 3\n1 5 6\n6 2 2\n4 2 99999999999\n1\n3 1\n1 2\n3 4\n1\n3 1\n1 2\n2 1\n';

/** Waits until the page is no longer busy and shows a verdict or a problem. */
const settled = (page) => page.waitFor(() => document.querySelector(
  'body[data-busy="false"] :is(#result, #problem):not([hidden])'), 120000);

/** The states shown, each (page, scratch) => the files chosen and what follows. */
const states = {
  accepted: async (page) => {
    await page.chooseFile('#test-data', path.join(examples, 'input.txt'));
    await page.chooseFile('#submission', path.join(examples, 'submission.txt'));
    await settled(page);
  },
  defects: async (page, scratch) => {
    fs.writeFileSync(path.join(scratch, 'input.txt'), twoCases);
    fs.writeFileSync(path.join(scratch, 'submission.txt'), threeBlocks);
    await page.chooseFile('#test-data', path.join(scratch, 'input.txt'));
    await page.chooseFile('#submission', path.join(scratch, 'submission.txt'));
    await settled(page);
  },
  largest: async (page, scratch, largest) => {
    await page.chooseFile('#test-data', path.join(largest, 'input.txt'));
    await settled(page);
    await page.chooseFile('#submission', path.join(largest, 'submission.txt'));
    await page.waitFor(() => /Presojeno: .*submission/.test(document.querySelector('#verdict').textContent), 120000);
    await settled(page);
  },
  rewritten: async (page, scratch) => {
    const submission = path.join(scratch, 'rewritten.txt');
    fs.copyFileSync(path.join(examples, 'submission.txt'), submission);
    await page.chooseFile('#test-data', path.join(examples, 'input.txt'));
    await page.chooseFile('#submission', submission);
    await settled(page);
    fs.writeFileSync(submission, '123456\nZobnikari\n1\n3 1\n1 2 3\n2 1\n');
    const later = Date.now() / 1000 + 60;
    fs.utimesSync(submission, later, later);
    // Crossed out where the browser can tell; else as it stands after 3 s.
    await page.waitFor(() => document.querySelector('#verdict').dataset.stale === 'true', 3000).catch(() => {});
  },
};

/** Takes every state's screenshots in the engine called name. */
async function main([name, site, largest, out]) {
  if (!out) throw new Error('usage: node screenshots.js <engine> <page folder> <largest folder> <output folder>');
  fs.mkdirSync(out, { recursive: true });
  const scratch = engines.scratchFolder('screenshots');
  const engine = await engines.launch(name);
  try {
    for (const [state, show] of Object.entries(states)) {
      for (const width of [undefined, 390]) {
        const page = await engine.open(pathToFileURL(path.join(site, 'index.html')).href, { width });
        await show(page, scratch, largest);
        const file = path.join(out, `${name}-${state}-${width || 'desktop'}.png`);
        await page.screenshot(file);
        console.log(file);
        await page.close();
      }
    }
  } finally {
    await engine.close();
    engines.removeFolder(scratch);
  }
}

main(process.argv.slice(2)).catch((error) => {
  console.error(error);
  process.exitCode = 1;
});
