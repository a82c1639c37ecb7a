// The evaluation as the page's worker runs it, away from the page so that the
// page never freezes: looks at the start of both chosen files, reads them
// into the evaluator's memory (telling how far it got), sums the test data
// (SHA-256, the browser's Web Crypto), diagnoses them (the official report,
// and every defect and answer block beside it), and prepares everything the
// page draws: what the report says, the report cut to what can be shown, and
// each finding with the lines around its line and the block it belongs to.
// The test data alone is diagnosed alone.
(function (root, factory) {
  if (typeof module === 'object' && module.exports) {
    module.exports = factory(require('./evaluator-client.js'), require('./lines.js'),
                             require('./inputs.js'), require('./visible.js'), require('./report.js'),
                             require('./blocks.js'), require('./points.js'), require('./messages.js'));
  } else {
    root.ZobnikariWorker = factory(root.ZobnikariEvaluatorClient, root.ZobnikariLines,
                                   root.ZobnikariInputs, root.ZobnikariVisible, root.ZobnikariReport,
                                   root.ZobnikariBlocks, root.ZobnikariPoints, root.ZobnikariMessages);
  }
})(this, function (client, lines, inputs, visible, report, blocks, points, messages) {
  'use strict';

  const kinds = messages.kKinds;
  // The most bytes of a file asked of the page at once: progress is told
  // after each piece.
  const kPieceBytes = 1 << 21;
  // The most bytes of one line drawn: of a line around a failure, and of a
  // line of the report.
  const kContextBytes = 300;
  // The lines shown before and after the line of a finding.
  const kAroundLines = 3;
  const kReportLineBytes = 1000;
  const kListByteNotDigit = 55;
  const kTaskName = 'Zobnikari';

  // A file could not be read to its end (a folder, a file removed or changed
  // since it was chosen or while it was read).
  class Unreadable extends Error {}

  // Returns the next piece of source (a file as the page feeds it: { size,
  // next(length) (a promise of { bytes, done }, as feeder.js's Feeder gives
  // it) }), at most length bytes. Throws Unreadable when the read fails.
  async function nextPiece(source, length) {
    try {
      return await source.next(length);
    } catch (error) {
      throw new Unreadable(String(error));
    }
  }

  // Returns the first piece of source ({ bytes, done }): its first
  // kSniffBytes, or all of it if shorter.
  function readStart(source) {
    return nextPiece(source, inputs.kSniffBytes);
  }

  // Returns the bytes of source held in evaluator's memory: start (its
  // first piece, readStart's), then the rest as it comes, calling
  // progress(bytesRead, size) after each piece. Throws client.OutOfMemory
  // when they do not fit, Unreadable when the file cannot be read whole or
  // has another length than it had when chosen.
  async function readInto(evaluator, source, start, progress) {
    const held = evaluator.hold(source.size);
    try {
      let piece = start;
      let offset = 0;
      for (;;) {
        if (offset + piece.bytes.length > held.size) throw new Unreadable('the file grew since it was chosen');
        held.set(piece.bytes, offset);
        offset += piece.bytes.length;
        progress(offset, held.size);
        if (piece.done) break;
        piece = await nextPiece(source, kPieceBytes);
      }
      if (offset !== held.size) throw new Unreadable('the file shrank since it was chosen');
      return held;
    } catch (error) {
      held.release();
      throw error;
    }
  }

  // Returns a promise of the SHA-256 of bytes in lower-case hexadecimal, or
  // of null where the browser offers no Web Crypto (a page served over plain
  // HTTP from another machine) or cannot sum them. The bytes are copied when
  // it is called.
  function sha256(bytes) {
    const subtle = typeof crypto === 'object' && crypto ? crypto.subtle : undefined;
    if (!subtle) return Promise.resolve(null);
    return subtle.digest('SHA-256', bytes).then(
        (digest) => Array.from(new Uint8Array(digest), (byte) => byte.toString(16).padStart(2, '0')).join(''),
        () => null);
  }

  // Returns what the starts of the two files (Uint8Arrays) say of their
  // order: { testDataLooksLikeSubmission (its line 1 has 6 bytes and its
  // line 2 is the task name), submissionLooksLikeTestData (its line 1 is the
  // task name) }.
  function swapHints(starts) {
    const firstLines = (bytes) => {
      const cursor = new lines.LineCursor(bytes);
      return [cursor.next(), cursor.next()].map((line) =>
        (line === null ? null : String.fromCharCode.apply(null, bytes.subarray(line.start, line.end))));
    };
    const [dataFirst, dataSecond] = firstLines(starts.testData);
    const [submissionFirst] = firstLines(starts.submission);
    return {
      testDataLooksLikeSubmission: dataFirst !== null && dataFirst.length === 6 && dataSecond === kTaskName,
      submissionLooksLikeTestData: submissionFirst === kTaskName,
    };
  }

  // Returns the index of the first byte of bytes[start, end) that is neither
  // a digit nor a blank, or -1.
  function firstNonDigit(bytes, start, end) {
    for (let at = start; at < end; ++at) {
      const byte = bytes[at];
      if (!(byte >= 48 && byte <= 57) && !(byte === 32 || (byte >= 9 && byte <= 13))) return at;
    }
    return -1;
  }

  // Returns line of fileBytes (its { number, start, end }) drawn as the
  // page shows a line of a file.
  function drawnLine(fileBytes, line, mark = -1) {
    return Object.assign({ number: line.number },
                         visible.visibleSlice(fileBytes, line.start, line.end, { maxBytes: kContextBytes, mark }));
  }

  // Returns the place of a failure as the page shows it: { lines (around the
  // line concerned, each { number, marked, runs, length, before, after } as
  // visible.visibleSlice draws it), block (see blockOf) }. bytes holds each
  // file's bytes by name; at ({ file, line }) is where the evaluator stood.
  function placeOf(bytes, at, check) {
    const fileBytes = bytes[at.file];
    const around = lines.linesAround(fileBytes, at.line);
    const shown = around.lines.map((line) => {
      const marked = line.number === at.line;
      let mark = -1;
      if (marked && check === kListByteNotDigit) mark = firstNonDigit(fileBytes, line.start, line.end);
      return Object.assign(drawnLine(fileBytes, line, mark), { marked });
    });
    return { lines: shown, block: blockOf(bytes, at) };
  }

  // Returns the block that the line of a failure belongs to, with its first
  // line drawn: in the submission { kind: 'team', id, k, d, race,
  // numberLine } or { kind: 'number', previous: { id, d, number } | null };
  // in the test data { kind: 'points' | 'race', id, n, d, k, m, race,
  // headerLine }; else null.
  function blockOf(bytes, at) {
    if (at.file === 'submission') {
      const place = blocks.placeInSubmission(bytes.testData, bytes.submission, at.line);
      if (place === null) return null;
      const numberLine = place.kind === 'team' ? drawnLine(bytes.submission, place.numberLine) : null;
      return submissionBlock(place, numberLine);
    }
    const place = blocks.placeInTestData(bytes.testData, at.line);
    if (place === null) return null;
    const { id, n, d, k, m } = place.block;
    return { kind: place.kind, id, n, d, k, m, race: place.race || null,
             headerLine: drawnLine(bytes.testData, place.block.headerLine) };
  }

  // Returns the block of a place in the submission (blocks.js's), as blockOf
  // gives it, with numberLine, its number line drawn, for a team.
  function submissionBlock(place, numberLine) {
    if (place.kind === 'header') return null;
    if (place.kind === 'number') {
      const previous = place.previous;
      const number = previous && (typeof previous.numberLine === 'number' ? previous.numberLine : previous.numberLine.number);
      return { kind: 'number', previous: previous && { id: previous.id, d: previous.d, number } };
    }
    return { kind: 'team', id: place.id, k: place.k, d: place.d, race: place.race, numberLine };
  }

  // Returns a map of the lines of fileBytes numbered in wanted (ascending
  // line numbers), each by number to its { number, start, end }: one walk
  // over the file, as far as the last one wanted.
  function linesNumbered(fileBytes, wanted) {
    const found = new Map();
    const cursor = new lines.LineCursor(fileBytes);
    let next = 0;
    while (next < wanted.length) {
      cursor.skip(wanted[next] - cursor.number - 1);
      const line = cursor.next();
      if (line === null) break;
      found.set(line.number, line);
      while (next < wanted.length && wanted[next] <= line.number) ++next;
    }
    return found;
  }

  // Returns the findings of diagnosis (the client's) as the page lists them:
  // each { file, line, missing, check, message (visible.visibleSlice), place
  // (as placeOf gives it), block (the index of the answer block whose team
  // line it is, or -1) }. The lines around the submission's findings and
  // their blocks' number lines are found in one walk, and drawn once: the
  // places share them. REQUIRES: the module has not run since diagnosis.
  function findingsOf(bytes, diagnosis) {
    const wanted = new Set();
    const placed = diagnosis.findings.map((finding) => {
      if (finding.file !== 'submission') return null;
      for (let number = Math.max(1, finding.line - kAroundLines); number <= finding.line + kAroundLines; ++number) {
        wanted.add(number);
      }
      const place = blocks.placeAmongBlocks(diagnosis.blocks, diagnosis.cases, finding.line);
      if (place.kind === 'team') wanted.add(place.numberLine);
      return place;
    });
    const found = wanted.size === 0 ? new Map() : linesNumbered(bytes.submission, Array.from(wanted).sort((a, b) => a - b));
    const drawn = new Map();
    const draw = (number) => {
      if (!drawn.has(number)) drawn.set(number, drawnLine(bytes.submission, found.get(number)));
      return drawn.get(number);
    };
    return diagnosis.findings.map((finding, index) => {
      const message = visible.visibleSlice(finding.message, 0, finding.message.length, { maxBytes: kContextBytes });
      const shown = { file: finding.file, line: finding.line, missing: finding.missing, check: finding.check, message,
                      block: placed[index] !== null && placed[index].kind === 'team' ? placed[index].index : -1 };
      if (placed[index] === null) {
        return Object.assign(shown, { place: placeOf(bytes, finding, finding.check) });
      }
      const around = [];
      for (let number = Math.max(1, finding.line - kAroundLines); number <= finding.line + kAroundLines; ++number) {
        if (!found.has(number)) continue;
        const marked = number === finding.line;
        const line = found.get(number);
        const mark = marked && finding.check === kListByteNotDigit ? firstNonDigit(bytes.submission, line.start, line.end) : -1;
        around.push(Object.assign({}, mark >= 0 ? drawnLine(bytes.submission, line, mark) : draw(number), { marked }));
      }
      const numberLine = placed[index].kind === 'team' ? draw(placed[index].numberLine) : null;
      return Object.assign(shown, { place: { lines: around, block: submissionBlock(placed[index], numberLine) } });
    });
  }

  // Returns the ArrayBuffers of answer (a message to the page) to hand over
  // rather than copy: the report, and the diagnosis's lists.
  function buffersOf(answer) {
    const arrays = [answer.report, answer.cases];
    const diagnosis = answer.diagnosis;
    if (diagnosis) arrays.push(diagnosis.blocks, diagnosis.races.points, diagnosis.races.newcomers, diagnosis.cases);
    return arrays.filter((array) => array).map((array) => array.buffer);
  }

  // Reads the files of request (which: the names to read; each a source, as
  // nextPiece takes it) into evaluator's memory after looking at their
  // starts, summing the test data, and returns { held, starts, checksum (a
  // promise) }, or the last message (unreadable | binary | tooLarge {
  // which }) posted. Whatever it holds is put into held, for the caller to
  // release.
  async function readFiles(evaluator, request, which, held, post) {
    const starts = {};
    for (const name of which) {
      try {
        starts[name] = await readStart(request[name]);
      } catch (error) {
        if (error instanceof Unreadable) return { last: post({ kind: kinds.unreadable, which: name }) };
        throw error;
      }
      if (inputs.looksBinary(starts[name].bytes)) return { last: post({ kind: kinds.binary, which: name }) };
    }
    let checksum = null;
    for (const name of which) {
      try {
        held[name] = await readInto(evaluator, request[name], starts[name], (done, total) => {
          post({ kind: kinds.progress, which: name, done, total });
        });
      } catch (error) {
        if (error instanceof client.OutOfMemory) return { last: post({ kind: kinds.tooLarge, which: name }) };
        if (error instanceof Unreadable) return { last: post({ kind: kinds.unreadable, which: name }) };
        throw error;
      }
      if (name === 'testData') checksum = sha256(held.testData.view());
    }
    return { starts: { testData: starts.testData.bytes, submission: starts.submission && starts.submission.bytes }, checksum };
  }

  // Runs one request ({ testData, submission }: sources, as nextPiece takes
  // them; submission null for the test data alone) on evaluator, telling the page through
  // post(message) and returning the last message. Messages (kinds of
  // messages.js): progress { which ('testData' | 'submission'), done, total }
  // and evaluating; the last one is result { report (Uint8Array), outcome
  // (report.outcomeOf), reportView (visible.visibleLines of the report),
  // file, line, lineMissing (where the evaluation stood), place (placeOf, or
  // null with an OK report), swap (swapHints), sha256 (of the test data, or
  // null), memoryBytes, diagnosis { incomplete, findings (findingsOf),
  // moreFindings, blocks, races, cases (as the client gives them), byCase
  // (points.scoresByCase) } };
  // testDataChecked { valid, incomplete, cases, finding (as findingsOf gives
  // one, or null), sha256, memoryBytes }; or tooLarge | unreadable | binary
  // { which }. A module that aborts throws: the worker is done.
  async function evaluateFiles(evaluator, request, post) {
    const held = {};
    try {
      const alone = request.submission === null;
      const read = await readFiles(evaluator, request, alone ? ['testData'] : ['testData', 'submission'], held, post);
      if (read.last) return read.last;
      post({ kind: kinds.evaluating });
      const diagnosis = evaluator.diagnose(held.testData, alone ? null : held.submission);
      const bytes = { testData: held.testData.view(), submission: alone ? null : held.submission.view() };
      const findings = findingsOf(bytes, diagnosis);
      if (alone) {
        return post({
          kind: kinds.testDataChecked, valid: diagnosis.testDataValid, incomplete: diagnosis.incomplete,
          cases: diagnosis.cases, finding: findings.length > 0 ? findings[0] : null,
          sha256: await read.checksum, memoryBytes: diagnosis.memoryBytes,
        });
      }
      const outcome = report.outcomeOf(diagnosis.report);
      let place = null;
      if (findings.length > 0) place = findings[0].place;
      else if (diagnosis.file !== 'none') place = placeOf(bytes, diagnosis, outcome.check);
      return post({
        kind: kinds.result,
        report: diagnosis.report, file: diagnosis.file, line: diagnosis.line, lineMissing: diagnosis.lineMissing,
        memoryBytes: diagnosis.memoryBytes,
        outcome,
        reportView: visible.visibleLines(diagnosis.report, { maxBytes: kReportLineBytes }),
        place,
        swap: swapHints(read.starts),
        sha256: await read.checksum,
        diagnosis: {
          incomplete: diagnosis.incomplete, findings, moreFindings: diagnosis.moreFindings,
          blocks: diagnosis.blocks, races: diagnosis.races, cases: diagnosis.cases,
          byCase: points.scoresByCase(diagnosis.blocks, diagnosis.cases),
        },
      });
    } finally {
      for (const bytes of Object.values(held)) bytes.release();
    }
  }

  // Answers the page's messages in a worker: start { variant, wasm } makes
  // the evaluator from the bytes of that variant's module, whose factory is
  // factories[variant]; then each evaluate { id, testData { size },
  // submission { size } | null } is answered by evaluateFiles's messages,
  // each carrying id, its files read through the page: read { which,
  // serial, length } asks for a file's next piece, and chunk { serial, bytes,
  // done | failed } brings it. A module that aborts is answered aborted {
  // id, message }.
  function serve(scope, factories) {
    let ready = null;
    let serial = 0;
    const waiting = new Map(); // by serial: the read's { resolve, reject }
    scope.onmessage = async (event) => {
      const message = event.data;
      if (message.kind === kinds.start) {
        ready = client.createEvaluator(factories[message.variant], message.wasm);
        return;
      }
      if (message.kind === kinds.chunk) {
        const read = waiting.get(message.serial);
        waiting.delete(message.serial);
        if (read && message.failed) read.reject(new Error('the page could not read the file'));
        else if (read) read.resolve({ bytes: message.bytes, done: message.done });
        return;
      }
      const post = (answer) => {
        // The report and the lists are handed over, not copied: the report
        // may quote a huge line, and there may be a million blocks.
        scope.postMessage(Object.assign({ id: message.id }, answer), buffersOf(answer));
        return answer;
      };
      const source = (which) => ({
        size: message[which].size,
        next: (length) => new Promise((resolve, reject) => {
          waiting.set(++serial, { resolve, reject });
          scope.postMessage({ kind: kinds.read, id: message.id, serial, which, length });
        }),
      });
      const request = { testData: source('testData'), submission: message.submission && source('submission') };
      try {
        await evaluateFiles(await ready, request, post);
      } catch (error) {
        post({ kind: kinds.aborted, message: String(error) });
      }
    };
  }

  if (typeof WorkerGlobalScope !== 'undefined' && typeof ZobnikariModule === 'function') {
    /* global ZobnikariModule, ZobnikariModulePortable: the modules' loaders, before this file */
    serve(self, { simd: ZobnikariModule, portable: ZobnikariModulePortable });
  }

  return { evaluateFiles, serve };
});
