// Serves the files inside a folder, and nothing else, from 127.0.0.1 on a
// free port, for a page to be opened over http as from a web server.
'use strict';

const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');

const kTypes = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm' };

// Returns the path of the file inside root (a real path) that requestUrl names, or null for none.
function fileToServe(root, requestUrl) {
  try {
    const file = fs.realpathSync(path.join(root, decodeURIComponent(new URL(requestUrl, 'http://x').pathname)));
    return file.startsWith(root + path.sep) && fs.statSync(file).isFile() ? file : null;
  } catch (error) {
    return null; // none, or a name that does not decode
  }
}

// Serves the files inside folder from 127.0.0.1; resolves to { url of index.html, close() }.
function serveFolder(folder) {
  const root = fs.realpathSync(folder);
  const server = http.createServer((request, response) => {
    const file = request.method === 'GET' ? fileToServe(root, request.url) : null;
    if (file === null) return response.writeHead(404).end();
    response.writeHead(200, { 'Content-Type': kTypes[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(0, '127.0.0.1', () => resolve({
      url: `http://127.0.0.1:${server.address().port}/index.html`,
      close: () => new Promise((done) => { server.closeAllConnections(); server.close(done); }),
    }));
  });
}

module.exports = { serveFolder };
