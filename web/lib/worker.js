// The evaluation as the page's worker runs it, away from the page so that the
// page never freezes: looks at the start of both chosen files, reads them
// into the evaluator's memory (telling how far it got), sums the test data
// (SHA-256, the browser's Web Crypto), evaluates, and prepares everything the
// page draws: what the report says, the report cut to what can be shown, and
// the lines around the line of a failure with the block it belongs to.
(function (root, factory) {
  if (typeof module === 'object' && module.exports) {
    module.exports = factory(require('./evaluator-client.js'), require('./lines.js'),
                             require('./inputs.js'), require('./visible.js'), require('./report.js'),
                             require('./blocks.js'), require('./messages.js'));
  } else {
    root.ZobnikariWorker = factory(root.ZobnikariEvaluatorClient, root.ZobnikariLines,
                                   root.ZobnikariInputs, root.ZobnikariVisible, root.ZobnikariReport,
                                   root.ZobnikariBlocks, root.ZobnikariMessages);
  }
})(this, function (client, lines, inputs, visible, report, blocks, messages) {
  'use strict';

  const kinds = messages.kKinds;
  // At most this many bytes read between two progress messages.
  const kProgressStep = 1 << 21;
  // The most bytes of one line drawn: of a line around a failure, and of a
  // line of the report.
  const kContextBytes = 300;
  const kReportLineBytes = 1000;
  const kListByteNotDigit = 55;
  const kTaskName = 'Zobnikari';

  // A file could not be read to its end (a folder, a file removed or changed
  // since it was chosen or while it was read).
  class Unreadable extends Error {}

  // Returns the value of promise, or throws Unreadable when the read fails.
  async function reading(promise) {
    try {
      return await promise;
    } catch (error) {
      throw new Unreadable(String(error));
    }
  }

  // Returns the first kSniffBytes of file (a Blob), or all of it if shorter.
  async function readStart(file) {
    return new Uint8Array(await reading(file.slice(0, inputs.kSniffBytes).arrayBuffer()));
  }

  // Returns the bytes of file (a Blob) held in evaluator's memory, calling
  // progress(bytesRead, size) as they come. Throws client.OutOfMemory when
  // they do not fit, Unreadable when the file cannot be read whole.
  async function readInto(evaluator, file, progress) {
    const held = evaluator.hold(file.size);
    try {
      let offset = 0;
      let told = 0;
      const reader = await reading(Promise.resolve().then(() => file.stream().getReader()));
      for (;;) {
        const step = await reading(reader.read());
        if (step.done) break;
        if (offset + step.value.length > held.size) throw new Unreadable('the file grew while read');
        held.set(step.value, offset);
        offset += step.value.length;
        if (offset - told >= kProgressStep) {
          told = offset;
          progress(offset, held.size);
        }
      }
      if (offset !== held.size) throw new Unreadable('the file shrank while read');
      progress(offset, held.size);
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

  // Returns the place of a failure as the page shows it: { lines (around the
  // line concerned, each { number, marked, runs, length, before, after } as
  // visible.visibleSlice draws it), lineCount, block (see blockOf) }.
  // bytes holds each file's bytes by name; at is the evaluator's result.
  function placeOf(bytes, at, check) {
    const fileBytes = bytes[at.file];
    const around = lines.linesAround(fileBytes, at.line);
    const shown = around.lines.map((line) => {
      const marked = line.number === at.line;
      let mark = -1;
      if (marked && check === kListByteNotDigit) mark = firstNonDigit(fileBytes, line.start, line.end);
      return Object.assign({ number: line.number, marked },
                           visible.visibleSlice(fileBytes, line.start, line.end, { maxBytes: kContextBytes, mark }));
    });
    return { lines: shown, lineCount: around.lineCount, block: blockOf(bytes, at) };
  }

  // Returns the block that the line of a failure belongs to, with its first
  // line drawn: in the submission { kind: 'team', id, k, d, race,
  // numberLine } or { kind: 'number', previous: { id, d, number } | null };
  // in the test data { kind: 'points' | 'race', id, n, d, k, m, race,
  // headerLine }; else null.
  function blockOf(bytes, at) {
    const drawn = (fileBytes, line) => Object.assign({ number: line.number },
        visible.visibleSlice(fileBytes, line.start, line.end, { maxBytes: kContextBytes }));
    if (at.file === 'submission') {
      const place = blocks.placeInSubmission(bytes.testData, bytes.submission, at.line);
      if (place === null || place.kind === 'header') return null;
      if (place.kind === 'number') {
        const previous = place.previous;
        return { kind: 'number', previous: previous && { id: previous.id, d: previous.d, number: previous.numberLine.number } };
      }
      return { kind: 'team', id: place.id, k: place.k, d: place.d, race: place.race,
               numberLine: drawn(bytes.submission, place.numberLine) };
    }
    const place = blocks.placeInTestData(bytes.testData, at.line);
    if (place === null) return null;
    const { id, n, d, k, m } = place.block;
    return { kind: place.kind, id, n, d, k, m, race: place.race || null,
             headerLine: drawn(bytes.testData, place.block.headerLine) };
  }

  // Runs one request ({ testData, submission }: Blobs with a name) on
  // evaluator, telling the page through post(message) and returning the last
  // message. Messages (kinds of messages.js): progress { which ('testData' |
  // 'submission'), done, total } and evaluating; the last one is result {
  // report (Uint8Array), outcome (report.outcomeOf), reportView
  // (visible.visibleLines of the report), file, line, lineMissing (where the
  // evaluation stood), place (placeOf, or null with an OK report), swap
  // (swapHints), sha256 (of the test data, or null), memoryBytes }, or
  // tooLarge | unreadable | binary { which }. A module that aborts throws:
  // the worker is done.
  async function evaluateFiles(evaluator, request, post) {
    const held = {};
    const starts = {};
    try {
      for (const which of ['testData', 'submission']) {
        try {
          starts[which] = await readStart(request[which]);
        } catch (error) {
          if (error instanceof Unreadable) return post({ kind: kinds.unreadable, which });
          throw error;
        }
        if (inputs.looksBinary(starts[which])) return post({ kind: kinds.binary, which });
      }
      let checksum = null;
      for (const which of ['testData', 'submission']) {
        try {
          held[which] = await readInto(evaluator, request[which], (done, total) => {
            post({ kind: kinds.progress, which, done, total });
          });
        } catch (error) {
          if (error instanceof client.OutOfMemory) return post({ kind: kinds.tooLarge, which });
          if (error instanceof Unreadable) return post({ kind: kinds.unreadable, which });
          throw error;
        }
        if (which === 'testData') checksum = sha256(held.testData.view());
      }
      post({ kind: kinds.evaluating });
      const result = evaluator.evaluate(held.testData, held.submission);
      const outcome = report.outcomeOf(result.report);
      const bytes = { testData: held.testData.view(), submission: held.submission.view() };
      return post(Object.assign({ kind: kinds.result }, result, {
        outcome,
        reportView: visible.visibleLines(result.report, { maxBytes: kReportLineBytes }),
        place: result.file === 'none' ? null : placeOf(bytes, result, outcome.check),
        swap: swapHints(starts),
        sha256: await checksum,
      }));
    } finally {
      for (const bytes of Object.values(held)) bytes.release();
    }
  }

  // Answers the page's messages in a worker: start { variant, wasm } makes
  // the evaluator from the bytes of that variant's module, whose factory is
  // factories[variant]; then each evaluate { id, testData, submission } is
  // answered by evaluateFiles's messages, each carrying id; a module that
  // aborts is answered aborted { id, message }.
  function serve(scope, factories) {
    let ready = null;
    scope.onmessage = async (event) => {
      const message = event.data;
      if (message.kind === kinds.start) {
        ready = client.createEvaluator(factories[message.variant], message.wasm);
        return;
      }
      const post = (answer) => {
        // The report is handed over, not copied: it may quote a huge line.
        const transfer = answer.report ? [answer.report.buffer] : [];
        scope.postMessage(Object.assign({ id: message.id }, answer), transfer);
        return answer;
      };
      try {
        await evaluateFiles(await ready, message, post);
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
