// A static host as README's sample configuration sets one up, for the folder that `scripts/web --dist` writes:
// the folder under a sub-path (/games/plumbrick/), each file's .br or .gz sent in its place where the browser
// takes it, the build-named files (index.<hash>.*) cacheable for a year and the rest revalidated (ETag, 304).
// It counts the bytes it sends, can serve another folder in place of the first (a new build published), and
// can cut off the requests whose path matches a pattern (a download that fails).
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';

const types = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript',
  '.wasm': 'application/wasm',
  '.data': 'application/octet-stream',
  '.png': 'image/png',
  '.webmanifest': 'application/manifest+json',
};
const kBuildNamed = /^index\.[0-9a-f]{12}\.[a-z]+$/;

export async function host(dir, prefix = '/games/plumbrick/') {
  const state = { dir, bytes: 0, requests: 0, cut: null, log: [] };
  const server = http.createServer((req, res) => {
    const url = new URL(req.url, 'http://localhost');
    if (!url.pathname.startsWith(prefix)) {
      res.writeHead(404);
      res.end();
      return;
    }
    const name = url.pathname.slice(prefix.length) || 'index.html';
    if (state.cut && state.cut.test(name)) {
      req.socket.destroy();
      return;
    }
    const file = path.join(state.dir, path.normalize('/' + name));
    if (!fs.existsSync(file) || !fs.statSync(file).isFile()) {
      res.writeHead(404);
      res.end();
      return;
    }
    const accepted = String(req.headers['accept-encoding'] || '');
    let sent = file,
      encoding = null;
    for (const [token, ext] of [
      ['br', '.br'],
      ['gzip', '.gz'],
    ]) {
      if (accepted.includes(token) && fs.existsSync(file + ext)) {
        sent = file + ext;
        encoding = token;
        break;
      }
    }
    const stat = fs.statSync(sent);
    const etag = `"${stat.size.toString(16)}-${Math.floor(stat.mtimeMs).toString(16)}"`;
    const headers = {
      'content-type': types[path.extname(file)] || 'application/octet-stream',
      etag,
      vary: 'accept-encoding',
      'cache-control': kBuildNamed.test(name) ? 'public, max-age=31536000, immutable' : 'no-cache',
    };
    if (encoding) headers['content-encoding'] = encoding;
    state.requests += 1;
    if (req.headers['if-none-match'] === etag) {
      res.writeHead(304, headers);
      res.end();
      state.log.push(`304 ${name}`);
      return;
    }
    const body = fs.readFileSync(sent);
    headers['content-length'] = body.length;
    state.bytes += body.length;
    state.log.push(`200 ${name} ${body.length}${encoding ? ' ' + encoding : ''}`);
    res.writeHead(200, headers);
    res.end(req.method === 'HEAD' ? undefined : body);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {
    url: `http://127.0.0.1:${server.address().port}${prefix}`,
    state,
    serve: (other) => {
      state.dir = other;
    },
    cut: (pattern) => {
      state.cut = pattern;
    },
    close: () => server.close(),
  };
}
