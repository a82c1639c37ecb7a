// The chosen files as the page reads them at every check, what tells one
// version of a file from another, and the rule that decides when files
// followed on disk are checked again. A file chosen with a handle (File
// System Access: the picker, or a dropped file) is read afresh each time; a
// file chosen without one is what the browser took when it was chosen:
// Chromium and WebKit refuse to read it once the file on disk has changed,
// Firefox reads the disk's new bytes but keeps the old size and time.
(function (root, factory) {
  if (typeof module === 'object' && module.exports) module.exports = factory();
  else root.ZobnikariFollow = factory();
})(this, function () {
  'use strict';

  // Returns a source that reads the file of handle (a FileSystemFileHandle)
  // afresh at every read(): { kind: 'handle', name, read() (a promise of a
  // File, rejected while the file cannot be read: being written, or gone),
  // look() (a promise of its stamp, see lookAt) }.
  function handleSource(handle) {
    const read = () => handle.getFile();
    return { kind: 'handle', name: handle.name, read, look: () => read().then(lookAt) };
  }

  // Returns a source of file (a File chosen without a handle): { kind:
  // 'file', name, read() (a promise of file), look() (a promise of its
  // stamp, see lookAt) }.
  function fileSource(file) {
    return { kind: 'file', name: file.name, read: () => Promise.resolve(file), look: () => lookAt(file) };
  }

  // Returns a promise of the stamp of file as the disk holds it now, read
  // with at most one byte, its last: rejected when the browser cannot read
  // it. A file that shrank reads no byte there, so its stamp differs even
  // where the browser keeps the old size.
  async function lookAt(file) {
    if (file.size === 0) return stampOf(file.lastModified, 0, -1);
    const last = new Uint8Array(await file.slice(file.size - 1, file.size).arrayBuffer());
    return stampOf(file.lastModified, file.size, last.length === 1 ? last[0] : -1);
  }

  // Returns what tells one version of a file from another: when it was last
  // modified (ms), its size, and its last byte (-1 for none).
  function stampOf(lastModified, size, lastByte) {
    return lastModified + ':' + size + ':' + lastByte;
  }

  // Decides, poll by poll, when followed files are checked again: once two
  // polls in a row agree with each other and differ from the last check, so
  // that a file still being written is never judged half-written.
  class Follower {
    constructor() {
      this.checked = null; // the stamp of the files last checked
      this.seen = null; // the stamp of the last poll, null when it read nothing
    }

    // Records that the files of stamp were checked.
    ran(stamp) {
      this.checked = stamp;
      this.seen = stamp;
    }

    // Forgets the last poll: the files changed while they were read.
    forget() {
      this.seen = null;
    }

    // Takes one poll's stamp (null when a file could not be read, which means
    // it is changing) and returns 'same' (as last checked), 'changing' (not
    // as last checked, and not yet settled) or 'settled' (check it now).
    poll(stamp) {
      const previous = this.seen;
      this.seen = stamp;
      if (stamp !== null && stamp === this.checked) return 'same';
      return stamp !== null && stamp === previous ? 'settled' : 'changing';
    }
  }

  return { handleSource, fileSource, lookAt, stampOf, Follower };
});
