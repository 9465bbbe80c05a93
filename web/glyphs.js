// Glyphs from the browser's text drawing, for the program's shared text layout: faces by name and
// size, each glyph's advance, its box relative to the pen on the baseline and its coverage. The page
// uses it with its own canvases, the tests under Node with a canvas library's.
'use strict';
(function (exports) {
  // The shipped face's vertical metrics (font units), so that a height means what it means on the
  // desktop: the cell from ascent to descent.
  const FACE = { units: 2048, ascent: 1918, descent: 483 };
  const SHIPPED = 'cardbattle-text';

  // createCanvas(width, height) gives a canvas with a 2D context.
  function glyphSource(createCanvas) {
    const faces = new Map();
    let nextFace = 0;
    const canvas = createCanvas(64, 64);
    const context = canvas.getContext('2d', { willReadFrequently: true });
    let coverage = new Uint8Array(0); // the last glyph drawn

    // A face: the family asked for where the browser has it, the shipped face otherwise. A width
    // gives the average character width, a full-width character taking two.
    function openFace(name, height, width, bold) {
      const em = height * FACE.units / (FACE.ascent + FACE.descent);
      const family = name.replace(/["\\]/g, '');
      const id = nextFace++;
      faces.set(id, {
        font: `${bold ? 'bold ' : ''}${em}px ${family ? `"${family}", ` : ''}"${SHIPPED}", sans-serif`,
        stretch: width > 0 ? width * 2 / em : 1,
        lineHeight: height,
        // The browser's outlines are not hinted to whole pixels as the desktop's are: the baseline
        // is rounded up the line, so that descenders keep within it there too.
        ascent: Math.floor(FACE.ascent * em / FACE.units),
      });
      return id;
    }

    // The box is the ink's as the browser measures it, a pixel wider on every side than any
    // rounding of its drawing can make it, and empty for a glyph without ink.
    function measure(face, text) {
      context.setTransform(1, 0, 0, 1, 0, 0);
      context.font = face.font;
      const m = context.measureText(text);
      const left = Math.floor(-m.actualBoundingBoxLeft * face.stretch) - 1;
      const right = Math.ceil(m.actualBoundingBoxRight * face.stretch) + 1;
      // Kept within the face's cell, as the desktop's hinted glyphs keep: what the browser's
      // unhinted outlines put beyond it is a faint fringe that would cross into the next line.
      const top = Math.min(Math.ceil(m.actualBoundingBoxAscent) + 1, face.ascent);
      const bottom = Math.min(Math.ceil(m.actualBoundingBoxDescent) + 1, face.lineHeight - face.ascent);
      const box = { left, top, width: right - left, rows: top + bottom };
      if (box.width <= 2 || box.rows <= 2) Object.assign(box, { left: 0, top: 0, width: 0, rows: 0 });
      return { advance: Math.round(m.width * face.stretch), box };
    }

    function draw(face, text, box) {
      if (canvas.width < box.width || canvas.height < box.rows) {
        canvas.width = Math.max(canvas.width, box.width);
        canvas.height = Math.max(canvas.height, box.rows);
      }
      context.setTransform(1, 0, 0, 1, 0, 0);
      context.clearRect(0, 0, box.width, box.rows);
      context.setTransform(face.stretch, 0, 0, 1, -box.left, box.top);
      context.font = face.font;
      context.fillStyle = '#fff';
      context.fillText(text, 0, 0);
      const rgba = context.getImageData(0, 0, box.width, box.rows).data;
      coverage = new Uint8Array(box.width * box.rows);
      for (let i = 0; i < coverage.length; i++) coverage[i] = rgba[i * 4 + 3];
    }

    // A glyph's advance and box; drawn too when asked (its coverage then waits for lastCoverage).
    function glyph(id, codePoint, drawIt) {
      const face = faces.get(id);
      if (!face || codePoint < 0 || codePoint > 0x10ffff) return { advance: 0, box: { left: 0, top: 0, width: 0, rows: 0 } };
      const text = String.fromCodePoint(codePoint);
      const g = measure(face, text);
      if (drawIt) {
        coverage = new Uint8Array(0);
        if (g.box.width > 0) draw(face, text, g.box);
      }
      return g;
    }

    return {
      openFace,
      faceMetrics: (id) => faces.get(id) || { lineHeight: 0, ascent: 0 },
      closeFace: (id) => faces.delete(id),
      glyph,
      lastCoverage: () => coverage,
    };
  }

  exports.glyphSource = glyphSource;
})(typeof module === 'object' ? module.exports : (globalThis.cardbattle = globalThis.cardbattle || {}));
