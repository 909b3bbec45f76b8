// The page around the program, run before emscripten's own code: the save folder and the settings kept in
// IndexedDB,
// leaving the page as closing the desktop window, sound from the first touch, the screen fitted to the
// viewport, and the read-only hooks the page's tests and benchmark use (window.plumbrick).

(function () {
'use strict';

// The documents folder: $XDG_DATA_HOME/plumbrick, an IndexedDB mount (IDBFS) loaded before main runs.
const kDataHome = '/data';
const kSaveFolder = kDataHome + '/plumbrick';
// The settings (sound off, volume): $XDG_CONFIG_HOME/plumbrick/settings.json as on the desktop, in an
// IndexedDB mount of its own, so that the save folder holds exactly what it holds on the desktop.
const kConfigHome = '/config';
const kConfigFolder = kConfigHome + '/plumbrick';
const kKeptFolders = [kSaveFolder, kConfigFolder];

const canvas = document.getElementById('canvas');
Module.canvas = canvas;
Module.noExitRuntime = true;
// The program's log lines: its errors ("ERROR ...") as console errors, the rest as plain lines.
Module.print = (text) => console.log(text);
Module.printErr = (text) => (/^ERROR\b/.test(text) ? console.error(text) : console.log(text));

// --- The save folder ------------------------------------------------------------------------------------
let savesKept = false;        // IndexedDB holds the folder
let syncRunning = false;
let syncAgain = false;
let syncWaiters = [];
// While leaving, the saves that the ending makes are not written the ordinary way: that write's first
// read would hold up the whole-folder write behind it, and an unloading page never finishes the read.
let leaving = false;

function nothingKept(why) {
  savesKept = false;
  console.warn('Plumbrick: saved rounds and results are not kept in this browser (' + why + ')');
}

// Writes the kept folders to IndexedDB; calls `done` once everything asked for so far is written.
function writeSaves(done) {
  if (done) syncWaiters.push(done);
  if (leaving) return;   // leave() writes everything at once
  if (!savesKept) {
    const waiting = syncWaiters;
    syncWaiters = [];
    waiting.forEach((f) => f());
    return;
  }
  if (syncRunning) {
    syncAgain = true;
    return;
  }
  syncRunning = true;
  const waiting = syncWaiters;
  syncWaiters = [];
  FS.syncfs(false, (err) => {
    syncRunning = false;
    if (err) console.error('ERROR saving to IndexedDB: ' + err);
    if (syncAgain) {
      syncAgain = false;
      writeSaves();
    }
    if (syncRunning) syncWaiters.push(...waiting);
    else waiting.forEach((f) => f());
  });
}

// Leaving: each whole folder in one IndexedDB transaction begun at once, since a page being unloaded runs
// no more callbacks (the ordinary write first reads what IndexedDB holds, which takes a round trip).
function writeSavesNow() {
  if (!savesKept || kKeptFolders.some((folder) => !IDBFS.dbs[folder])) return writeSaves();
  kKeptFolders.forEach(writeFolderNow);
}

function writeFolderNow(folder) {
  const db = IDBFS.dbs[folder];
  try {
    const mount = FS.lookupPath(folder).node.mount;
    let local = null;
    IDBFS.getLocalSet(mount, (err, set) => { local = err ? null : set; });   // synchronous in memory
    if (!local) return writeSaves();
    const tx = db.transaction([IDBFS.DB_STORE_NAME], 'readwrite');
    const store = tx.objectStore(IDBFS.DB_STORE_NAME);
    store.clear();
    for (const path of Object.keys(local.entries))
      IDBFS.loadLocalEntry(path, (err, entry) => { if (!err) store.put(entry, path); });
    tx.onerror = () => console.error('ERROR saving to IndexedDB: ' + tx.error);
    if (tx.commit) tx.commit();
  } catch (e) {
    console.error('ERROR saving to IndexedDB: ' + e);
  }
}

// Every save (and the settings' save) ends in a rename over the old file (or a removal): each is written
// through.
function watchSaves() {
  const inFolder = (path) => typeof path === 'string' && kKeptFolders.some((folder) => path.startsWith(folder));
  for (const op of ['rename', 'unlink', 'rmdir']) {
    const original = FS[op];
    FS[op] = function (path, ...rest) {
      const result = original.call(FS, path, ...rest);
      if (inFolder(path)) writeSaves();
      return result;
    };
  }
}

function mountSaves() {
  for (const folder of kKeptFolders) FS.mkdirTree(folder);
  ENV.XDG_DATA_HOME = kDataHome;
  ENV.XDG_CONFIG_HOME = kConfigHome;
  let idb = null;
  try {
    idb = window.indexedDB;
  } catch (e) {
    idb = null;
  }
  if (!idb) {
    nothingKept('no IndexedDB');
    return;
  }
  try {
    for (const folder of kKeptFolders) FS.mount(IDBFS, {}, folder);
  } catch (e) {
    nothingKept(String(e));
    return;
  }
  addRunDependency('save-folder');
  FS.syncfs(true, (err) => {
    if (err) nothingKept('IndexedDB refused: ' + err);
    else savesKept = true;
    watchSaves();
    removeRunDependency('save-folder');
  });
}
Module.preRun = [].concat(Module.preRun || [], [mountSaves]);

// --- Leaving the page -----------------------------------------------------------------------------------
// Hidden or left, the application ends as when the desktop window closes: a playing round is paused,
// recorded and saved. Shown again, the page starts the program afresh, which brings the round back paused.
let started = false;
let ended = false;
let unloading = false;

Module.postRun = [].concat(Module.postRun || [], [() => { started = true; }]);

function leave() {
  leaving = true;
  try {
    if (started && !ended) Module._plumbrick_will_terminate();
  } finally {
    leaving = false;
  }
  writeSavesNow();
}

function startAgain() {
  writeSaves(() => location.reload());
}

// Called by the program once it has ended (left, or a link handed to a new tab).
Module.plumbrickEnded = () => {
  ended = true;
  writeSaves();
  if (!unloading && document.visibilityState === 'visible') startAgain();
};

document.addEventListener('visibilitychange', () => {
  if (document.visibilityState === 'hidden') leave();
  else if (ended && !unloading) startAgain();
});
window.addEventListener('pagehide', () => {
  unloading = true;
  leave();
});
window.addEventListener('pageshow', (event) => {
  unloading = false;
  if (event.persisted && ended) startAgain();
});

// --- Sound ----------------------------------------------------------------------------------------------
// Browsers start audio only from a gesture: every touch, click or key wakes a suspended audio context.
function wakeSound() {
  const ctx = Module.SDL2 && Module.SDL2.audioContext;
  if (ctx && ctx.state === 'suspended') ctx.resume();
}
for (const type of ['touchstart', 'touchend', 'mousedown', 'keydown'])
  window.addEventListener(type, wakeSound, { capture: true, passive: true });

// Held upright, a phone or tablet shows only the request to turn it (shell.html), and the program waits.
const upright = window.matchMedia('(orientation: portrait) and (pointer: coarse)');
function holdWhileUpright() {
  if (started && !ended) Module._plumbrick_hold(upright.matches ? 1 : 0);
}
upright.addEventListener('change', holdWhileUpright);
Module.postRun.push(holdWhileUpright);

// --- The screen -----------------------------------------------------------------------------------------
// The canvas keeps 960 x 640 pixels (two a point, the pictures' own size); it is shown centred at the
// largest size that fits, at any scale, and the browser resamples it smoothly to the device's pixels.
function fit() {
  const view = window.visualViewport;
  const w = view ? view.width : window.innerWidth;
  const h = view ? view.height : window.innerHeight;
  const scale = Math.min(w / 480, h / 320);
  const cw = 480 * scale, ch = 320 * scale;
  const style = canvas.style;
  style.setProperty('width', cw + 'px', 'important');
  style.setProperty('height', ch + 'px', 'important');
  style.setProperty('left', (w - cw) / 2 + 'px');
  style.setProperty('top', (h - ch) / 2 + 'px');
}
// Not before main has made the window: SDL would take a canvas sized by the page as a window to resize.
Module.postRun.push(fit);
window.addEventListener('resize', fit);
window.addEventListener('orientationchange', fit);
if (window.visualViewport) window.visualViewport.addEventListener('resize', fit);

// F11 is the browser's own full-screen key here (the page fits whatever size it is given): the program's
// window, which would resize the canvas, does not see it.
window.addEventListener('keydown', (event) => { if (event.key === 'F11') event.stopImmediatePropagation(); }, true);

// No scrolling, zooming, double-tap zoom, long-press menus or selection: the page is the game.
for (const type of ['touchstart', 'touchmove', 'touchend', 'gesturestart', 'dblclick', 'contextmenu', 'selectstart'])
  document.addEventListener(type, (event) => { if (event.cancelable) event.preventDefault(); }, { passive: false });

Module.plumbrickFirstFrame = () => {
  window.plumbrick.firstFrame = performance.now();
  const status = document.getElementById('status');
  if (status) status.remove();
  fit();
  canvas.style.visibility = 'visible';
};

// --- Read-only hooks ------------------------------------------------------------------------------------
window.plumbrick = {
  firstFrame: null,
  savesKept: () => savesKept,
  // The screen in front, the open game's state, score, misses and lit segments, the labels' texts.
  report: () => JSON.parse(UTF8ToString(Module._plumbrick_report())),
  // The program's work in each recent browser frame, in milliseconds.
  frameWork: () => JSON.parse(UTF8ToString(Module._plumbrick_frame_work())),
  // Whether sound is off, and the volume (0 to 8).
  sound: () => JSON.parse(UTF8ToString(Module._plumbrick_sound())),
  // 0.025 s ticks the run loop fired since the first call.
  countTicks: () => Module._plumbrick_count_ticks(),
  // Resolves once the save folder is written to IndexedDB.
  saved: () => new Promise((resolve) => writeSaves(resolve)),
};
})();
