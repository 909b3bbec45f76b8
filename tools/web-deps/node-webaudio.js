// Prepended (--pre-js) to the smoke test when it runs under node: just enough of a page, of Web Audio and
// of the loader's surroundings for SDL's emscripten audio driver to open a device. Nothing is played.
// These are module-scope names, so node's own globals stay as they are.
var document = {
  getElementById: function () { return null; },
  addEventListener: function () {},
  removeEventListener: function () {},
};
var navigator = {};
var AudioContext = function () {
  this.sampleRate = 48000;
  this.state = 'suspended';
  this.destination = {};
};
AudioContext.prototype.createScriptProcessor = function () {
  return { connect: function () {}, disconnect: function () {}, onaudioprocess: null };
};
AudioContext.prototype.resume = function () { this.state = 'running'; return Promise.resolve(); };
AudioContext.prototype.close = function () { this.state = 'closed'; return Promise.resolve(); };
// Node 18 and later have a global fetch, which this emscripten's loader then tries on the .wasm's file
// path; without it the loader reads the file through node's fs.
var fetch = undefined;
