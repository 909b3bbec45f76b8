// The test probes, built only into the test build of the page (PLUMBRICK_WEB_TEST_PROBES): what the page's
// tests and benchmark read of the running program and the page, as window.plumbrick. Reading changes nothing;
// counting ticks starts a timer of the program's that never stops.

(function () {
  'use strict';

  const page = Module.plumbrickPage;
  const json = (text) => JSON.parse(UTF8ToString(text));

  window.plumbrick = {
    // When the first frame was drawn (performance.now()), or null.
    get firstFrame() {
      return page.firstFrame();
    },
    savesKept: () => page.savesKept(),
    // The screen in front, the open game's state, score, misses and lit segments, the labels' texts.
    report: () => json(Module._plumbrick_report()),
    // The program's work in each recent browser frame, in milliseconds.
    frameWork: () => json(Module._plumbrick_frame_work()),
    // Whether sound is off, and the volume (0 to 8).
    sound: () => json(Module._plumbrick_sound()),
    // 0.025 s ticks the run loop fired since the first call.
    countTicks: () => Module._plumbrick_count_ticks(),
    // Resolves once every save so far is written to IndexedDB.
    saved: () => new Promise((resolve) => page.whenWritten(resolve)),
  };
})();
