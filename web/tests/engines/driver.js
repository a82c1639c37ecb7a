// What the page's checks ask of a browser, whichever engine runs it: each
// adapter beside this file (chromium.js, firefox.js, webkit.js) gives the
// few things that differ per engine, and pageFrom() builds the rest of a
// page on its evaluate() alone.
'use strict';

const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

/**
 * A page open in the engine's browser.
 * @typedef {object} Page
 * @property {(url: string) => Promise<void>} goto Loads url in this page afresh, as a reload does.
 * @property {(selector: string, file: string) => Promise<void>} chooseFile Chooses file (a path) in the file input at selector.
 * @property {(selector: string) => Promise<void>} click Clicks the element at selector as a user does.
 * @property {(key: 'Enter'|'Tab'|'ArrowDown') => Promise<void>} press Presses key on the element that has the focus.
 * @property {(fn: Function|string, ...args: any[]) => Promise<any>} evaluate Runs fn(...args) in the page (awaited if async); returns its JSON value.
 * @property {() => Promise<{name: string, bytes: Buffer}>} savedReport Clicks #save; returns the file's name and bytes as offered.
 * @property {(file: string) => Promise<void>} screenshot Saves what the page shows as a PNG at file (a path).
 * @property {() => Promise<void>} close Closes the page.
 * @property {(selector: string) => Promise<string>} text The textContent of the element at selector.
 * @property {(selector: string) => Promise<string[]>} texts The textContent of each element at selector.
 * @property {(selector: string, name: string) => Promise<string|null>} attribute An attribute of the element at selector.
 * @property {(selector: string) => Promise<boolean>} visible Whether the element at selector takes room and is not hidden.
 * @property {(selector: string) => Promise<void>} focus Gives the element at selector the focus.
 * @property {(predicate: Function|string, timeoutMs?: number, ...args: any[]) => Promise<void>} waitFor
 *   Polls predicate(...args) in the page until it is truthy; throws after timeoutMs.
 */

/**
 * A browser of one engine, started with a fresh profile.
 * @typedef {object} Engine
 * @property {string} name chromium, firefox or webkit.
 * @property {(url: string, options?: {width?: number}) => Promise<Page>} open
 *   Opens url in a new page, width CSS pixels wide when given (844 high).
 * @property {() => string[]|null} pageErrors Errors the pages threw so far; null where the engine does not tell.
 * @property {() => Promise<void>} close Ends the browser and removes its profile.
 */

/** The engines and the modules of their adapters. */
const adapters = { chromium: './chromium.js', firefox: './firefox.js', webkit: './webkit.js' };

/** Starts the engine called name (one of adapters); returns its Engine. */
async function launch(name) {
  if (!Object.hasOwn(adapters, name)) {
    throw new Error(`unknown engine "${name}": choose one of ${Object.keys(adapters).join(', ')}`);
  }
  return require(adapters[name]).launch();
}

/** Returns the source of fn, a function or its source already. */
const sourceOf = (fn) => (typeof fn === 'function' ? fn.toString() : fn);

/** Returns the source of an expression that calls fn (a function or its source) with args. */
function callSource(fn, args) {
  return `(${sourceOf(fn)})(...${JSON.stringify(args)})`;
}

/** Calls check() every 50 ms until it returns a truthy value, which it returns; throws what() after timeoutMs. */
async function pollUntil(check, timeoutMs, what) {
  const end = Date.now() + timeoutMs;
  for (;;) {
    const value = await check();
    if (value) return value;
    if (Date.now() > end) throw new Error(`waited ${timeoutMs} ms for ${what()}`);
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

/** Returns a new empty folder for a browser's profile and files; remove it with removeFolder. */
function scratchFolder(engine) {
  return fs.mkdtempSync(path.join(os.tmpdir(), `zobnikari-${engine}-`));
}

/** Returns the environment for a browser whose home, settings, data and caches are all in folder. */
function homeIn(folder) {
  return Object.assign({}, process.env, { HOME: folder, XDG_CONFIG_HOME: path.join(folder, 'config'),
                                          XDG_DATA_HOME: path.join(folder, 'data'), XDG_CACHE_HOME: path.join(folder, 'cache') });
}

/** Removes folder and all in it. */
function removeFolder(folder) {
  fs.rmSync(folder, { recursive: true, force: true });
}

/** Completes core (goto, chooseFile, click, press, evaluate, savedReport, screenshot, close) into a Page. */
function pageFrom(core) {
  const page = Object.assign({}, core);
  page.text = (selector) => page.evaluate((s) => {
    const element = document.querySelector(s);
    if (!element) throw new Error('nothing at ' + s);
    return element.textContent;
  }, selector);
  page.texts = (selector) => page.evaluate((s) => Array.from(document.querySelectorAll(s), (e) => e.textContent), selector);
  page.attribute = (selector, name) => page.evaluate((s, n) => document.querySelector(s).getAttribute(n), selector, name);
  page.visible = (selector) => page.evaluate((s) => {
    const element = document.querySelector(s);
    return !!element && element.getClientRects().length > 0 && getComputedStyle(element).visibility !== 'hidden';
  }, selector);
  page.focus = (selector) => page.evaluate((s) => document.querySelector(s).focus(), selector);
  page.waitFor = (predicate, timeoutMs = 60000, ...args) => {
    const truth = `(...args) => !!(${sourceOf(predicate)})(...args)`;
    return pollUntil(() => page.evaluate(truth, ...args), timeoutMs, () => callSource(predicate, args));
  };
  return page;
}

module.exports = { launch, callSource, pollUntil, scratchFolder, homeIn, removeFolder, pageFrom };
