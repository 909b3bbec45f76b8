// The pictures drawn again by the browser from the art's masters, for a canvas of more than 2 pixels a point
// (platform/sdl/web/WebVectorArt.cpp asks for them). The data package holds each master and the recipe of
// every picture drawn from it (resources/art: "<master>.recipes", one line a picture: name, kind, master,
// face, part, digits, number, separated by tabs), as the desktop draws them with librsvg. Here the browser's
// own SVG renderer draws them: for each picture an SVG of the master in which only what the picture shows is
// drawn, each part where the master places it (a <use> of it inside copies of its ancestors' attributes), the
// key names and the other faces' pieces hidden by a stylesheet, and Liberation Sans embedded (an SVG drawn as
// a picture loads no font of its own). A picture is asked for when first wanted and comes later, one at a
// time: the program draws the built 2x picture, enlarged, until then, and draws the whole frame again when
// pictures have come.
(function () {
  'use strict';
  const kFolder = '/resources/art/';
  const kGhost = 0.07; // ink strength of an unlit segment
  const kDigitLit = ['abcdef', 'bc', 'abdeg', 'abcdg', 'bcfg', 'acdfg', 'acdefg', 'abc', 'abcdefg', 'abcdfg'];
  const kThumb = { w: 354, h: 242 };
  const NS = 'http://www.w3.org/2000/svg';

  let recipes = null; // name -> fields
  const masters = new Map(); // file -> its parsed document
  const ready = new Map(); // "name@scale" -> { w, h, pixels (RGBA) }
  const asked = new Set(); // "name@scale" asked for (or drawn ahead) and not yet taken
  const wanted = new Set(); // of those, the ones the program asked for: their coming redraws the frame
  const failed = new Set(); // names that could not be drawn (said once): the built pictures serve them
  const queue = []; // keys asked for by the program, drawn first
  const later = []; // keys of pictures likely to be asked for soon (prefetch), drawn when queue is empty
  let working = false;
  let lastScale = null; // the scale the program last asked at
  let fontCss = null;

  function readRecipes() {
    recipes = new Map();
    let files;
    try {
      files = FS.readdir(kFolder).filter((f) => f.endsWith('.recipes'));
    } catch {
      return; // no art in the package: the built pictures only
    }
    for (const file of files)
      for (const line of FS.readFile(kFolder + file, { encoding: 'utf8' }).split('\n')) {
        const f = line.split('\t').map((w) => (w === '-' ? '' : w));
        if (f.length === 7 && f[0] && f[1] && f[2]) recipes.set(f[0], f);
      }
  }

  function master(file) {
    if (!masters.has(file)) {
      const text = FS.readFile(kFolder + file, { encoding: 'utf8' });
      const doc = new DOMParser().parseFromString(text, 'image/svg+xml');
      if (doc.getElementsByTagName('parsererror').length) throw new Error(file + ' is not SVG');
      masters.set(file, doc);
    }
    return masters.get(file);
  }

  function fonts() {
    if (fontCss === null) {
      const base64 = (file) => {
        const bytes = FS.readFile('/resources/fonts/' + file);
        let s = '';
        for (let i = 0; i < bytes.length; i += 0x8000)
          s += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
        return btoa(s);
      };
      fontCss =
        `@font-face{font-family:"Liberation Sans";src:url(data:font/ttf;base64,${base64('LiberationSans-Regular.ttf')})}` +
        `@font-face{font-family:"Liberation Sans";font-weight:bold;` +
        `src:url(data:font/ttf;base64,${base64('LiberationSans-Bold.ttf')})}`;
    }
    return fontCss;
  }

  const isPart = (id) => /^(seg|sign)-/.test(id);
  const isDigitPlace = (id) => /^seg-100[0-3]$/.test(id);

  // A copy of a master ready for one picture: everything it draws moved into <defs> (drawn only where a <use>
  // places it), with a stylesheet that hides the key names (a device without a keyboard) and the other faces'
  // pieces. Returns the copy and its parts (seg-* and sign-* groups) by id.
  function prepare(file, face, keyNames) {
    const svg = master(file).documentElement.cloneNode(true);
    const doc = svg.ownerDocument;
    const css = hiding(svg, face, keyNames);
    const parts = new Map();
    for (const el of svg.querySelectorAll('[id]')) if (isPart(el.id)) parts.set(el.id, el);
    const hidden = doc.createElementNS(NS, 'defs');
    for (const el of [...svg.childNodes]) hidden.appendChild(el);
    const style = doc.createElementNS(NS, 'style');
    svg.append(style, hidden);
    const shown = doc.createElementNS(NS, 'g');
    svg.appendChild(shown);
    // Where the master draws el: a <use> of it in copies of its ancestors' attributes (fill, transforms).
    const placed = (el) => {
      let inner = doc.createElementNS(NS, 'use');
      inner.setAttribute('href', '#' + el.id);
      for (let a = el.parentNode; a && a !== hidden; a = a.parentNode) {
        const g = doc.createElementNS(NS, 'g');
        for (const at of a.attributes) if (at.name !== 'id') g.setAttribute(at.name, at.value);
        g.appendChild(inner);
        inner = g;
      }
      return inner;
    };
    const group = (opacity, els) => {
      const g = doc.createElementNS(NS, 'g');
      if (opacity < 1) g.setAttribute('opacity', String(opacity));
      for (const el of els) g.appendChild(placed(el));
      shown.appendChild(g);
    };
    // Ids an element and its descendants refer to (href="#id", url(#id)).
    const refs = (el) => {
      const out = [];
      for (const node of [el, ...el.querySelectorAll('*')])
        for (const at of node.attributes) {
          if (at.name === 'href' || at.name === 'xlink:href') {
            if (at.value.startsWith('#')) out.push(at.value.slice(1));
          } else {
            for (const m of at.value.matchAll(/url\(#([^)]+)\)/g)) out.push(m[1]);
          }
        }
      return out;
    };
    // The SVG's text with only what is drawn in it: the elements placed and what they refer to (shared pieces,
    // masks, gradients), each once, so that the browser does not read the whole master for each picture; and
    // Liberation Sans only where text is drawn (it is most of an SVG's weight).
    const text = () => {
      const byId = new Map();
      for (const el of hidden.querySelectorAll('[id]')) byId.set(el.id, el);
      const needed = new Set();
      const stack = refs(shown);
      while (stack.length) {
        const id = stack.pop();
        if (needed.has(id) || !byId.has(id)) continue;
        needed.add(id);
        stack.push(...refs(byId.get(id)));
      }
      const kept = doc.createElementNS(NS, 'defs');
      byId.forEach((el, id) => {
        if (!needed.has(id)) return;
        let a = el.parentNode;
        while (a !== hidden && !needed.has(a.id)) a = a.parentNode;
        if (a === hidden) kept.appendChild(el.cloneNode(true)); // not inside another one kept
      });
      svg.replaceChild(kept, hidden);
      const hasText = kept.getElementsByTagName('text').length > 0;
      const out = serialized(svg, style, css, hasText);
      svg.replaceChild(hidden, kept);
      return out;
    };
    return { svg, parts, group, text, hidden };
  }

  // The stylesheet that hides the key names (keyNames false) and the pieces of the master's other faces.
  function hiding(svg, face, keyNames) {
    const faces = (svg.getAttribute('data-faces') || '').split(/\s+/).filter(Boolean);
    let css = keyNames ? '' : '.key-name{display:none}';
    for (const f of faces) if (f !== (face || faces[0])) css += `.t-${f}{display:none}`;
    return css;
  }
  // The SVG's text, sized by its viewBox alone (draw gives it the size to draw at).
  function serialized(svg, style, css, hasText) {
    style.textContent = css + (hasText ? fonts() : '');
    svg.removeAttribute('width');
    svg.removeAttribute('height');
    return new XMLSerializer().serializeToString(svg);
  }

  const size = (svg) => [Number(svg.getAttribute('width')), Number(svg.getAttribute('height'))];
  const boxOf = (m, id) => {
    const rect = m.hidden.querySelector('#box-' + id.replace(/^(seg|sign)-/, ''));
    if (!rect) throw new Error('#' + id + ' has no box');
    return ['x', 'y', 'width', 'height'].map((a) => Number(rect.getAttribute(a)));
  };

  // What a picture is drawn from: one or more SVGs, each placed at a rectangle of the picture (in points).
  function layers(r) {
    // (the emscripten of this build minifies destructuring wrongly: none here)
    const kind = r[1],
      file = r[2],
      face = r[3],
      part = r[4],
      digits = r[5],
      number = r[6];
    const touch = kind.endsWith('-touch');
    if (kind === 'whole' || kind === 'whole-touch') {
      const svg = master(file).documentElement.cloneNode(true);
      const W = size(svg)[0],
        H = size(svg)[1];
      svg.setAttribute('viewBox', `0 0 ${W} ${H}`);
      const style = svg.ownerDocument.createElementNS(NS, 'style');
      svg.insertBefore(style, svg.firstChild);
      const text = serialized(svg, style, hiding(svg, face, !touch), svg.getElementsByTagName('text').length > 0);
      return { w: W, h: H, layers: [{ svg: text, at: [0, 0, W, H] }] };
    }
    const m = prepare(file, face, !touch);
    const W = size(m.svg)[0],
      H = size(m.svg)[1];
    const faceOf = (lit) => {
      const printed = m.hidden.querySelector('#printed');
      if (!printed) throw new Error(file + ' has no #printed layer');
      m.group(1, [printed]);
      m.group(
        kGhost,
        [...m.parts.values()].filter((el) => !isDigitPlace(el.id)),
      );
      m.group(
        1,
        lit.filter((id) => !isDigitPlace(id)).map((id) => m.parts.get(id)),
      );
      m.svg.setAttribute('viewBox', `0 0 ${W} ${H}`);
      return m.text();
    };
    if (kind === 'face' || kind === 'face-touch')
      return { w: W, h: H, layers: [{ svg: faceOf([]), at: [0, 0, W, H] }] };
    if (kind === 'part') {
      const el = m.parts.get(part);
      if (!el) throw new Error(file + ' draws no #' + part);
      const box = boxOf(m, part);
      m.group(1, [el]);
      m.svg.setAttribute('viewBox', box.join(' '));
      return { w: box[2], h: box[3], layers: [{ svg: m.text(), at: [0, 0, box[2], box[3]] }] };
    }
    if (kind === 'digit') return { w: W, h: H, layers: [{ svg: digit(file, Number(number) % 10), at: [0, 0, W, H] }] };
    if (kind === 'thumb') {
      const list = (m.svg.getAttribute('data-thumb-' + face) || m.svg.getAttribute('data-thumb') || '').split(/\s+/);
      const lit = list.filter(Boolean).map((w) => (w.includes('-') ? w : 'seg-' + w));
      const k = kThumb.h / H;
      const left = (kThumb.w - W * k) / 2;
      const out = [{ svg: faceOf(lit), at: [left, 0, W * k, H * k] }];
      if (digits) {
        const digitSize = size(master(digits).documentElement);
        let value = Number(number);
        for (let place = 1000; place <= 1003; ++place, value = Math.floor(value / 10)) {
          if (!m.parts.has('seg-' + place)) continue;
          const box = boxOf(m, 'seg-' + place);
          const at = [left + box[0] * k, box[1] * k, digitSize[0] * k, digitSize[1] * k];
          out.push({ svg: digit(digits, value % 10), at });
        }
      }
      return { w: kThumb.w, h: kThumb.h, layers: out };
    }
    throw new Error('unknown kind of picture: ' + kind);
  }

  // Digit d of a seven-segment master (groups seg-a ... seg-g): lit segments over the ghosts of all.
  function digit(file, d) {
    const m = prepare(file, '', true);
    const W = size(m.svg)[0],
      H = size(m.svg)[1];
    const segments = [...'abcdefg'].map((s) => m.parts.get('seg-' + s));
    if (segments.some((el) => !el)) throw new Error(file + ' lacks a segment');
    m.group(kGhost, segments);
    m.group(
      1,
      [...kDigitLit[d]].map((s) => m.parts.get('seg-' + s)),
    );
    m.svg.setAttribute('viewBox', `0 0 ${W} ${H}`);
    return m.text();
  }

  function decode(svg) {
    const url = URL.createObjectURL(new Blob([svg], { type: 'image/svg+xml' }));
    const img = new Image();
    img.src = url;
    return img.decode().then(
      () => {
        URL.revokeObjectURL(url);
        return img;
      },
      (e) => {
        URL.revokeObjectURL(url);
        throw e;
      },
    );
  }

  // The picture at scale pixels a point, as RGBA.
  async function draw(r, scale) {
    const picture = layers(r);
    const W = Math.round(picture.w * scale),
      H = Math.round(picture.h * scale);
    const canvas = new OffscreenCanvas(W, H);
    const ctx = canvas.getContext('2d', { willReadFrequently: true });
    for (const layer of picture.layers) {
      const at = layer.at;
      // Sized in the SVG itself, so that the browser draws it at that size rather than enlarging it.
      const pw = at[2] * scale,
        ph = at[3] * scale;
      const img = await decode(layer.svg.replace('<svg ', `<svg width="${pw}" height="${ph}" `));
      ctx.drawImage(img, at[0] * scale, at[1] * scale, pw, ph);
    }
    return { w: W, h: H, pixels: ctx.getImageData(0, 0, W, H).data };
  }

  let told = false;
  function tellArrived() {
    if (told) return;
    told = true;
    setTimeout(() => {
      told = false;
      if (Module._plumbrick_art_arrived) Module._plumbrick_art_arrived();
    }, 0);
  }

  async function work() {
    if (working) return;
    working = true;
    while (queue.length || later.length) {
      const key = queue.length ? queue.shift() : later.shift();
      const at = key.lastIndexOf('@');
      const name = key.slice(0, at);
      try {
        const scale = Number(key.slice(at + 1));
        const picture = await draw(recipes.get(name), scale);
        if (lastScale === null || scale === lastScale) ready.set(key, picture); // else no longer wanted
        if (wanted.delete(key)) tellArrived();
      } catch (e) {
        console.error('ERROR drawing ' + name + ' from its master: ' + (e && e.message ? e.message : e));
        failed.add(name); // the built picture stays
        asked.delete(key);
        if (wanted.delete(key)) tellArrived();
      }
    }
    working = false;
  }

  // The program asks at one scale at a time: when the canvas takes another, what was drawn or waits to be
  // drawn at the last one goes.
  function forgetOtherScales(scale) {
    lastScale = scale;
    const other = (key) => Number(key.slice(key.lastIndexOf('@') + 1)) !== scale;
    for (const key of [...ready.keys()].filter(other)) ready.delete(key);
    for (const key of [...asked].filter(other)) asked.delete(key);
    for (const key of [...wanted].filter(other)) wanted.delete(key);
    for (const list of [queue, later]) for (let i = list.length - 1; i >= 0; i--) if (other(list[i])) list.splice(i, 1);
  }

  // A face's segments are all asked for when it first shows (each is drawn, lit or as its shadow), but a
  // score's digits come one by one as a round plays: when the first digit of a master is asked for, its
  // others are drawn too, after what the program asked for, so that none is drawn while a round plays.
  function prefetchDigits(r, scale) {
    if (r[1] !== 'digit') return;
    recipes.forEach((o, name) => {
      const key = name + '@' + scale;
      if (o[1] !== 'digit' || o[2] !== r[2] || failed.has(name) || asked.has(key)) return;
      asked.add(key);
      later.push(key);
    });
  }

  Module.plumbrickArt = {
    // Whether no picture is being drawn or waits to be.
    idle: () => !working && queue.length === 0 && later.length === 0,
    // Whether the picture is drawn at scale and waits for the program to take it.
    drawn: (name, scale) => ready.has(name + '@' + scale),
    // A picture at scale pixels a point, for a look at it (the program's own come through take).
    draw: (name, scale) => {
      if (!recipes) readRecipes();
      if (!recipes.has(name)) return Promise.reject(new Error('no recipe for ' + name));
      return draw(recipes.get(name), scale);
    },
    has(name) {
      if (!recipes) readRecipes();
      return recipes.has(name) && !failed.has(name);
    },
    // The picture, copied into the program's memory (it frees it): [pointer, width, height]; or null while it
    // is being drawn (asked for now if it was not), or when it cannot be drawn.
    take(name, scale) {
      if (scale !== lastScale) forgetOtherScales(scale);
      const key = name + '@' + scale;
      if (ready.has(key)) {
        const picture = ready.get(key);
        ready.delete(key);
        asked.delete(key);
        const ptr = Module._malloc(picture.pixels.length);
        if (!ptr) return null;
        HEAPU8.set(picture.pixels, ptr);
        return [ptr, picture.w, picture.h];
      }
      if (!this.has(name)) return null;
      wanted.add(key);
      const waiting = later.indexOf(key);
      if (waiting >= 0) {
        later.splice(waiting, 1); // wanted now: drawn before the others
        queue.push(key);
      } else if (!asked.has(key)) {
        asked.add(key);
        queue.push(key);
        prefetchDigits(recipes.get(name), scale);
        work();
      }
      return null;
    },
  };
})();
