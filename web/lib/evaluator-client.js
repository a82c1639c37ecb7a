// The evaluator's WebAssembly module as JavaScript calls it: bytes go into the
// module's memory and the report comes back as bytes, each as an address and a
// length, so that no byte is decoded or cut at a NUL on the way. The page's
// worker and the tests under Node.js use this file alike.
(function (root, factory) {
  if (typeof module === 'object' && module.exports) module.exports = factory();
  else root.ZobnikariEvaluatorClient = factory();
})(this, function () {
  'use strict';

  // The module's memory grows in pages of 64 KiB.
  const kPageBytes = 65536;
  // Where the module's result record keeps its fields, in the order of its
  // declaration (evaluator_web.cc; the tests hold them to its layout).
  const kResult = { report: 0, reportSize: 4, file: 8, line: 12, lineMissing: 16, memoryPages: 20 };
  const kResultSize = 24;
  const kFiles = ['none', 'testData', 'submission'];

  // The module had no memory left for bytes that were to be put into it.
  class OutOfMemory extends Error {
    constructor(bytes) {
      super('no room for ' + bytes + ' bytes in the module\'s memory');
      this.name = 'OutOfMemory';
    }
  }

  // Bytes held in the module's memory, filled by the caller piece by piece.
  class HeldBytes {
    // REQUIRES: address came from the module's malloc, with room for size bytes.
    constructor(module, address, size) {
      this.module = module;
      this.address = address;
      this.size = size;
    }

    // Copies chunk (a Uint8Array) to offset. REQUIRES: offset + chunk.length <= size.
    set(chunk, offset) {
      if (offset < 0 || offset + chunk.length > this.size) throw new RangeError('outside the held bytes');
      // The memory's buffer is replaced whenever the memory grows: take the
      // module's current view at every use.
      this.module.HEAPU8.set(chunk, this.address + offset);
    }

    // Returns a view of the bytes, valid until the module's memory next grows.
    view() {
      return this.module.HEAPU8.subarray(this.address, this.address + this.size);
    }

    // Gives the bytes back to the module. They may not be used afterwards.
    release() {
      if (this.address !== 0) this.module._free(this.address);
      this.address = 0;
    }
  }

  class Evaluator {
    // REQUIRES: module is a ready instance of the ZobnikariModule factory.
    constructor(module) {
      this.module = module;
    }

    // Returns size bytes of the module's memory for the caller to fill.
    // Throws OutOfMemory when the module cannot have them.
    // REQUIRES: size is a whole number from 0 to 2^32 - 1.
    hold(size) {
      if (!Number.isInteger(size) || size < 0 || size > 0xffffffff) throw new RangeError('bad size ' + size);
      // malloc(0) may give null; one byte more costs nothing.
      const address = this.module._malloc(Math.max(size, 1)) >>> 0;
      if (address === 0) throw new OutOfMemory(size);
      return new HeldBytes(this.module, address, size);
    }

    // Returns size bytes of the module's memory holding bytes (a Uint8Array).
    // Throws OutOfMemory when the module cannot have them.
    holdCopy(bytes) {
      const held = this.hold(bytes.length);
      held.set(bytes, 0);
      return held;
    }

    // Evaluates the held test data against the held submission, as the
    // program does. Returns { report: Uint8Array (the report's bytes, a copy),
    // file: 'none' | 'testData' | 'submission' (the file being read when the
    // evaluation failed), line (the line of that file, from 1; 0 with an OK
    // report), lineMissing (the file ended before that line), memoryBytes (the
    // module's memory afterwards, which never shrinks: its peak) }.
    // A module that aborts throws (WebAssembly.RuntimeError): it cannot be
    // used again.
    evaluate(testData, submission) {
      const m = this.module;
      const result = m._zobnikari_evaluate(testData.address, testData.size,
                                           submission.address, submission.size) >>> 0;
      const view = new DataView(m.HEAPU8.buffer);
      const address = view.getUint32(result + kResult.report, true);
      const size = view.getUint32(result + kResult.reportSize, true);
      return {
        report: m.HEAPU8.slice(address, address + size),
        file: kFiles[view.getInt32(result + kResult.file, true)],
        line: view.getUint32(result + kResult.line, true),
        lineMissing: view.getInt32(result + kResult.lineMissing, true) === 1,
        memoryBytes: view.getUint32(result + kResult.memoryPages, true) * kPageBytes,
      };
    }

    // Returns the layout of the module's result record as the module states
    // it: { size, offsets: [the offset of each field, in kResult's order] }.
    resultLayout() {
      const m = this.module;
      const address = m._zobnikari_result_layout() >>> 0;
      const words = new Uint32Array(m.HEAPU8.buffer, address, 2);
      const [count, size] = words;
      return { size, offsets: Array.from(new Uint32Array(m.HEAPU8.buffer, address + 8, count)) };
    }
  }

  // Returns a promise of an Evaluator over a fresh module made by
  // createModule (the ZobnikariModule factory) from wasmBinary (the bytes of
  // evaluator.wasm). With options.maximumBytes the module's memory stays
  // within that many bytes (a whole number of 64 KiB pages, at least 16 MiB);
  // without it, within the 2 GiB that the module allows.
  async function createEvaluator(createModule, wasmBinary, options = {}) {
    const settings = {
      wasmBinary,
      // The module writes nothing in normal use; what it would write goes to
      // the console, never to the report.
      print: () => {},
      printErr: (text) => console.warn(text),
    };
    if (options.maximumBytes !== undefined) {
      settings.wasmMemory = new WebAssembly.Memory({
        initial: (16 << 20) / kPageBytes,
        maximum: options.maximumBytes / kPageBytes,
      });
    }
    return new Evaluator(await createModule(settings));
  }

  return { createEvaluator, OutOfMemory, kResult, kResultSize };
});
