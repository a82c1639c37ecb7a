// Debian's Firefox ESR, driven through puppeteer-core over WebDriver BiDi;
// reports are saved as real downloads into a folder of the profile's.
'use strict';

const fs = require('node:fs');
const path = require('node:path');
const { callSource, homeIn, pageFrom, pollUntil, scratchFolder, removeFolder } = require('./driver.js');

/** The preferences set on top of puppeteer's own, each for the reason beside it. */
function preferences(downloads) {
  return {
    // puppeteer lets local files read each other and turns the pop-up
    // blocker off; put back Firefox's own rules, so that the page runs as
    // in a user's Firefox, from disk too.
    'security.fileuri.strict_origin_policy': true,
    'dom.disable_open_during_load': true,
    // Downloads go, without asking, into the folder the test reads.
    'browser.download.folderList': 2,
    'browser.download.dir': downloads,
    'browser.download.useDownloadDir': true,
    'browser.download.always_ask_before_handling_new_types': false,
    // No probes of the network beyond those puppeteer already turns off.
    'network.captive-portal-service.enabled': false,
    'network.connectivity-service.enabled': false,
    'extensions.systemAddon.update.enabled': false,
  };
}

/** Starts Firefox headless with a fresh profile; returns an Engine. */
async function launch() {
  const puppeteer = require('puppeteer-core');
  const folder = scratchFolder('firefox');
  const downloads = path.join(folder, 'downloads');
  fs.mkdirSync(downloads);
  const browser = await puppeteer.launch({
    browser: 'firefox',
    protocol: 'webDriverBiDi',
    executablePath: process.env.ZOBNIKARI_FIREFOX || '/usr/bin/firefox-esr',
    headless: true,
    userDataDir: path.join(folder, 'profile'),
    env: homeIn(folder),
    extraPrefsFirefox: preferences(downloads),
  });
  const errors = [];
  return {
    name: 'firefox',
    async open(url, { width } = {}) {
      const page = await browser.newPage();
      page.on('pageerror', (error) => errors.push(error.message));
      if (width) await page.setViewport({ width, height: 844 });
      await page.goto(url);
      return wrap(page, downloads);
    },
    pageErrors: () => errors.slice(),
    async close() {
      await browser.close();
      removeFolder(folder);
    },
  };
}

/**
 * Empties the file input at selector, firing nothing, when its file is called
 * name. Firefox's driver takes a file of the name already chosen for the same
 * file (it compares names, not folders) and changes nothing; a person who
 * picks it from another folder replaces the choice.
 */
function clearSameName(selector, name) {
  const input = document.querySelector(selector);
  if (input.files.length === 1 && input.files[0].name === name) input.value = '';
}

/** Returns the Page of a puppeteer page whose downloads land in downloads. */
function wrap(page, downloads) {
  return pageFrom({
    goto: async (url) => { await page.goto(url); },
    async chooseFile(selector, file) {
      await page.evaluate(callSource(clearSameName, [selector, path.basename(file)]));
      const input = await page.$(selector);
      await input.uploadFile(file);
      await input.dispose();
    },
    click: (selector) => page.click(selector),
    press: (key) => page.keyboard.press(key),
    evaluate: (fn, ...args) => page.evaluate(callSource(fn, args)),
    async savedReport() {
      for (const name of fs.readdirSync(downloads)) fs.rmSync(path.join(downloads, name));
      await page.click('#save');
      // Firefox writes name.part and then renames it to name, over an empty
      // placeholder: the download is whole once no .part is left and the
      // file has bytes (a report always has some).
      const name = await pollUntil(() => {
        const names = fs.readdirSync(downloads);
        const done = names.filter((n) => !n.endsWith('.part') && fs.statSync(path.join(downloads, n)).size > 0);
        return names.length === 1 && done.length === 1 && done[0];
      }, 10000, () => 'a whole download in ' + downloads);
      return { name, bytes: fs.readFileSync(path.join(downloads, name)) };
    },
    screenshot: async (file) => { await page.screenshot({ path: file, fullPage: true }); },
    close: () => page.close(),
  });
}

module.exports = { launch };
