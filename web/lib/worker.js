// The evaluation as the page's worker runs it, away from the page so that the
// page never freezes: reads both chosen files into the evaluator's memory,
// telling how far it got, sums the test data (SHA-256), evaluates, and takes
// the lines around the line that a failure concerns.
(function (root, factory) {
  if (typeof module === 'object' && module.exports) {
    module.exports = factory(require('./evaluator-client.js'), require('./lines.js'),
                             require('./inputs.js'));
  } else {
    root.ZobnikariWorker = factory(root.ZobnikariEvaluatorClient, root.ZobnikariLines,
                                   root.ZobnikariInputs);
  }
})(this, function (client, lines, inputs) {
  'use strict';

  // At most this many bytes read between two progress messages.
  const kProgressStep = 1 << 21;

  // A file could not be read to its end (a folder, a file removed or changed
  // while it was read).
  class Unreadable extends Error {}

  // Returns the bytes of file (a Blob) held in evaluator's memory, calling
  // progress(bytesRead, size) as they come. Throws client.OutOfMemory when
  // they do not fit, Unreadable when the file cannot be read whole.
  async function readInto(evaluator, file, progress) {
    const held = evaluator.hold(file.size);
    try {
      let offset = 0;
      let told = 0;
      let reader;
      try {
        reader = file.stream().getReader();
      } catch (error) {
        throw new Unreadable(String(error));
      }
      for (;;) {
        let step;
        try {
          step = await reader.read();
        } catch (error) {
          throw new Unreadable(String(error));
        }
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

  // Runs one request ({ testData, submission }: Blobs with a name) on
  // evaluator, telling the page through post(message) and returning the last
  // message. Messages: { kind: 'progress', which ('testData' | 'submission'),
  // done, total }, { kind: 'checksum', sha256 }, { kind: 'evaluating' }; the
  // last one is { kind: 'result', report (Uint8Array), file, line,
  // lineMissing, context (linesAround's result, or null), memoryBytes,
  // milliseconds: { read, evaluate } }, or { kind: 'tooLarge' | 'unreadable'
  // | 'binary', which }. A module that aborts throws: the worker is done.
  async function evaluateFiles(evaluator, request, post) {
    const held = {};
    const started = performance.now();
    try {
      for (const which of ['testData', 'submission']) {
        try {
          held[which] = await readInto(evaluator, request[which], (done, total) => {
            post({ kind: 'progress', which, done, total });
          });
        } catch (error) {
          if (error instanceof client.OutOfMemory) return post({ kind: 'tooLarge', which });
          if (error instanceof Unreadable) return post({ kind: 'unreadable', which });
          throw error;
        }
        if (inputs.looksBinary(held[which].view().subarray(0, inputs.kSniffBytes))) {
          return post({ kind: 'binary', which });
        }
        if (which === 'testData') post({ kind: 'checksum', sha256: evaluator.sha256(held.testData) });
      }
      post({ kind: 'evaluating' });
      const read = performance.now();
      const result = evaluator.evaluate(held.testData, held.submission);
      const evaluated = performance.now();
      const context = result.file === 'none'
          ? null : lines.linesAround(held[result.file].view(), result.line);
      return post(Object.assign({ kind: 'result', context }, result, {
        milliseconds: { read: read - started, evaluate: evaluated - read },
      }));
    } finally {
      for (const bytes of Object.values(held)) bytes.release();
    }
  }

  // Answers the page's messages in a worker: { kind: 'start', variant, wasm }
  // makes the evaluator from the bytes of that variant's module, whose factory
  // is factories[variant]; then each { kind: 'evaluate', id, testData,
  // submission } is answered by evaluateFiles's messages, each carrying id; a
  // module that aborts is answered { kind: 'aborted', id, message }.
  function serve(scope, factories) {
    let ready = null;
    scope.onmessage = async (event) => {
      const message = event.data;
      if (message.kind === 'start') {
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
        post({ kind: 'aborted', message: String(error) });
      }
    };
  }

  if (typeof WorkerGlobalScope !== 'undefined' && typeof ZobnikariModule === 'function') {
    /* global ZobnikariModule, ZobnikariModulePortable: the modules' loaders, before this file */
    serve(self, { simd: ZobnikariModule, portable: ZobnikariModulePortable });
  }

  return { evaluateFiles, serve };
});
