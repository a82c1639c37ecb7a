// The resident memory of the processes this one started (a browser and its
// helpers), read from /proc by the parent links of its processes.
'use strict';

const fs = require('node:fs');

const kPageBytes = 4096; // of memory, as /proc counts the resident set on this machine
const kDriverServers = new Set(['WebKitWebDriver']); // drive a browser, are not one

// Returns every process now running: pid → { ppid, name, rss (bytes) }, from /proc.
function processTable() {
  const processes = new Map();
  for (const entry of fs.readdirSync('/proc').filter((name) => /^\d+$/.test(name))) {
    let stat;
    try {
      stat = fs.readFileSync(`/proc/${entry}/stat`, 'latin1');
    } catch (error) {
      continue; // ended meanwhile
    }
    const close = stat.lastIndexOf(')');
    const fields = stat.slice(close + 2).split(' '); // from the state on: ppid [1], rss in pages [21]
    processes.set(Number(entry), { ppid: Number(fields[1]), name: stat.slice(stat.indexOf('(') + 1, close),
                                   rss: Number(fields[21]) * kPageBytes });
  }
  return processes;
}

// Returns the resident bytes summed over this process's descendants, less the WebDriver servers.
function browserRss() {
  const processes = processTable();
  let bytes = 0;
  for (const [pid, info] of processes) {
    let up = info.ppid;
    while (up > 1 && up !== process.pid && processes.has(up)) up = processes.get(up).ppid;
    if (pid !== process.pid && up === process.pid && !kDriverServers.has(info.name)) bytes += info.rss;
  }
  return bytes;
}

// Starts sampling browserRss() every everyMs milliseconds; returns { baseline, stop() → peak bytes }.
function sampleRss(everyMs) {
  const baseline = browserRss();
  let peak = baseline;
  const timer = setInterval(() => { peak = Math.max(peak, browserRss()); }, everyMs);
  return { baseline, stop: () => { clearInterval(timer); return Math.max(peak, browserRss()); } };
}

module.exports = { processTable, browserRss, sampleRss };
