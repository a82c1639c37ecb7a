// WebKitGTK's MiniBrowser, driven through selenium-webdriver and Debian's
// WebKitWebDriver (classic WebDriver). It opens a window, so it needs an X
// display (xvfb-run -a). Its driver sets no window narrower than 447 px: a
// narrower page is opened in an iframe of that width. It saves nothing for
// a download of a Blob: the report is read from the Blob the page offered.
'use strict';

const fs = require('node:fs');
const path = require('node:path');
const { pathToFileURL } = require('node:url');
const { callSource, homeIn, pageFrom, pollUntil, scratchFolder, removeFolder } = require('./driver.js');

const miniBrowser = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';

/** Starts WebKitWebDriver and a MiniBrowser session with a fresh profile; returns an Engine. */
async function launch() {
  if (!process.env.DISPLAY && !process.env.WAYLAND_DISPLAY) {
    throw new Error('WebKit opens a window and no display is set: run the tests under `xvfb-run -a`');
  }
  const { Builder } = require('selenium-webdriver');
  const remote = require('selenium-webdriver/remote');
  const { findFreePort } = require('selenium-webdriver/net/portprober');
  const folder = scratchFolder('webkit');
  const port = await findFreePort();
  const service = new remote.DriverService(process.env.ZOBNIKARI_WEBKIT_DRIVER || '/usr/bin/WebKitWebDriver', {
    port, args: ['--port=' + port], loopback: true, env: homeIn(folder),
  });
  const driver = await new Builder().usingServer(await service.start()).withCapabilities({
    browserName: 'MiniBrowser',
    'webkitgtk:browserOptions': { binary: process.env.ZOBNIKARI_MINIBROWSER || miniBrowser, args: ['--automation'] },
  }).build();
  let current = null; // the one page the window shows
  return {
    name: 'webkit',
    async open(url, { width } = {}) {
      current = wrap(driver, folder, width, () => current);
      await current.goto(url);
      return current;
    },
    pageErrors: () => null,
    async close() {
      await driver.quit();
      await service.kill();
      removeFolder(folder);
    },
  };
}

/** Loads url in the window, or in an iframe width pixels wide (844 high) when width is given. */
async function load(driver, folder, url, width) {
  await driver.switchTo().defaultContent();
  if (!width) return driver.get(url);
  const frame = path.join(folder, 'narrow.html');
  fs.writeFileSync(frame, '<!DOCTYPE html><style>body { margin: 0 } iframe { border: 0 }</style>' +
                   `<iframe src="${url}" width="${width}" height="844"></iframe>`);
  await driver.get(pathToFileURL(frame).href);
  await driver.switchTo().frame(0);
}

/** Runs fn(...args) in the page through an asynchronous script; returns its value or throws its error. */
async function evaluate(driver, fn, args) {
  const outcome = await driver.executeAsyncScript(`const done = arguments[arguments.length - 1];
    Promise.resolve().then(() => ${callSource(fn, args)})
      .then((value) => done({ value }), (error) => done({ error: String(error) }));`);
  if (outcome.error !== undefined) throw new Error('in the page: ' + outcome.error);
  return outcome.value;
}

/** Keeps, in the page, each Blob given a URL and the download name and URL of each link clicked. */
function keepOffers() {
  if (window.testOffers) return;
  window.testOffers = { blobs: {}, clicked: null };
  const make = URL.createObjectURL;
  URL.createObjectURL = function (object) {
    const url = make.call(URL, object);
    window.testOffers.blobs[url] = object;
    return url;
  };
  document.addEventListener('click', (event) => {
    const link = event.target.closest && event.target.closest('a[download]');
    if (link) window.testOffers.clicked = { name: link.download, url: link.href };
  }, true);
}

/** Returns the name and the bytes (base64) of the Blob behind the last download link clicked, or null. */
async function lastOffer() {
  const clicked = window.testOffers.clicked;
  const blob = clicked && window.testOffers.blobs[clicked.url];
  if (!blob) return null;
  const bytes = new Uint8Array(await blob.arrayBuffer());
  let binary = '';
  for (const byte of bytes) binary += String.fromCharCode(byte);
  return { name: clicked.name, base64: btoa(binary) };
}

/** Returns the Page shown in driver's window (width wide, if given) while active() returns it. */
function wrap(driver, folder, width, active) {
  const { By, Key } = require('selenium-webdriver');
  const keys = { Enter: Key.ENTER, Tab: Key.TAB, ArrowDown: Key.ARROW_DOWN };
  let page;
  // Finds the element at selector in this page, which must be the one shown.
  const element = (selector) => {
    if (active() !== page) throw new Error('WebKit shows one page at a time, and this one is closed');
    return driver.findElement(By.css(selector));
  };
  page = pageFrom({
    goto: (url) => load(driver, folder, url, width),
    chooseFile: async (selector, file) => (await element(selector)).sendKeys(file),
    click: async (selector) => (await element(selector)).click(),
    async press(key) {
      if (!keys[key]) throw new Error('no key ' + key + ' here: add it to keys');
      await driver.actions().sendKeys(keys[key]).perform();
    },
    evaluate: (fn, ...args) => evaluate(driver, fn, args),
    async savedReport() {
      await page.evaluate(keepOffers);
      await page.evaluate(() => { window.testOffers.clicked = null; });
      await page.click('#save');
      const offer = await pollUntil(() => page.evaluate(lastOffer), 10000, () => 'the report offered by #save');
      return { name: offer.name, bytes: Buffer.from(offer.base64, 'base64') };
    },
    // The window as it stands: WebKitWebDriver takes no whole page.
    screenshot: async (file) => fs.writeFileSync(file, Buffer.from(await driver.takeScreenshot(), 'base64')),
    async close() {
      if (active() === page) await load(driver, folder, 'about:blank');
    },
  });
  return page;
}

module.exports = { launch };
