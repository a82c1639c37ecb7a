// Debian's Chromium, driven through playwright-core over its DevTools
// protocol; reports are saved as real downloads.
'use strict';

const fs = require('node:fs');
const path = require('node:path');
const { callSource, homeIn, pageFrom, scratchFolder, removeFolder } = require('./driver.js');

/** Starts Chromium headless with a fresh profile and no traffic of its own; returns an Engine. */
async function launch() {
  const { chromium } = require('playwright-core');
  const folder = scratchFolder('chromium');
  const context = await chromium.launchPersistentContext(path.join(folder, 'profile'), {
    executablePath: process.env.ZOBNIKARI_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    env: homeIn(folder),
    acceptDownloads: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  const errors = [];
  return {
    name: 'chromium',
    async open(url, { width } = {}) {
      const page = await context.newPage();
      page.on('pageerror', (error) => errors.push(error.message));
      if (width) await page.setViewportSize({ width, height: 844 });
      await page.goto(url);
      return wrap(page);
    },
    pageErrors: () => errors.slice(),
    async close() {
      await context.close();
      removeFolder(folder);
    },
  };
}

/** Returns the Page of a playwright page. */
function wrap(page) {
  return pageFrom({
    goto: async (url) => { await page.goto(url); },
    chooseFile: (selector, file) => page.setInputFiles(selector, file),
    click: (selector) => page.click(selector),
    press: (key) => page.keyboard.press(key),
    evaluate: (fn, ...args) => page.evaluate(callSource(fn, args)),
    async savedReport() {
      const [download] = await Promise.all([page.waitForEvent('download'), page.click('#save')]);
      return { name: download.suggestedFilename(), bytes: fs.readFileSync(await download.path()) };
    },
    screenshot: async (file) => { await page.screenshot({ path: file, fullPage: true }); },
    close: () => page.close(),
  });
}

module.exports = { launch };
