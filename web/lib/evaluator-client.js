// The evaluator's WebAssembly module as JavaScript calls it: bytes go into the
// module's memory and the report comes back as bytes, each as an address and a
// length, so that no byte is decoded or cut at a NUL on the way; the
// diagnosis comes back as records of 32-bit numbers, read by offsets. The
// page's worker and the tests under Node.js use this file alike.
(function (root, factory) {
  if (typeof module === 'object' && module.exports) module.exports = factory(require('./messages.js'));
  else root.ZobnikariEvaluatorClient = factory(root.ZobnikariMessages);
})(this, function (messages) {
  'use strict';

  // The module's memory grows in pages of 64 KiB.
  const kPageBytes = 65536;
  // Where the module's result record keeps its fields, in the order of its
  // declaration (evaluator_web.cc; the tests hold them to its layout).
  const kResult = { report: 0, reportSize: 4, file: 8, line: 12, lineMissing: 16, memoryPages: 20 };
  const kResultSize = 24;
  const kFiles = ['none', 'testData', 'submission'];
  // The diagnosis's records (evaluator_web.cc), by byte offset in the order
  // of their declarations, with their sizes. A block and a test case are
  // handed on as the module's words, whose fields messages.js names.
  const kDiagnosis = {
    result: 0, withSubmission: 24, incomplete: 28, testDataValid: 32, findings: 36, findingCount: 40,
    moreFindings: 44, blocks: 48, blockCount: 52, races: 56, raceCount: 60, cases: 64, caseCount: 68,
  };
  const kFinding = { file: 0, line: 4, missing: 8, check: 12, message: 16, messageSize: 20 };
  const kRaces = { points: 0, newcomers: 4, count: 8 };
  const kRecordSizes = { diagnosis: 72, finding: 24, block: 4 * messages.kBlockWords, races: 12,
                         case: 4 * messages.kCaseWords };

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
      return this.resultAt(m._zobnikari_evaluate(testData.address, testData.size,
                                                 submission.address, submission.size) >>> 0);
    }

    // Returns the result record at address, as evaluate describes it.
    resultAt(result) {
      const m = this.module;
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

    // Diagnoses the held test data against the held submission (null: the
    // test data alone). Returns what evaluate returns (the report, always the
    // evaluation's, and its place), and { withSubmission, incomplete (memory
    // ran out: the lists are empty), testDataValid, findings ([{ file, line,
    // missing, check, message (a Uint8Array view into the module's memory,
    // valid until the module next runs or its memory grows) }], the first
    // being the report's failure), moreFindings (found after the listed ones),
    // blocks (an Int32Array copy, a block in messages.kBlockWords words:
    // line, id, score, ceiling, defects, accepted, races, the last the
    // offset of its races in races' arrays or -1: messages.kBlockFields),
    // races ({ points: an Int32Array, newcomers: a Uint16Array }, the races
    // of each block with races one after another), cases (an Int32Array
    // copy, a test case in messages.kCaseFields) }. A module that aborts
    // throws.
    diagnose(testData, submission) {
      const m = this.module;
      const at = m._zobnikari_diagnose(testData.address, testData.size, submission ? submission.address : 0,
                                       submission ? submission.size : 0, submission ? 1 : 0) >>> 0;
      const view = new DataView(m.HEAPU8.buffer);
      const word = (address) => view.getUint32(address, true);
      const findings = [];
      for (let i = 0; i < word(at + kDiagnosis.findingCount); ++i) {
        const finding = word(at + kDiagnosis.findings) + i * kRecordSizes.finding;
        const message = word(finding + kFinding.message);
        findings.push({
          file: kFiles[word(finding + kFinding.file)],
          line: word(finding + kFinding.line),
          missing: word(finding + kFinding.missing) === 1,
          check: word(finding + kFinding.check),
          message: m.HEAPU8.subarray(message, message + word(finding + kFinding.messageSize)),
        });
      }
      const blockCount = word(at + kDiagnosis.blockCount);
      const blocks = new Int32Array(m.HEAPU8.buffer.slice(word(at + kDiagnosis.blocks),
                                                          word(at + kDiagnosis.blocks) + blockCount * kRecordSizes.block));
      // Each block's races: its index into the module's list, made the
      // offset of its races in one array of each.
      const raceLists = [];
      let raceTotal = 0;
      for (let i = 0; i < word(at + kDiagnosis.raceCount); ++i) {
        const races = word(at + kDiagnosis.races) + i * kRecordSizes.races;
        raceLists.push({ points: word(races + kRaces.points), newcomers: word(races + kRaces.newcomers),
                         count: word(races + kRaces.count), offset: raceTotal });
        raceTotal += word(races + kRaces.count);
      }
      const races = { points: new Int32Array(raceTotal), newcomers: new Uint16Array(raceTotal) };
      for (const list of raceLists) {
        races.points.set(new Int32Array(m.HEAPU8.buffer, list.points, list.count), list.offset);
        races.newcomers.set(new Uint16Array(m.HEAPU8.buffer, list.newcomers, list.count), list.offset);
      }
      for (let i = messages.kBlockFields.races; i < blocks.length; i += messages.kBlockWords) {
        if (blocks[i] >= 0) blocks[i] = raceLists[blocks[i]].offset;
      }
      const cases = word(at + kDiagnosis.cases);
      return Object.assign(this.resultAt(at + kDiagnosis.result), {
        withSubmission: word(at + kDiagnosis.withSubmission) === 1,
        incomplete: word(at + kDiagnosis.incomplete) === 1,
        testDataValid: word(at + kDiagnosis.testDataValid) === 1,
        findings,
        moreFindings: word(at + kDiagnosis.moreFindings),
        blocks,
        races,
        cases: new Int32Array(m.HEAPU8.buffer.slice(cases, cases + word(at + kDiagnosis.caseCount) * kRecordSizes.case)),
      });
    }

    // Returns the layout of the module's result record as the module states
    // it: { size, offsets: [the offset of each field, in kResult's order] }.
    resultLayout() {
      return this.layouts(this.module._zobnikari_result_layout() >>> 0, 1)[0];
    }

    // Returns the layouts of the diagnosis's records as the module states
    // them: [{ size, offsets }] of the diagnosis, a finding, a block, a
    // block's races and a test case.
    diagnosisLayout() {
      return this.layouts(this.module._zobnikari_diagnosis_layout() >>> 0, 5);
    }

    // Returns count layouts read from address: each its number of fields,
    // its size, then its fields' offsets.
    layouts(address, count) {
      const words = new Uint32Array(this.module.HEAPU8.buffer);
      const layouts = [];
      let at = address / 4;
      for (let i = 0; i < count; ++i) {
        const fields = words[at];
        layouts.push({ size: words[at + 1], offsets: Array.from(words.subarray(at + 2, at + 2 + fields)) });
        at += 2 + fields;
      }
      return layouts;
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

  return { createEvaluator, OutOfMemory, kResult, kResultSize, kDiagnosis, kFinding, kRaces, kRecordSizes };
});
