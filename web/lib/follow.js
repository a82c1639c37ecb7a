// The chosen files as the page reads them at every check, and the rule that
// decides when files followed on disk are checked again. A file chosen with
// a handle (File System Access: the picker, or a dropped file) is read
// afresh each time; a file chosen without one is the browser's copy of the
// moment it was chosen, which Chromium refuses to read once the file on disk
// has changed.
(function (root, factory) {
  if (typeof module === 'object' && module.exports) module.exports = factory();
  else root.ZobnikariFollow = factory();
})(this, function () {
  'use strict';

  // Returns a source that reads the file of handle (a FileSystemFileHandle)
  // afresh at every read(): { kind: 'handle', name, read() (a promise of a
  // File, rejected while the file cannot be read: being written, or gone) }.
  function handleSource(handle) {
    return { kind: 'handle', name: handle.name, read: () => handle.getFile() };
  }

  // Returns a source of file (a File chosen without a handle): { kind:
  // 'file', name, read() (a promise of file, after reading its first byte:
  // rejected when the browser no longer reads it, as Chromium does once the
  // file on disk has changed) }.
  function fileSource(file) {
    return {
      kind: 'file',
      name: file.name,
      read: () => file.slice(0, 1).arrayBuffer().then(() => file),
    };
  }

  // Returns what tells one version of files (Files, or anything with size
  // and lastModified) from another.
  function stampOf(files) {
    return files.map((file) => file.lastModified + ':' + file.size).join('|');
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

  return { handleSource, fileSource, stampOf, Follower };
});
