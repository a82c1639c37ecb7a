// Writes evaluator-bundle.js, the one script through which the page gets its
// worker: the worker's code (the modules' loaders, then the files of lib/
// that the worker runs) as text, the bytes of both modules (with WebAssembly
// SIMD, and portable) in base64, and the version and commit of the evaluator.
// A page opened from disk can neither fetch these files nor start a worker
// from a file, so they travel inside a script.
//
//   node bundle.js <output> <version> <commit> <evaluator.wasm>
//     <evaluator-portable.wasm> <evaluator.js> <evaluator-portable.js> <lib file>...
'use strict';

const fs = require('fs');

// Returns the bundle's text for the given parts: wasm holds each module's
// bytes by the name of its variant.
function bundleText(version, commit, wasm, sources) {
  const workerSource = sources.map((source) => source.text + '\n').join('');
  return '// The evaluator\'s worker and module for the page (made by tools/bundle.js from\n' +
      '// ' + sources.map((source) => source.name).join(', ') + '\n' +
      '// and the modules\' bytes).\n' +
      'var ZobnikariBundle = {\n' +
      '  version: ' + JSON.stringify(version) + ',\n' +
      '  commit: ' + JSON.stringify(commit) + ',\n' +
      '  wasm: {\n' +
      Object.entries(wasm).map(([variant, bytes]) =>
        '    ' + variant + ': ' + JSON.stringify(bytes.toString('base64')) + ',\n').join('') +
      '  },\n' +
      '  workerSource: ' + JSON.stringify(workerSource) + ',\n' +
      '};\n';
}

// Writes the bundle from the command line's arguments. Returns the exit
// status.
function main(argv) {
  const [output, version, commit, simdPath, portablePath, ...sourcePaths] = argv;
  if (sourcePaths.length === 0) {
    console.error('usage: node bundle.js <output> <version> <commit> <evaluator.wasm> ' +
                  '<evaluator-portable.wasm> <source>...');
    return 1;
  }
  const sources = sourcePaths.map((path) => ({
    name: path.split('/').pop(),
    text: fs.readFileSync(path, 'utf8'),
  }));
  const wasm = { simd: fs.readFileSync(simdPath), portable: fs.readFileSync(portablePath) };
  fs.writeFileSync(output, bundleText(version, commit, wasm, sources));
  return 0;
}

process.exitCode = main(process.argv.slice(2));
