// The page around the program, run before emscripten's own code: the save folder and the settings kept in
// IndexedDB, leaving the page as closing the desktop window, sound from the first touch, the screen fitted to
// the viewport. The program calls the hooks set on Module here (platform/sdl/web/PageBridge.h lists them);
// the page calls the functions the program exports.

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
  // Every pixel of the frame is opaque: the browser need not blend the canvas over the page.
  canvas.getContext('2d', { alpha: false });
  Module.noExitRuntime = true;
  // The program's log lines: its errors ("ERROR ...") as console errors, the rest as plain lines.
  Module.print = (text) => console.log(text);
  Module.printErr = (text) => (/^ERROR\b/.test(text) ? console.error(text) : console.log(text));

  // --- The save folder ---------------------------------------------------------------------------------------
  // IDBFS loads each kept folder from IndexedDB before main runs (FS.syncfs). From then on the program tells the
  // page of every file a save puts in place (plumbrick_saved, once the save's atomic write has finished) and of
  // every item taken away (plumbrick_removed), and the page writes that change to the folder's database at once,
  // in one transaction begun there and then, as a record of the form the folder is loaded from: keyed by path,
  // with its time and mode, and a file's contents. A page being left runs no more callbacks, but a transaction
  // it began is carried out: so the saves the leaving makes are kept too.
  const kStore = 'FILE_DATA'; // IDBFS's store of records in each kept folder's database
  let savesKept = false; // IndexedDB holds the folders
  let savesRefused = false; // IndexedDB is missing or refused: the player is told once
  const databases = new Map(); // kept folder -> its database
  let writing = 0; // transactions begun and not yet finished
  let writeWaiters = [];

  function nothingKept(why) {
    savesKept = false;
    savesRefused = true;
    console.warn('Plumbrick: saved rounds and results are not kept in this browser (' + why + ')');
  }

  // Calls `done` once every change told so far is written.
  function whenWritten(done) {
    if (writing === 0) done();
    else writeWaiters.push(done);
  }

  function record(path) {
    const stat = FS.stat(path);
    if (FS.isDir(stat.mode)) return { timestamp: stat.mtime, mode: stat.mode };
    return { timestamp: stat.mtime, mode: stat.mode, contents: FS.readFile(path) };
  }

  function write(path, removed) {
    const folder = kKeptFolders.find((kept) => path.startsWith(kept + '/'));
    if (!savesKept || !folder) return;
    try {
      const tx = databases.get(folder).transaction([kStore], 'readwrite');
      const store = tx.objectStore(kStore);
      if (removed) {
        store.delete(path);
      } else {
        // The folders between the kept folder and the file first, as a load makes them.
        for (let at = path.indexOf('/', folder.length + 1); at > 0; at = path.indexOf('/', at + 1)) {
          store.put(record(path.slice(0, at)), path.slice(0, at));
        }
        store.put(record(path), path);
      }
      writing += 1;
      const finished = () => {
        writing -= 1;
        if (writing > 0) return;
        const waiting = writeWaiters;
        writeWaiters = [];
        waiting.forEach((f) => f());
      };
      tx.oncomplete = finished;
      tx.onabort = () => {
        console.error('ERROR saving ' + path + ' to IndexedDB: ' + tx.error);
        finished();
      };
    } catch (e) {
      console.error('ERROR saving ' + path + ' to IndexedDB: ' + e);
    }
  }

  Module.plumbrick_saved = (path) => {
    write(path, false);
    askToKeepSaves(path);
  };
  Module.plumbrick_removed = (path) => write(path, true);

  // The databases IDBFS loaded the folders from (it made them where there were none), for the writes: the
  // connections it keeps open, or where it keeps none, opened again.
  function openDatabases(done) {
    const unopened = kKeptFolders.filter((folder) => {
      if (IDBFS.dbs && IDBFS.dbs[folder]) databases.set(folder, IDBFS.dbs[folder]);
      return !databases.has(folder);
    });
    if (unopened.length === 0) {
      done(null);
      return;
    }
    let left = unopened.length;
    let failure = null;
    for (const folder of unopened) {
      const request = indexedDB.open(folder);
      request.onsuccess = () => {
        databases.set(folder, request.result);
        if (--left === 0) done(failure);
      };
      request.onerror = () => {
        failure = failure || String(request.error);
        if (--left === 0) done(failure);
      };
    }
  }

  // The kept folders, read from IndexedDB as soon as the script has run and this tab plays (so while the .wasm
  // compiles and the data package is unpacked, not after): resolves once they are in place, or once it is
  // known that nothing is kept. Read only once this tab plays: another tab may write the folders until then.
  let savesRead = null;
  function readSaves() {
    return new Promise((resolve) => {
      for (const folder of kKeptFolders) FS.mkdirTree(folder);
      let idb = null;
      try {
        idb = window.indexedDB;
      } catch {
        // a browser that refuses even to say (storage blocked): none
      }
      if (!idb) {
        nothingKept('no IndexedDB');
        resolve();
        return;
      }
      try {
        for (const folder of kKeptFolders) FS.mount(IDBFS, {}, folder);
      } catch (e) {
        nothingKept(String(e));
        resolve();
        return;
      }
      FS.syncfs(true, (err) => {
        if (err) {
          nothingKept('IndexedDB refused: ' + err);
          resolve();
          return;
        }
        openDatabases((failure) => {
          if (failure) nothingKept('IndexedDB refused: ' + failure);
          else savesKept = true;
          resolve();
        });
      });
    });
  }
  function startReadingSaves() {
    if (!savesRead) savesRead = myTurn.then(readSaves).catch((e) => nothingKept(String(e)));
  }
  // The program starts once they are read.
  function mountSaves() {
    ENV.XDG_DATA_HOME = kDataHome;
    ENV.XDG_CONFIG_HOME = kConfigHome;
    startReadingSaves();
    addRunDependency('save-folder');
    savesRead.then(() => removeRunDependency('save-folder'));
  }
  Module.preRun = [].concat(Module.preRun || [], [waitForTurn, mountSaves]);

  // --- Leaving the page -----------------------------------------------------------------------------------
  // Hidden or left, the application ends as when the desktop window closes: a playing round is paused,
  // recorded and saved. Shown again, the page starts the program afresh, which brings the round back paused.
  let started = false;
  let ended = false;
  let unloading = false;

  Module.postRun = [].concat(Module.postRun || [], [
    () => {
      started = true;
    },
  ]);

  // The saves the ending makes are written as they land (plumbrick_saved).
  function leave() {
    if (started && !ended) Module._plumbrick_will_terminate();
  }

  function startAgain() {
    if (steppedBack) return; // another tab plays: this one shows the note until asked to play here
    whenWritten(() => location.reload());
  }

  // Called by the program once it has ended (left, or a link handed to a new tab).
  Module.plumbrick_ended = () => {
    ended = true;
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

  // --- One playing tab ------------------------------------------------------------------------------------
  // Two tabs (or windows) of one browser share the save folder, and each would write it whole from its own
  // copy. One tab plays, the one that holds the Web Lock kLockName; another one shows a note (shell.html,
  // #elsewhere) with a button that brings the game there: it asks the playing tab over a BroadcastChannel,
  // which pauses and saves its round, writes the folder to IndexedDB, shows the same note and lets the lock
  // go; the asking tab then reads the folder and starts. A tab that played before starts afresh (a reload
  // that asks at once). Without Web Locks or BroadcastChannel every tab plays, as each did before.
  const kLockName = 'plumbrick';
  const kTakeKey = 'plumbrick-take'; // sessionStorage: this reload asks for the game
  const kPatience = 1500; // milliseconds a new page waits for the lock before it shows the note
  let letTurnGo = null; // while this tab holds the lock: lets it go
  let steppedBack = false;
  let channel = null;
  let turnGiven = null;
  const myTurn = new Promise((resolve) => {
    turnGiven = resolve;
  });

  function showElsewhere(on) {
    document.body.classList.toggle('elsewhere', on);
  }

  // Asks for the lock; with `patience` (milliseconds) gives up after that long (false). A reload's page lets
  // the lock go as it unloads, which the browser may see a moment after the new page asks.
  function askForTurn(patience) {
    return new Promise((answered) => {
      const options = {};
      if (patience) {
        const stop = new AbortController();
        setTimeout(() => stop.abort(), patience);
        options.signal = stop.signal;
      }
      navigator.locks
        .request(kLockName, options, () => {
          answered(true);
          showElsewhere(false);
          turnGiven();
          return new Promise((release) => {
            letTurnGo = release;
          });
        })
        .catch((e) => {
          if (e && e.name === 'AbortError') answered(false);
          else console.error('ERROR Plumbrick: the one-tab lock failed: ' + e);
        });
    });
  }

  // This tab gives the game to the one that asked: the round is paused and saved, the folder written to
  // IndexedDB, and only then the lock let go.
  function stepBack() {
    if (!letTurnGo || steppedBack) return;
    steppedBack = true;
    showElsewhere(true);
    if (!started) return; // once started (postRun)
    if (!ended) Module._plumbrick_will_terminate();
    whenWritten(() => {
      savesKept = false; // this copy of the folder is old from now on: never written again
      const release = letTurnGo;
      letTurnGo = null;
      release();
    });
  }

  function playHere() {
    if (started) {
      sessionStorage.setItem(kTakeKey, '1');
      location.reload();
      return;
    }
    document.getElementById('play-here').disabled = true;
    channel.postMessage('take');
    askForTurn(0);
  }

  // Asked for as this script runs, while the .wasm compiles: the lock touches neither the program nor its files.
  function askForTheGame() {
    if (!navigator.locks || !window.BroadcastChannel) {
      console.log(
        'Plumbrick: this browser has no Web Locks or BroadcastChannel: every tab of the page plays on its own',
      );
      turnGiven();
      return;
    }
    channel = new BroadcastChannel(kLockName);
    channel.onmessage = (event) => {
      if (event.data === 'take') stepBack();
    };
    document.getElementById('play-here').addEventListener('click', playHere);
    if (sessionStorage.getItem(kTakeKey)) {
      sessionStorage.removeItem(kTakeKey);
      channel.postMessage('take');
      askForTurn(0);
      return;
    }
    askForTurn(kPatience).then((mine) => {
      if (!mine) showElsewhere(true);
    });
  }
  askForTheGame();
  // The saves are read as soon as the script has run (FS and IDBFS exist from then on) and this tab plays.
  queueMicrotask(startReadingSaves);
  // The program starts once this tab plays (its files are read after that: readSaves).
  function waitForTurn() {
    addRunDependency('one-tab');
    myTurn.then(() => removeRunDependency('one-tab'));
  }
  // Leaving, after the last save began (leave()), the lock goes at once.
  window.addEventListener('pagehide', () => {
    if (!letTurnGo) return;
    const release = letTurnGo;
    letTurnGo = null;
    release();
  });
  Module.postRun.push(() => {
    if (steppedBack) {
      steppedBack = false;
      stepBack();
    }
  });

  // --- Keeping the saves ----------------------------------------------------------------------------------
  // Once a round is recorded, the browser is asked to keep the site's storage (it may otherwise evict it when
  // space runs short); where IndexedDB is missing or refused, the player is told once that results are not
  // kept.
  const kResultsFile = '/Tinmarsh.result'; // the results file's name, in the save folder's own folder
  const kNotKeptNotice = 'Results are not kept in this browser';
  let keepAsked = false;

  // `written`: the file a save has just put in place; none at the start (the results of an earlier visit).
  function askToKeepSaves(written) {
    if (keepAsked || !savesKept || !navigator.storage || !navigator.storage.persist) return;
    if (written ? !String(written).endsWith(kResultsFile) : !resultsKept(kSaveFolder)) return;
    keepAsked = true;
    navigator.storage
      .persisted()
      .then((kept) => kept || navigator.storage.persist())
      .then((kept) => {
        if (!kept) console.log('Plumbrick: the browser may clear the saves when space runs short');
      })
      .catch((e) => console.log('Plumbrick: asking to keep the saves failed: ' + e));
  }
  function resultsKept(folder) {
    try {
      return FS.readdir(folder).some((name) => {
        if (name === '.' || name === '..') return false;
        const path = folder + '/' + name;
        return path.endsWith(kResultsFile) || (FS.isDir(FS.stat(path).mode) && resultsKept(path));
      });
    } catch {
      return false;
    }
  }
  Module.postRun.push(() => {
    askToKeepSaves();
    if (savesRefused && !ended) {
      const text = new TextEncoder().encode(kNotKeptNotice + '\0');
      const at = Module._malloc(text.length);
      HEAPU8.set(text, at);
      Module._plumbrick_notice(at, 6);
      Module._free(at);
    }
  });

  // --- Thumbs ---------------------------------------------------------------------------------------------
  // Every control takes touches over at least kThumb CSS pixels each way, whatever its drawn size (the
  // program grows the areas: plumbrick_touch_reach). On a phone the screen leaves margins at its sides where
  // the thumbs rest: a touch there goes to the program as a touch at the edge of its screen on that side,
  // which reaches the nearest control on that side at that height.
  const kThumb = 44;
  let cssPixelsPerPoint = 1;
  const beside = new Map(); // touches that began beside the canvas, by identifier

  function tellTouchReach() {
    if (started && !ended) Module._plumbrick_touch_reach(kThumb / cssPixelsPerPoint);
  }
  Module.postRun.push(tellTouchReach);

  function forwardBeside(event) {
    if (!started || ended || upright.matches) return;
    const changed = [];
    for (const touch of event.changedTouches) {
      if (event.type === 'touchstart') {
        if (touch.target === canvas) continue;
        beside.set(touch.identifier, touch);
      } else if (!beside.has(touch.identifier)) {
        continue;
      } else if (event.type === 'touchmove') {
        beside.set(touch.identifier, touch);
      } else {
        beside.delete(touch.identifier);
      }
      changed.push(touch);
    }
    if (!changed.length) return;
    try {
      // At the screen's edge on that side (SDL drops a touch left of the canvas), at the same height.
      const edge = canvas.getBoundingClientRect();
      const onCanvas = (t) => {
        const x = t.clientX < edge.left ? edge.left : t.clientX >= edge.right ? edge.right + 1 : t.clientX;
        const y = Math.min(Math.max(t.clientY, edge.top), edge.bottom - 1);
        return new Touch({
          identifier: t.identifier,
          target: canvas,
          clientX: x,
          clientY: y,
          screenX: t.screenX,
          screenY: t.screenY,
          pageX: x,
          pageY: y,
          radiusX: t.radiusX,
          radiusY: t.radiusY,
          force: t.force,
        });
      };
      const down = [...beside.values()].map(onCanvas);
      canvas.dispatchEvent(
        new TouchEvent(event.type, {
          cancelable: true,
          touches: down,
          targetTouches: down,
          changedTouches: changed.map(onCanvas),
        }),
      );
    } catch {
      // A browser that cannot make touch events: the margins take no touches.
      beside.clear();
    }
  }
  for (const type of ['touchstart', 'touchmove', 'touchend', 'touchcancel'])
    document.addEventListener(type, forwardBeside, { passive: true });

  // --- Sound ----------------------------------------------------------------------------------------------
  // The program hands over the audio context it plays through when it wakes it (a sound is about to play) and
  // when it lets it sleep (the loop idles and nothing plays; a running context keeps the audio thread busy).
  // Browsers start audio only from a gesture: every touch, click or key wakes a suspended audio context too.
  let audio = null;
  function wakeSound() {
    if (audio && audio.state === 'suspended') audio.resume();
  }
  Module.plumbrick_audio_wake = (ctx) => {
    audio = ctx;
    wakeSound();
  };
  Module.plumbrick_audio_sleep = (ctx) => {
    audio = ctx;
    if (ctx.state === 'running') ctx.suspend();
  };
  for (const type of ['touchstart', 'touchend', 'mousedown', 'keydown'])
    window.addEventListener(type, wakeSound, { capture: true, passive: true });

  // While nothing moves the program looks at its input a few times a second; input brings its next look forward.
  function input() {
    if (started && !ended) Module._plumbrick_input();
  }
  for (const type of ['touchstart', 'touchend', 'touchcancel', 'mousedown', 'mouseup', 'keydown', 'keyup'])
    window.addEventListener(type, input, { capture: true, passive: true });

  // Held upright, a phone or tablet shows only the request to turn it (shell.html), and the program waits; a
  // tablet wide enough to show the game at 700 CSS pixels or more plays upright (the same query as shell.html's).
  const upright = window.matchMedia('(orientation: portrait) and (pointer: coarse) and (max-width: 699.98px)');
  function holdWhileUpright() {
    if (started && !ended) Module._plumbrick_hold(upright.matches ? 1 : 0);
  }
  upright.addEventListener('change', holdWhileUpright);
  Module.postRun.push(holdWhileUpright);

  // --- The screen -----------------------------------------------------------------------------------------
  // The canvas is shown centred at the largest size that fits, and the browser resamples its pixels (see
  // plumbrickScale below) to the device's.
  function fit() {
    rescale();
    const view = window.visualViewport;
    const w = view ? view.width : window.innerWidth;
    const h = view ? view.height : window.innerHeight;
    const scale = Math.min(w / 480, h / 320);
    const cw = 480 * scale,
      ch = 320 * scale;
    cssPixelsPerPoint = scale;
    tellTouchReach();
    const style = canvas.style;
    style.setProperty('width', cw + 'px', 'important');
    style.setProperty('height', ch + 'px', 'important');
    style.setProperty('left', (w - cw) / 2 + 'px');
    style.setProperty('top', (h - ch) / 2 + 'px');
  }
  // The canvas's pixels a point, taken by the program once its first frame is drawn (at 2): as many as the
  // screen shows the game at, fitted either way round, so that nothing is enlarged (2, the built pictures' own,
  // at least; past 2 the program has the pictures drawn from the art's masters: web/art.js), at most 5.
  // Chosen again when the screen changes (a window made larger or smaller, or moved to a screen of another
  // density; turning the device changes nothing): the program is told, once the size has settled.
  let scaleTaken = null;
  let rescaleTimer = null;
  const screenScale = () => {
    const w = window.innerWidth,
      h = window.innerHeight;
    const fitted = Math.max(Math.min(w / 480, h / 320), Math.min(h / 480, w / 320));
    return Math.min(5, Math.max(2, Math.ceil(fitted * (window.devicePixelRatio || 1) - 0.01)));
  };
  Module.plumbrickScale = () => (scaleTaken = screenScale());
  function rescale() {
    if (scaleTaken === null || screenScale() === scaleTaken) return;
    clearTimeout(rescaleTimer);
    rescaleTimer = setTimeout(() => {
      if (screenScale() !== scaleTaken && Module._plumbrick_rescale) Module._plumbrick_rescale();
    }, 200);
  }
  // Not before main has made the window: SDL would take a canvas sized by the page as a window to resize.
  Module.postRun.push(fit);
  window.addEventListener('resize', fit);
  window.addEventListener('orientationchange', fit);
  if (window.visualViewport) window.visualViewport.addEventListener('resize', fit);

  // F11 is the browser's own full-screen key here (the page fits whatever size it is given): the program's
  // window, which would resize the canvas, does not see it.
  window.addEventListener(
    'keydown',
    (event) => {
      if (event.key === 'F11') event.stopImmediatePropagation();
    },
    true,
  );

  // No scrolling, zooming, double-tap zoom, long-press menus or selection: the page is the game.
  for (const type of ['touchstart', 'touchmove', 'touchend', 'gesturestart', 'dblclick', 'contextmenu', 'selectstart'])
    document.addEventListener(
      type,
      (event) => {
        if (event.cancelable && !(event.target.closest && event.target.closest('#elsewhere'))) event.preventDefault();
      },
      { passive: false },
    );

  let firstFrame = null; // when the first frame was drawn (performance.now())
  Module.plumbrick_first_frame = () => {
    firstFrame = performance.now();
    const status = document.getElementById('status');
    if (status) status.remove();
    fit();
    canvas.style.visibility = 'visible';
  };

  // What the test build's probes (web/probes.js) read of the page.
  Module.plumbrickPage = { savesKept: () => savesKept, whenWritten, firstFrame: () => firstFrame };
})();
