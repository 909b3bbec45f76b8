// ESLint for the page's own scripts (web/page.js, web/art.js, web/probes.js, run by the browser before emscripten's code)
// and the web tests and benchmarks (node, driving chromium). Run by scripts/test's style stage from the
// repository's top.
import js from '@eslint/js';
import globals from 'globals';

export default [
  js.configs.recommended,
  {
    files: ['web/page.js', 'web/art.js', 'web/probes.js'],
    languageOptions: {
      sourceType: 'script',
      globals: {
        ...globals.browser,
        // What emscripten's code around the page's scripts offers them.
        Module: 'readonly',
        FS: 'readonly',
        ENV: 'readonly',
        IDBFS: 'readonly',
        HEAPU8: 'readonly',
        UTF8ToString: 'readonly',
        addRunDependency: 'readonly',
        removeRunDependency: 'readonly',
      },
    },
  },
  {
    files: ['tests/web/*.mjs', 'bench/web/*.mjs'],
    // page.evaluate's functions run in the page: the browser's names too.
    languageOptions: { globals: { ...globals.node, ...globals.browser, FS: 'readonly' } },
  },
];
