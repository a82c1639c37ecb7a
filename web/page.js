// The page: the two file choosers (with file handles where the browser has
// them) and dropped files, the evaluation in a worker with its progress, the
// verdict, the report with the scores or the place of a failure, every
// defect, where the points go, the change against the last run, the test
// data checked alone, and the files followed on disk. The logic lives in
// lib/ (and, for the evaluation, in the worker's bundle); this file only
// joins it to the page's elements.
(function () {
  'use strict';

  const texts = window.ZobnikariTexts;
  const reports = window.ZobnikariReport;
  const inputs = window.ZobnikariInputs;
  const visible = window.ZobnikariVisible;
  const verdicts = window.ZobnikariVerdict;
  const views = window.ZobnikariViews;
  const follow = window.ZobnikariFollow;
  const kinds = window.ZobnikariMessages.kKinds;
  const checkDocs = window.ZobnikariCheckDocs;
  const bundle = window.ZobnikariBundle;
  const workbench = window.ZobnikariWorkbench;
  const runs = window.ZobnikariRuns;
  const diagnosisViews = window.ZobnikariDiagnosisViews;

  const kWhich = ['testData', 'submission'];
  const kInputs = { testData: 'test-data', submission: 'submission' };
  const kPollMilliseconds = 1000;
  const kListByteNotDigit = 55;

  const $ = (id) => document.getElementById(id);
  const state = {
    language: 'sl',
    module: null, // the WebAssembly module this browser runs (worker-host.js's pickModule)
    host: null, // the worker's host
    handles: false, // the browser offers file handles (File System Access)
    following: false, // files chosen with handles are checked again when they change
    sources: { testData: null, submission: null }, // follow.js's sources of the chosen files
    checked: { testData: null, submission: null }, // the stamps of the files last checked (follow.js)
    judged: {}, // of the files last checked, by which: { size, lastByte, at } (worker-host.js)
    follower: new follow.Follower(),
    report: null, // the bytes of the report shown
    views: {}, // by part of the page: redraws its texts that depend on the outcome shown
    started: 0, // when the evaluation shown was asked for (performance.now())
    asked: null, // when an evaluation was asked for that has not begun
    keeper: new runs.RunKeeper(storage()), // the last run of each test data
    sha256: null, // of the test data of the result shown
    parts: null, // the workbench's parts (start)
    keepNote: null, // what became of the last run shown when it was to be kept, or null
    busy: false, // an evaluation is under way
    again: false, // the files changed while it was: evaluate again
    polling: false, // a poll of the files is under way
  };

  // Returns the text named key in the page's language.
  function t(key, values) {
    return texts.text(state.language, key, values);
  }

  // Returns a count of bytes as people read it.
  function size(bytes) {
    return bytes < 1e6 ? Math.ceil(bytes / 1e3) + ' kB' : (bytes / 1e6).toFixed(1) + ' MB';
  }

  // Returns the time of day of date as hours, minutes and seconds (24 hours).
  function clockTime(date) {
    return [date.getHours(), date.getMinutes(), date.getSeconds()]
        .map((part) => String(part).padStart(2, '0')).join(':');
  }

  // Returns the chosen files' names by which.
  function names() {
    const named = {};
    for (const which of kWhich) named[which] = state.sources[which] ? state.sources[which].name : '';
    return named;
  }

  // Returns the browser's localStorage, or null where it has none for this
  // page.
  function storage() {
    try {
      return window.localStorage || null;
    } catch (error) {
      return null;
    }
  }

  // Returns the page's words as the workbench takes them.
  function partWords() {
    return {
      t,
      count: (key, number) => texts.count(state.language, key, number),
      number: (value) => texts.number(state.language, value),
      change: (value) => texts.change(state.language, value),
      share: (value) => texts.percent(state.language, value),
      lineWords: () => words('line'),
      name: (file) => names()[file],
    };
  }

  // Returns the words with which views.js notes what it leaves out, for a
  // line of the report (kind 'report') or of a file.
  function words(kind) {
    const bytes = (number) => texts.count(state.language, 'bytes', number);
    return {
      cut: (left, length) => t(kind === 'report' ? 'reportCut' : 'lineCut', { left: bytes(left), length: bytes(length) }),
      skipped: (skipped) => t('lineSkipped', { skipped: bytes(skipped) }),
      moreLines: (count) => t('reportMoreLines', { count }),
      marked: t('markedLine'),
      gap: t('gap'),
      endOfFile: t('endOfFile'),
    };
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
    drawChoice();
    for (const draw of Object.values(state.views)) draw();
  }

  // Draws part of the outcome with draw(), now and again when the language
  // changes.
  function show(part, draw) {
    state.views[part] = draw;
    draw();
  }

  // Says what to choose next, and lets "check again" act only on two files.
  function drawChoice() {
    const { testData, submission } = state.sources;
    $('again').disabled = state.busy || !testData || !submission;
    const next = testData && !submission ? 'chooseSubmission' : !testData && submission ? 'chooseTestData' : null;
    $('next').textContent = next === null ? '' : t(next);
    $('next').hidden = next === null;
  }

  // Clears what the last evaluation showed.
  function clearOutcome() {
    for (const id of ['problem', 'result', 'checksum', 'stale', 'swap', 'place', 'explanation', 'scores',
                      'comparison', 'findings', 'findings-incomplete', 'blocks', 'chart', 'cases']) {
      $(id).hidden = true;
    }
    $('official-report').hidden = false;
    $('verdict').replaceChildren();
    delete $('verdict').dataset.tone;
    delete $('verdict').dataset.stale;
    state.views = {};
    state.report = null;
    $('status').textContent = '';
    $('status').classList.remove('busy');
  }

  // Shows the problem named key, about the file named name.
  function showProblem(key, name, values = {}) {
    clearOutcome();
    show('problem', () => {
      $('problem').textContent = t(key, Object.assign({ name }, values));
    });
    $('problem').hidden = false;
  }

  // Asks for the file of which to be chosen again (the browser no longer
  // reads the copy it took, or it is not what was judged), with that chooser
  // focused; a verdict shown stays, marked as the previous version's.
  function chooseAgain(which) {
    const name = state.sources[which].name;
    if ($('result').hidden) showProblem('chooseAgain', name);
    else markStale(which, 'staleChooseAgain');
    state.sources[which] = null;
    $(kInputs[which]).value = '';
    drawChoice();
    $(kInputs[which]).focus();
  }

  // Draws an evaluation's last message: a result, the test data checked
  // alone, or aborted (a verdict without a report).
  function showResult(last) {
    const judged = judgedText(last.judged);
    show('verdict', () => {
      views.drawVerdict($('verdict'), verdicts.verdictOf(state.language, last, names()), 'explanation');
      $('verdict').append(views.element('p', 'verdict-judged', judged()));
    });
    const seconds = ((performance.now() - state.started) / 1000).toFixed(2);
    const time = clockTime(new Date());
    show('status', () => {
      const anyHandle = kWhich.some((which) => state.sources[which] && state.sources[which].kind === 'handle');
      $('status').textContent = t('took', { time, seconds }) +
          (state.following && anyHandle ? ' ' + t('following') : '');
    });
    if (last.kind === kinds.result) showEvaluation(last, time);
    if (last.kind === kinds.testDataChecked) showTestData(last);
    if (last.kind !== kinds.aborted) {
      show('checksum', () => {
        $('checksum-text').textContent = last.sha256 === null ? t('checksumUnavailable')
            : t('checksum', { sha256: last.sha256 });
      });
      $('checksum').hidden = false;
      $('result').dataset.memoryBytes = String(last.memoryBytes);
      $('result').hidden = false;
    }
    $('verdict').focus();
    // For whoever measures the page: from the files chosen to everything
    // shown, the frame drawn.
    requestAnimationFrame(() => setTimeout(() => {
      $('result').dataset.milliseconds = (performance.now() - state.started).toFixed(0);
    }, 0));
  }

  // Returns a function that gives, in the page's language, which bytes a
  // verdict judged (judged: the host's, by which): each file's name, its
  // size and the time its reading ended.
  function judgedText(judged) {
    const named = names();
    return () => t('judged', {
      files: kWhich.filter((which) => judged[which]).map((which) => t('judgedFile', {
        name: named[which], size: texts.size(state.language, judged[which].size),
        time: clockTime(new Date(judged[which].at)),
      })).join('; '),
    });
  }

  // Draws a result: the report, its scores or the place of its failure,
  // every defect, the blocks, and the change against the last run (time:
  // when it was checked).
  function showEvaluation(last, time) {
    state.report = last.report;
    show('report', () => views.drawReport($('report'), last.reportView, words('report')));
    drawSwap(last.swap);
    if (last.outcome.shape === 'ok') drawScores(last.outcome);
    const diagnosis = last.diagnosis;
    $('findings-incomplete').hidden = !diagnosis.incomplete;
    if (diagnosis.findings.length > 0) {
      state.parts.findings.show(diagnosis);
      show('findings', () => state.parts.findings.redraw());
    } else if (last.place !== null) {
      showPlace({ file: last.file, line: last.line, lineMissing: last.lineMissing, check: last.outcome.check,
                  place: last.place }, null);
    }
    state.parts.blocks.show(diagnosis);
    show('blocks', () => state.parts.blocks.redraw());
    const defects = diagnosis.incomplete ? null : diagnosis.findings.length + diagnosis.moreFindings;
    drawComparison(last.sha256, runs.summaryOf({
      sha256: last.sha256, time, outcome: last.outcome, byCase: diagnosis.byCase, defects,
    }));
  }

  // Draws the test data checked alone: valid with its test cases, or its
  // defect in its place.
  function showTestData(last) {
    $('official-report').hidden = true;
    if (last.finding !== null) showPlace(findingAt(last.finding), null);
    if (last.valid) {
      state.parts.cases.rows = (from, to) => diagnosisViews.caseRows(last.cases, from, to);
      state.parts.cases.show(workbench.caseCount(last.cases));
      show('cases', () => state.parts.cases.redraw());
      $('cases').hidden = false;
    }
  }

  // Returns a finding of the worker's as showPlace takes it.
  function findingAt(finding) {
    return { file: finding.file, line: finding.line, lineMissing: finding.missing, check: finding.check,
             place: finding.place };
  }

  // Draws at ({ file, line, lineMissing, check, place }: a failure, or a
  // finding), and which of the findings it is ({ index, count }; null when
  // no list stands beside it), with its check explained.
  function showPlace(at, which) {
    show('place', () => drawPlace(at, which));
    const doc = checkDocs[at.check];
    $('explanation').hidden = doc === undefined;
    if (doc !== undefined) show('explanation', () => drawExplanation(at.check, doc));
  }

  // Draws the change of current (runs.summaryOf's) against the last run of
  // the same test data, and keeps current as the last; with no checksum
  // there is nothing to compare by.
  function drawComparison(sha256, current) {
    const keeper = state.keeper;
    state.sha256 = sha256;
    const previous = sha256 === null ? null : keeper.previous(sha256);
    const refused = sha256 !== null && !keeper.record(current);
    const compared = previous === null ? null : runs.compare(previous, current);
    state.parts.comparison.rows = (from, to) => diagnosisViews.comparisonRows(compared.cases, from, to, {
      number: (value) => texts.number(state.language, value),
      change: (value) => texts.change(state.language, value),
      none: t('compareNone'),
    });
    state.keepNote = refused ? 'rememberFailed' : null;
    const hasCases = compared !== null && compared.cases.length > 0;
    $('comparison-cases').hidden = !hasCases;
    if (hasCases) state.parts.comparison.show(compared.cases.length);
    show('comparison', () => {
      $('comparison-text').textContent = sha256 === null ? t('compareNoChecksum')
          : compared === null ? t('compareFirst') : comparisonText(compared, previous, current);
      if (hasCases) state.parts.comparison.redraw();
      drawKeep(state.keepNote);
    });
    $('comparison').hidden = false;
  }

  // Returns what the page says of compared (runs.compare's) of previous and
  // current.
  function comparisonText(compared, previous, current) {
    const since = t('compareSince', { time: compared.time });
    const number = (value) => texts.number(state.language, value);
    const change = (value) => texts.change(state.language, value);
    if (compared.total !== null) {
      return since + ' ' + t('compareTotal', { before: number(compared.total.before), after: number(compared.total.after),
                                               change: change(compared.total.change) });
    }
    if (compared.defects !== null) {
      return since + ' ' + t('compareDefects', { before: number(compared.defects.before),
                                                 after: number(compared.defects.after),
                                                 change: change(compared.defects.change) });
    }
    const outcome = (run) => (run.shape === 'ok' ? t('compareAccepted', { points: texts.count(state.language, 'points', run.sum) })
        : run.shape === 'failure' ? t('compareRejected', { defects: run.defects === null ? '?' : texts.count(state.language, 'defects', run.defects) })
          : t('compareBroken'));
    return since + ' ' + t('compareOutcomes', { before: outcome(previous), after: outcome(current) });
  }

  // Draws whether the last run of the shown test data is kept across
  // reloads, with the buttons that keep and forget it; note names a text
  // that says what became of it instead, if any.
  function drawKeep(note) {
    state.keepNote = note;
    const sha256 = state.sha256;
    const kept = sha256 !== null && state.keeper.previous(sha256) !== null;
    const remembered = kept && state.keeper.remembered(sha256);
    $('remember-text').textContent = t(note || (remembered ? 'remembered' : 'rememberHint'));
    $('remember').hidden = !kept || remembered;
    $('forget').hidden = !kept;
  }

  // Draws the hint that the files may be the wrong way round.
  function drawSwap(swap) {
    const keys = [];
    if (swap.testDataLooksLikeSubmission) keys.push('swapTestData');
    if (swap.submissionLooksLikeTestData) keys.push('swapSubmission');
    if (keys.length === 0) return;
    keys.push('swapQuestion');
    show('swap', () => { $('swap-text').textContent = keys.map((key) => t(key)).join(' '); });
    $('swap').hidden = false;
  }

  // Draws an OK report's scores and their sum.
  function drawScores(outcome) {
    views.drawScores($('scores-body'), outcome);
    $('scores-sum').textContent = String(outcome.sum);
    show('scores', () => {
      $('scores-more').textContent = t('scoresMore', { shown: outcome.entries.length, count: outcome.count });
    });
    $('scores-more').hidden = outcome.entries.length === outcome.count;
    $('scores').hidden = false;
  }

  // Draws the line of the file concerned by at (see showPlace), with the
  // lines around it and the block it belongs to, and which finding it is.
  function drawPlace(at, which) {
    const place = at.place;
    const file = t(at.file) + ' (' + names()[at.file] + ')';
    $('place-heading').textContent = t('placeHeading', { file, line: at.line });
    $('place-missing').textContent = t('placeMissing', { file, line: at.line });
    $('place-missing').hidden = !at.lineMissing;
    $('place-which').hidden = which === null;
    if (which !== null) {
      $('place-which').textContent = which.index === 0 ? t('placeOfficial')
          : t('placeOther', { index: which.index + 1, count: texts.number(state.language, which.count) });
    }
    const block = place.block;
    $('place-block').textContent = block === null ? '' : blockText(block);
    $('place-block').hidden = block === null;
    const first = block === null ? null : block.numberLine || block.headerLine || null;
    $('place-lines').replaceChildren(...views.placeItems(place, first, at.lineMissing, words('line')));
    const marked = at.check === kListByteNotDigit ? place.lines.find((line) => line.marked) : undefined;
    const run = marked && marked.runs.find((candidate) => candidate.marked);
    $('place-offending').hidden = !run;
    if (run) {
      const code = run.text !== undefined ? run.text.charCodeAt(0) : run.byte;
      $('place-offending').textContent = t('offending', { mark: run.text !== undefined ? run.text : visible.byteMark(code), code });
    }
    $('place').hidden = false;
  }

  // Returns what the page says of the block that the line of a failure
  // belongs to (worker.js's blockOf).
  function blockText(block) {
    if (block.kind === 'team') {
      return t('team', { race: block.race, id: block.id, number: block.numberLine.number, k: block.k, d: block.d });
    }
    if (block.kind === 'number') {
      const previous = block.previous;
      return t('numberLine') + (previous === null ? '' : ' ' + t('previousBlock', {
        id: previous.id, number: previous.number, first: previous.number + 1, last: previous.number + previous.d,
        d: previous.d,
      }));
    }
    const { id, n, d, k, m, race } = block;
    return t(block.kind === 'points' ? 'pointsLine' : 'raceLine',
             { id, n, d, k, m, race, number: block.headerLine.number });
  }

  // Draws the explanation of check, doc being its entry of check-docs.js.
  function drawExplanation(check, doc) {
    views.drawExplanation($('explanation'), doc, {
      heading: t('explanationHeading', { check }),
      source: t('explanationSource'),
      mistakes: t('explanationMistakes'),
      link: t('explanationLink'),
    });
    $('explanation').hidden = false;
  }

  // Saves the report shown as report.txt, with the bytes that the Windows
  // program writes.
  function save() {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([reports.withCrLf(state.report)], { type: 'text/plain' }));
    link.download = 'report.txt';
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 60000);
  }

  // Shows how far the worker got.
  function progress(message) {
    if (message.kind === kinds.progress) {
      const bar = $(kInputs[message.which] + '-progress');
      bar.hidden = false;
      bar.value = message.total === 0 ? 1 : message.done / message.total;
      show('status', () => {
        $('status').textContent = t('reading', {
          file: t(message.which), done: size(message.done), total: size(message.total),
        });
      });
    } else if (message.kind === kinds.evaluating) {
      $('status').classList.add('busy');
      show('status', () => { $('status').textContent = t('evaluating'); });
    }
  }

  // Evaluates the chosen files, once both are chosen and fit, each read
  // afresh. Files chosen while an evaluation is under way are evaluated once
  // it ends.
  async function evaluate() {
    if (state.asked === null) state.asked = performance.now();
    if (state.busy) {
      state.again = true;
      return;
    }
    if (!state.sources.testData) {
      state.asked = null;
      return;
    }
    setBusy(true);
    state.started = state.asked;
    state.asked = null;
    delete $('result').dataset.milliseconds;
    try {
      await evaluateOnce();
    } finally {
      for (const which of kWhich) $(kInputs[which] + '-progress').hidden = true;
      $('status').classList.remove('busy');
      setBusy(false);
      if (state.again) {
        state.again = false;
        evaluate();
      }
    }
  }

  // Reads the chosen files and evaluates them once; the test data alone
  // when no submission is chosen.
  async function evaluateOnce() {
    const files = { submission: null };
    for (const which of kWhich) {
      if (state.sources[which] === null) continue;
      try {
        files[which] = await state.sources[which].read();
      } catch (error) {
        return unreadable(which);
      }
    }
    // Taken before the files are read: a browser that learns of a change
    // only later then sees another time than the one judged.
    const modified = { testData: files.testData.lastModified, submission: files.submission && files.submission.lastModified };
    const problem = inputs.problemOf(files.testData, files.submission);
    const last = problem === null ? await state.host.evaluate(files.testData, files.submission, progress) : null;
    if (state.again) return null; // the files changed meanwhile: this outcome is stale
    if (last !== null && last.kind === kinds.unreadable) return unreadable(last.which);
    await recordChecked(files, modified, last === null ? {} : last.judged);
    if (problem !== null) return showProblem(problem.problem, state.sources[problem.which].name);
    const done = files.submission === null ? kinds.testDataChecked : kinds.result;
    if (last.kind !== done && last.kind !== kinds.aborted) return showProblem(last.kind, state.sources[last.which].name);
    clearOutcome();
    return showResult(last);
  }

  // Records the stamps of files just checked (Files by which, submission
  // null for the test data alone), as they were judged (judged: the host's,
  // by which; modified: each file's lastModified before it was read), or,
  // for a file not read to its end, as it looks now.
  async function recordChecked(files, modified, judged) {
    state.judged = judged;
    for (const which of kWhich) {
      const done = judged[which];
      state.checked[which] = files[which] === null ? null
          : done ? follow.stampOf(modified[which], done.size, done.lastByte)
            : await follow.lookAt(files[which]).catch(() => null);
    }
    state.follower.ran(kWhich.map((which) => state.checked[which]).join('|'));
  }

  // Takes a file of which that could not be read: a copy the browser no
  // longer reads is chosen again; a file with a handle that is being
  // followed is changing, and is checked once it settles.
  function unreadable(which) {
    const source = state.sources[which];
    if (source.kind === 'file') return chooseAgain(which);
    if (!state.following) return showProblem('unreadable', source.name);
    state.follower.forget();
    markStale(which);
    show('status', () => { $('status').textContent = t('changing', { name: source.name }); });
  }

  // Notes that the report shown is of an earlier version of the file of
  // which; key names the note (default: what following does next).
  function markStale(which, key = state.following ? 'staleFollowing' : 'stale') {
    if ($('result').hidden) return;
    const name = state.sources[which].name;
    const judged = state.judged[which];
    const time = judged ? clockTime(new Date(judged.at)) : '';
    show('stale', () => {
      $('stale').textContent = t(key, { name, time });
    });
    $('stale').hidden = false;
    $('verdict').dataset.stale = 'true';
  }

  // Looks at the chosen files once, each by one byte at most: a file chosen
  // without a handle that is not as it was judged marks the verdict shown
  // as its previous version's and is asked for again; files with handles
  // that changed mark it stale, and are checked again once they settle,
  // when followed.
  async function poll() {
    if (state.busy || state.polling || !state.sources.testData || !state.sources.submission) return;
    state.polling = true;
    try {
      const stamps = [];
      let changed = null;
      for (const which of kWhich) {
        const source = state.sources[which];
        if (source === null) return null; // taken away meanwhile
        let stamp = null;
        try {
          stamp = await source.look();
        } catch (error) {
          // Unreadable now: changed, or being written.
        }
        if (state.busy || state.sources[which] !== source) return null;
        if (stamp === null || stamp !== state.checked[which]) {
          if (source.kind === 'file') return chooseAgain(which);
          changed = changed || which;
        }
        stamps.push(stamp);
      }
      const decision = state.follower.poll(stamps.includes(null) ? null : stamps.join('|'));
      if (decision === 'same') return null;
      markStale(changed);
      if (!state.following) return null;
      if (decision === 'settled') return evaluate();
      show('status', () => { $('status').textContent = t('changing', { name: state.sources[changed].name }); });
    } finally {
      state.polling = false;
    }
    return null;
  }

  // Marks the page busy (an evaluation under way) or not.
  function setBusy(busy) {
    state.busy = busy;
    document.body.dataset.busy = String(busy);
    $('result').setAttribute('aria-busy', String(busy));
    drawChoice();
  }

  // Takes source as the file of which, and evaluates.
  function choose(which, source) {
    state.sources[which] = source;
    drawChoice();
    evaluate();
  }

  // Puts file into the input of which, as if chosen there (so that the
  // chooser names it).
  function display(which, file) {
    const transfer = new DataTransfer();
    if (file) transfer.items.add(file);
    $(kInputs[which]).files = transfer.files;
  }

  // Chooses the file of which with the browser's picker, which gives a
  // handle. Where the picker fails for another reason than being cancelled,
  // the page goes on without handles.
  async function pick(which) {
    let handle;
    try {
      [handle] = await window.showOpenFilePicker({ id: 'zobnikari-' + which });
    } catch (error) {
      if (error.name === 'AbortError') return;
      setHandles(false);
      try {
        $(kInputs[which]).showPicker();
      } catch (ignored) {
        // Without the user's gesture, the chooser stays closed; it opens on
        // the next click.
      }
      return;
    }
    const source = follow.handleSource(handle);
    try {
      display(which, await source.read());
    } catch (error) {
      return showProblem('unreadable', handle.name);
    }
    choose(which, source);
  }

  // Returns true when file begins with the test data's first line.
  async function startsAsTestData(file) {
    const start = new Uint8Array(await file.slice(0, 11).arrayBuffer());
    return /^Zobnikari\r?\n/.test(String.fromCharCode(...start));
  }

  // Takes files dropped on the page, with their handles where the browser
  // gives them: on a chooser, that chooser's; elsewhere one file fills the
  // first empty chooser, and of two the one that begins as test data is the
  // test data.
  async function drop(event) {
    event.preventDefault();
    $('choose').classList.remove('dragging');
    // Everything the drop carries must be taken now: it is gone after the event.
    const items = Array.from(event.dataTransfer.items || []).filter((item) => item.kind === 'file');
    const entries = items.map((item) => (item.webkitGetAsEntry ? item.webkitGetAsEntry() : null));
    const files = items.map((item) => item.getAsFile());
    const handles = items.map((item) => (state.handles && item.getAsFileSystemHandle
      ? item.getAsFileSystemHandle().catch(() => null) : Promise.resolve(null)));
    const target = event.target.closest('.chooser');
    const folder = entries.find((entry) => entry && entry.isDirectory);
    if (folder) return showProblem('folder', folder.name);
    if (files.length === 0) return null;
    if (files.length > 2) return showProblem('tooManyFiles', '');
    const sources = (await Promise.all(handles)).map((handle, index) =>
      (handle && handle.kind === 'file' ? follow.handleSource(handle) : follow.fileSource(files[index])));
    if (files.length === 1) {
      const which = target ? (target.id === 'test-data-box' ? 'testData' : 'submission')
          : (state.sources.testData === null ? 'testData' : 'submission');
      display(which, files[0]);
      return choose(which, sources[0]);
    }
    const firstIsTestData = await startsAsTestData(files[0]) || !(await startsAsTestData(files[1]));
    const order = firstIsTestData ? [0, 1] : [1, 0];
    kWhich.forEach((which, index) => {
      display(which, files[order[index]]);
      state.sources[which] = sources[order[index]];
    });
    drawChoice();
    return evaluate();
  }

  // Swaps the two chosen files, and evaluates.
  function swapFiles() {
    const shown = kWhich.map((which) => $(kInputs[which]).files[0]);
    const { testData, submission } = state.sources;
    state.sources = { testData: submission, submission: testData };
    display('testData', shown[1]);
    display('submission', shown[0]);
    evaluate();
  }

  // Says whether the page chooses files with handles, and shows the choice
  // of following them where it does.
  function setHandles(handles) {
    state.handles = handles;
    $('follow-box').hidden = !handles;
    state.following = handles && $('follow').checked;
  }

  // Returns the bytes of base64 text.
  function fromBase64(text) {
    const binary = atob(text);
    const bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
    return bytes;
  }

  // Makes the workbench's parts over their elements.
  function makeParts() {
    const findings = new workbench.Findings(
        { section: $('findings'), summary: $('findings-summary'), nav: $('findings-nav'), list: $('findings-list') },
        partWords(), (finding, index, count) => showPlace(findingAt(finding), { index, count }));
    const blocks = new workbench.Blocks({
      section: $('blocks'), nav: $('blocks-nav'), body: $('blocks-body'),
      chart: {
        section: $('chart'), heading: $('chart-heading'), summary: $('chart-summary'), limit: $('chart-limit'),
        figure: $('chart-figure'), nav: $('races-nav'), body: $('races-body'), caption: $('races-caption'),
      },
    }, partWords(), (block) => findings.firstOf(block), (index) => findings.select(index, true));
    state.parts = {
      findings,
      blocks,
      comparison: new workbench.PagedTable({ nav: $('comparison-nav'), body: $('comparison-body') }, partWords(), () => []),
      cases: new workbench.PagedTable({ nav: $('cases-nav'), body: $('cases-body') }, partWords(), () => []),
    };
    $('remember').addEventListener('click', () => {
      drawKeep(state.keeper.remember(state.sha256) ? null : 'rememberFailed');
    });
    $('forget').addEventListener('click', () => {
      state.keeper.forget(state.sha256);
      drawKeep('forgotten');
    });
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
    makeParts();
    setHandles(typeof window.showOpenFilePicker === 'function');
    for (const which of kWhich) {
      const input = $(kInputs[which]);
      // Where the browser has handles, its picker takes the input's place.
      input.addEventListener('click', (event) => {
        if (!state.handles) return;
        event.preventDefault();
        pick(which);
      });
      input.addEventListener('change', () => {
        const file = input.files[0];
        choose(which, file ? follow.fileSource(file) : null);
      });
    }
    $('again').addEventListener('click', evaluate);
    $('save').addEventListener('click', save);
    $('swap-button').addEventListener('click', swapFiles);
    $('follow').addEventListener('change', () => {
      state.following = state.handles && $('follow').checked;
      for (const draw of Object.values(state.views)) draw();
    });
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
    setInterval(poll, kPollMilliseconds);
    // A hidden page is polled more rarely by the browser: look again at once
    // when it is shown.
    document.addEventListener('visibilitychange', () => {
      if (!document.hidden) poll();
    });
    setBusy(false);
    applyTexts();
  }

  start();
})();
