// Writes evaluator-bundle.js, the one script through which the page gets its
// worker: the worker's code (the module's loader, then the files of lib/ that
// the worker runs) as text, the module's bytes in base64, and the version and
// commit of the evaluator. A page opened from disk can neither fetch these
// files nor start a worker from a file, so they travel inside a script.
//
//   node bundle.js <output> <version> <commit> <evaluator.wasm> <evaluator.js> <lib file>...
'use strict';

const fs = require('fs');

// Returns the bundle's text for the given parts.
function bundleText(version, commit, wasm, sources) {
  const workerSource = sources.map((source) => source.text + '\n').join('');
  return '// The evaluator\'s worker and module for the page (made by tools/bundle.js from\n' +
      '// ' + sources.map((source) => source.name).join(', ') + '\n' +
      '// and evaluator.wasm).\n' +
      'var ZobnikariBundle = {\n' +
      '  version: ' + JSON.stringify(version) + ',\n' +
      '  commit: ' + JSON.stringify(commit) + ',\n' +
      '  wasm: ' + JSON.stringify(wasm.toString('base64')) + ',\n' +
      '  workerSource: ' + JSON.stringify(workerSource) + ',\n' +
      '};\n';
}

function main(argv) {
  const [output, version, commit, wasmPath, ...sourcePaths] = argv;
  if (sourcePaths.length === 0) {
    console.error('usage: node bundle.js <output> <version> <commit> <evaluator.wasm> <source>...');
    return 1;
  }
  const sources = sourcePaths.map((path) => ({
    name: path.split('/').pop(),
    text: fs.readFileSync(path, 'utf8'),
  }));
  fs.writeFileSync(output, bundleText(version, commit, fs.readFileSync(wasmPath), sources));
  return 0;
}

process.exitCode = main(process.argv.slice(2));
