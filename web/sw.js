// The page's service worker: it keeps one build's files (the page, its script, .wasm and data package, the
// manifest and icons) and serves them before the network, so that the page starts without one. The build's
// last step (Finish.cmake) writes BUILD and FILES. A new build's worker is fetched and filled in the
// background, then serves in place of the old one; a page already running goes on with what it has loaded (it
// loads nothing more), so the new build runs from the page's next start, and a round is never cut short.
// IndexedDB, where the saves are, is not touched.
'use strict';
const BUILD = '@PLUMBRICK_VERSION@';
const FILES = @PLUMBRICK_FILES@;

const scope = self.registration.scope;
const prefix = 'plumbrick ' + scope + ' ';
const CACHE = prefix + BUILD;
const page = new URL('./', scope).href;
const wanted = new Set(FILES.map((file) => new URL(file, scope).href));

// What a file must be: a file named with a hash ("index.<12 hex>.wasm") holds exactly what the hash says,
// and the page names the build it belongs to.
const mark = (href) => (/\.([0-9a-f]{12})\.[a-z]+$/.exec(new URL(href).pathname) || [null, BUILD])[1];
const kChecked = 'x-plumbrick-checked';

// Reads a response whole and, when it is this build's, gives a copy marked with what it was checked for
// (the mark is read when the copy is served from the cache: a cached file is not read twice per start).
async function checked(href, response) {
  if (!response || !response.ok) return null;
  const body = await response.arrayBuffer();
  if (href === page) {
    if (!new TextDecoder().decode(body).includes('"' + BUILD + '"')) return null;
  } else if (mark(href) !== BUILD) {
    const digest = new Uint8Array(await crypto.subtle.digest('SHA-256', body));
    if (Array.from(digest.slice(0, 6), (b) => b.toString(16).padStart(2, '0')).join('') !== mark(href)) return null;
  }
  const headers = new Headers(response.headers);
  for (const name of ['content-encoding', 'content-length']) headers.delete(name);
  headers.set(kChecked, mark(href));
  return new Response(body, { status: response.status, statusText: response.statusText, headers });
}
const keptIsOurs = (href, response) => !!response && response.headers.get(kChecked) === mark(href);

// The page is asked for afresh; the build-named files may come from the HTTP cache (a first visit leaves them
// there), since their names change with their content.
const download = (href) => fetch(href, { cache: href === page ? 'no-cache' : 'default' });

self.addEventListener('install', (event) => {
  event.waitUntil((async () => {
    const cache = await caches.open(CACHE);
    await Promise.all([...wanted].map(async (href) => {
      const copy = await checked(href, await download(href));
      if (!copy) throw new Error(href + ' is not of build ' + BUILD);
      await cache.put(href, copy);
    }));
    // The old build's worker serves nothing that this one does not: the build-named files of a page still
    // loading the old build pass to the network, under names that say what they hold.
    await self.skipWaiting();
  })());
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys().then((keys) =>
    Promise.all(keys.filter((key) => key.startsWith(prefix) && key !== CACHE).map((key) => caches.delete(key)))));
});

const kNeedsNetwork = `<!doctype html><meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1"><title>Plumbrick</title>
<body style="margin:0;height:100vh;display:flex;flex-direction:column;gap:20px;align-items:center;justify-content:center;
background:#0b151d;color:#d8dcc8;font:18px/1.4 sans-serif;text-align:center">
<p id="offline">Plumbrick needs one visit online: open it once with a network connection,<br>and it plays offline from then on.</p>
<button onclick="location.reload()" style="font:inherit;padding:10px 28px">Try again</button>`;

// This build's copy first; a missing copy, or one not marked as checked, is fetched again. Offline without a
// copy of the page, a short page says that the first visit needs the network; a build-named file that cannot
// be had fails.
async function serve(href) {
  const cache = await caches.open(CACHE);
  const kept = await cache.match(href);
  if (keptIsOurs(href, kept)) return kept;
  let fresh = null;
  try {
    fresh = await download(href);
  } catch (e) {
    fresh = null;
  }
  const copy = await checked(href, fresh && fresh.clone());
  if (copy) {
    await cache.put(href, copy.clone());
    return copy;
  }
  // Another build's page is served as it is: it asks for its own files, which come from the network.
  if (href === page) {
    return fresh && fresh.ok ? fresh : new Response(kNeedsNetwork, { headers: { 'content-type': 'text/html' } });
  }
  return Response.error();
}

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET') return;
  const url = new URL(request.url);
  url.hash = '';
  let href = url.href;
  if (request.mode === 'navigate') {
    url.search = '';
    if (url.href !== page && url.href !== page + 'index.html') return;
    href = page;
  }
  if (wanted.has(href)) event.respondWith(serve(href));
});
