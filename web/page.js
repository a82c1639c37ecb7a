// The page: the two file choosers and dropped files, the evaluation in a
// worker with its progress, and the report with the scores or the line at
// fault. The logic lives in lib/ (and, for the evaluation, in the worker's
// bundle); this file only joins it to the page's elements.
(function () {
  'use strict';

  const texts = window.ZobnikariTexts;
  const reports = window.ZobnikariReport;
  const inputs = window.ZobnikariInputs;
  const bundle = window.ZobnikariBundle;

  const $ = (id) => document.getElementById(id);
  const state = {
    language: 'sl',
    files: { testData: null, submission: null },
    views: {}, // by part of the page: redraws its texts that depend on the outcome shown
    started: 0,
    busy: false, // an evaluation is under way
    again: false, // the files changed while it was: evaluate again
  };

  // Returns the text named key in the page's language.
  function t(key, values) {
    return texts.text(state.language, key, values);
  }

  // Returns a count of bytes as people read it.
  function size(bytes) {
    return bytes < 1e6 ? Math.ceil(bytes / 1e3) + ' kB' : (bytes / 1e6).toFixed(1) + ' MB';
  }

  // Sets every element's fixed text, and redraws the outcome shown.
  function applyTexts() {
    document.documentElement.lang = state.language;
    for (const element of document.querySelectorAll('[data-text]')) {
      element.textContent = t(element.dataset.text);
    }
    document.title = t('title');
    $('version').textContent = t('version', {
      version: bundle.version, commit: bundle.commit, module: t(state.module.variant),
    });
    for (const draw of Object.values(state.views)) draw();
  }

  // Draws part of the outcome with draw(), now and again when the language
  // changes.
  function show(part, draw) {
    state.views[part] = draw;
    draw();
  }

  // Clears what the last evaluation showed.
  function clearOutcome() {
    for (const id of ['problem', 'result', 'checksum', 'memory', 'scores', 'place', 'place-missing']) {
      $(id).hidden = true;
    }
    state.views = {};
    $('status').textContent = '';
    $('status').classList.remove('busy');
    for (const which of ['test-data', 'submission']) $(which + '-progress').hidden = true;
  }

  // Shows the problem named key, about the file named name.
  function showProblem(key, name, values = {}) {
    $('status').textContent = '';
    show('problem', () => {
      $('problem').textContent = t(key, Object.assign({ name }, values));
    });
    $('problem').hidden = false;
  }

  // Draws an evaluation's result.
  function showResult(result) {
    const report = result.report;
    $('report').textContent = new TextDecoder().decode(report);
    $('result').hidden = false;
    $('save').onclick = () => save(report);
    const entries = reports.okEntries(report);
    if (entries !== null) {
      const body = $('scores-body');
      body.replaceChildren(...entries.entries.map(({ id, score }) => {
        const row = document.createElement('tr');
        for (const value of [id, score]) {
          const cell = document.createElement('td');
          cell.textContent = String(value);
          row.append(cell);
        }
        return row;
      }));
      $('scores-sum').textContent = String(entries.sum);
      $('scores').hidden = false;
    }
    $('memory').hidden = !reports.isUnexpectedFailure(report);
    const milliseconds = performance.now() - state.started;
    const seconds = (milliseconds / 1000).toFixed(2);
    // For whoever measures the page: from the files chosen to the report
    // shown, and the evaluator's memory at its peak.
    $('result').dataset.milliseconds = milliseconds.toFixed(0);
    $('result').dataset.memoryBytes = String(result.memoryBytes);
    show('status', () => { $('status').textContent = t('took', { seconds }); });
    if (result.context !== null) show('place', () => drawPlace(result));
  }

  // Draws the line of the file concerned, with the lines around it.
  function drawPlace(result) {
    const file = t(result.file) + ' (' + state.files[result.file].name + ')';
    $('place-heading').textContent = t('placeHeading', { file, line: result.line });
    $('place-missing').textContent = t('placeMissing', { file, line: result.line });
    $('place-missing').hidden = !result.lineMissing;
    const decoder = new TextDecoder();
    const items = result.context.lines.map((line) => {
      const item = document.createElement('li');
      const number = document.createElement('span');
      number.className = 'number';
      number.textContent = String(line.number);
      const content = document.createElement('span');
      content.className = 'text';
      content.textContent = decoder.decode(line.bytes) + (line.cut ? ' ' + t('lineCut') : '');
      item.append(number, content);
      if (line.number === result.line) item.classList.add('marked');
      return item;
    });
    if (result.lineMissing) {
      const end = document.createElement('li');
      end.className = 'marked end';
      end.textContent = t('endOfFile');
      items.push(end);
    }
    $('place-lines').replaceChildren(...items);
    $('place').hidden = false;
  }

  // Saves report as report.txt, with the bytes that the Windows program writes.
  function save(report) {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([reports.withCrLf(report)], { type: 'text/plain' }));
    link.download = 'report.txt';
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 60000);
  }

  // Evaluates the chosen files, once both are chosen and fit. Files chosen
  // while an evaluation is under way are evaluated once it ends.
  async function evaluate() {
    if (state.busy) {
      state.again = true;
      return;
    }
    clearOutcome();
    const { testData, submission } = state.files;
    if (testData === null || submission === null) return;
    const problem = inputs.problemOf(testData, submission);
    if (problem !== null) return showProblem(problem.problem, state.files[problem.which].name);
    setBusy(true);
    state.started = performance.now();
    try {
      const last = await state.host.evaluate(testData, submission, (message) => {
        if (message.kind === 'progress') {
          const bar = $(message.which === 'testData' ? 'test-data-progress' : 'submission-progress');
          bar.hidden = false;
          bar.value = message.total === 0 ? 1 : message.done / message.total;
          show('status', () => {
            $('status').textContent = t('reading', {
              file: t(message.which), done: size(message.done), total: size(message.total),
            });
          });
        } else if (message.kind === 'checksum') {
          show('checksum', () => {
            $('checksum-text').textContent = t('checksum', { sha256: message.sha256 });
          });
          $('checksum').hidden = false;
        } else if (message.kind === 'evaluating') {
          $('status').classList.add('busy');
          show('status', () => { $('status').textContent = t('evaluating'); });
        }
      });
      $('status').classList.remove('busy');
      if (state.again) return; // the files changed meanwhile: this outcome is stale
      if (last.kind === 'result') showResult(last);
      else if (last.kind === 'aborted') showProblem('aborted', '', { reason: last.message });
      else showProblem(last.kind, state.files[last.which].name);
    } finally {
      setBusy(false);
      if (state.again) {
        state.again = false;
        evaluate();
      }
    }
  }

  // Marks the page busy (an evaluation under way) or not.
  function setBusy(busy) {
    state.busy = busy;
    $('again').disabled = busy;
    document.body.setAttribute('aria-busy', String(busy));
  }

  // Takes the file chosen in the input of which.
  function choose(which, file) {
    state.files[which] = file;
    evaluate();
  }

  // Puts file into the input of which, as if chosen there.
  function place(which, file) {
    const transfer = new DataTransfer();
    transfer.items.add(file);
    $(which === 'testData' ? 'test-data' : 'submission').files = transfer.files;
    state.files[which] = file;
  }

  // Returns true when file begins with the test data's first line.
  async function startsAsTestData(file) {
    const start = new Uint8Array(await file.slice(0, 11).arrayBuffer());
    return /^Zobnikari\r?\n/.test(String.fromCharCode(...start));
  }

  // Takes files dropped on the page: on a chooser, that chooser's; elsewhere
  // one file fills the first empty chooser, and of two the one that begins as
  // test data is the test data.
  async function drop(event) {
    event.preventDefault();
    $('choose').classList.remove('dragging');
    const items = Array.from(event.dataTransfer.items || []).filter((item) => item.kind === 'file');
    for (const item of items) {
      const entry = item.webkitGetAsEntry ? item.webkitGetAsEntry() : null;
      if (entry && entry.isDirectory) {
        clearOutcome();
        return showProblem('folder', entry.name);
      }
    }
    const files = Array.from(event.dataTransfer.files);
    if (files.length === 0) return;
    if (files.length > 2) {
      clearOutcome();
      return showProblem('tooManyFiles', '');
    }
    const target = event.target.closest('.chooser');
    if (files.length === 1) {
      const which = target ? (target.id === 'test-data-box' ? 'testData' : 'submission')
          : (state.files.testData === null ? 'testData' : 'submission');
      place(which, files[0]);
    } else {
      const firstIsTestData = await startsAsTestData(files[0]) || !(await startsAsTestData(files[1]));
      place('testData', firstIsTestData ? files[0] : files[1]);
      place('submission', firstIsTestData ? files[1] : files[0]);
    }
    evaluate();
  }

  // Returns the bytes of base64 text.
  function fromBase64(text) {
    const binary = atob(text);
    const bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
    return bytes;
  }

  // Picks the module this browser runs, starts the worker, and joins the
  // choosers, the buttons and dropping files to what they do.
  function start() {
    // A page opened from disk may not start a worker from a file: the
    // worker's code comes from the bundle, as a Blob.
    const workerUrl = URL.createObjectURL(new Blob([bundle.workerSource], { type: 'text/javascript' }));
    const host = window.ZobnikariWorkerHost;
    state.module = host.pickModule({
      simd: fromBase64(bundle.wasm.simd),
      portable: fromBase64(bundle.wasm.portable),
    }, (bytes) => WebAssembly.validate(bytes));
    state.host = new host.WorkerHost(() => new Worker(workerUrl), state.module);
    $('test-data').addEventListener('change', (event) => choose('testData', event.target.files[0] || null));
    $('submission').addEventListener('change', (event) => choose('submission', event.target.files[0] || null));
    $('again').addEventListener('click', evaluate);
    $('language').addEventListener('click', () => {
      state.language = state.language === 'sl' ? 'en' : 'sl';
      applyTexts();
    });
    // The whole page takes dropped files; the choosers' frame shows it.
    document.body.addEventListener('dragover', (event) => {
      event.preventDefault();
      $('choose').classList.add('dragging');
    });
    document.body.addEventListener('dragleave', () => $('choose').classList.remove('dragging'));
    document.body.addEventListener('drop', drop);
    setBusy(false);
    applyTexts();
  }

  start();
})();
