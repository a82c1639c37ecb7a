// A chosen file read on the page's own thread, piece by piece, for the
// evaluation worker to copy into the evaluator's memory. Every browser
// lets the page read the files chosen in it; not every one lets a worker
// read them (WebKit refuses a blob: worker of a page opened from disk).
// The file is read as one stream from its start, as the disk holds it now:
// a browser that reads a rewritten file without complaint (Firefox) gives
// its new length, so a file that grew or shrank since it was chosen is
// told by its length, never judged cut.
(function (root, factory) {
  if (typeof module === 'object' && module.exports) module.exports = factory();
  else root.ZobnikariFeeder = factory();
})(this, function () {
  'use strict';

  class Feeder {
    // file: a Blob (a File chosen on the page); now() gives the clock's
    // time in milliseconds (Date.now).
    constructor(file, now = Date.now) {
      this.size = file.size;
      this.file = file;
      this.now = now;
      this.reader = null; // the stream's reader, once the first piece is asked for
      this.left = null; // what the stream gave beyond the last piece (a Uint8Array)
      this.read = 0; // bytes read so far, the piece read ahead among them
      this.lastByte = -1; // the last byte read, -1 before any
      this.finishedAt = null; // when the stream ended (now()), null before
      this.ahead = null; // the piece being read ahead, a promise, or null
    }

    // Returns a promise of the next piece: { bytes (a Uint8Array of at most
    // length bytes; fewer where the piece read ahead was asked shorter, or
    // at the end), done (the file ended with it) }. The piece after it is
    // read meanwhile, as long as this one, while the caller copies this one.
    // Rejected when the browser cannot read the file (changed on disk since
    // it was chosen, in Chromium and WebKit; gone; a folder).
    // REQUIRES: length > 0; no piece asked for before the last one came.
    async next(length) {
      const piece = await (this.ahead || this.fill(length));
      this.ahead = null;
      if (!piece.done) {
        this.ahead = this.fill(length);
        // A read ahead that fails is told when its piece is asked for.
        this.ahead.catch(() => {});
      }
      return piece;
    }

    // Returns a promise of the next piece of at most length bytes, as next
    // gives it, read from the stream.
    async fill(length) {
      if (this.reader === null) this.reader = this.file.stream().getReader();
      const pieces = [];
      let held = 0;
      let done = false;
      while (held < length) {
        let piece = this.left;
        this.left = null;
        if (piece === null) {
          const step = await this.reader.read();
          if (step.done) {
            done = true;
            break;
          }
          piece = step.value;
        }
        if (held + piece.length > length) {
          this.left = piece.subarray(length - held);
          piece = piece.subarray(0, length - held);
        }
        pieces.push(piece);
        held += piece.length;
      }
      // A stream's last piece may come with its end, or alone after it.
      if (!done && this.left === null && this.read + held >= this.size) done = await this.ended();
      const bytes = joined(pieces, held);
      this.read += held;
      if (held > 0) this.lastByte = bytes[held - 1];
      if (done) this.finishedAt = this.now();
      return { bytes, done };
    }

    // Returns whether the stream has no more bytes, keeping any it gives.
    async ended() {
      const step = await this.reader.read();
      if (step.done) return true;
      this.left = step.value;
      return false;
    }

    // Stops reading the file. Safe to call at any time, more than once.
    cancel() {
      if (this.reader !== null) this.reader.cancel().catch(() => {});
      this.reader = null;
      this.left = null;
      this.ahead = null;
    }
  }

  // Returns pieces (Uint8Arrays, held bytes in all) as one Uint8Array whose
  // buffer holds exactly those bytes, so that it can be handed over whole.
  function joined(pieces, held) {
    if (pieces.length === 1 && pieces[0].byteOffset === 0 && pieces[0].buffer.byteLength === held) {
      return pieces[0];
    }
    const bytes = new Uint8Array(held);
    let at = 0;
    for (const piece of pieces) {
      bytes.set(piece, at);
      at += piece.length;
    }
    return bytes;
  }

  return { Feeder };
});
