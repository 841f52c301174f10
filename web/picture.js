// The picture of the cell: the direct cell as a parallelepiped seen from
// above a corner, its edges a, b, c as arrows from the origin and the
// reciprocal axes a*, b*, c* dashed beside them, drawn into box.
// eslint-disable-next-line no-unused-vars
function dorvexPicture(box) {
  'use strict';
  const svg = (tag, attrs, text) => {
    const e = document.createElementNS('http://www.w3.org/2000/svg', tag);
    for (const [k, v] of Object.entries(attrs)) e.setAttribute(k, v);
    if (text !== undefined) e.textContent = text;
    return e;
  };

  // The direct cell as a parallelepiped seen from above a corner, its edges
  // a, b, c as arrows from the origin and the reciprocal axes a*, b*, c*
  // dashed beside them; a sentence instead when no cell has these values.
  function draw(c) {
    box.textContent = '';
    const d = c && c.direct;
    const rad = Math.PI / 180;
    const cos = d ? [3, 4, 5].map((k) => Math.cos(d[k] * rad)) : [];
    const w = d ? 1 + 2 * cos[0] * cos[1] * cos[2] - cos[0] ** 2 - cos[1] ** 2 - cos[2] ** 2 : NaN;
    if (!d || !d.every(Number.isFinite) || !(d[0] > 0 && d[1] > 0 && d[2] > 0) || !(w > 1e-12)) {
      const p = document.createElement('p');
      p.className = 'none';
      p.textContent = d ? 'No cell exists with these values: nothing to draw.'
        : 'No values yet: nothing to draw.';
      box.append(p);
      return;
    }
    const [a, b, cc] = d, [ca, cb, cg] = cos, sg = Math.sin(d[5] * rad);
    const A = [a, 0, 0], B = [b * cg, b * sg, 0];
    const cy = cc * (ca - cb * cg) / sg;
    const C = [cc * cb, cy, Math.sqrt(Math.max(cc * cc - (cc * cb) ** 2 - cy * cy, 0))];
    const add = (...v) => v.reduce((s, x) => s.map((y, i) => y + x[i]));
    const cross = (u, v) => [u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]];
    const len = (u) => Math.hypot(...u);
    const az = 30 * rad, el = 20 * rad;
    const project = ([x, y, z]) => [-x * Math.sin(az) + y * Math.cos(az),
      -(z * Math.cos(el) - (x * Math.cos(az) + y * Math.sin(az)) * Math.sin(el))];
    const O = [0, 0, 0];
    const corners = [O, A, B, C, add(A, B), add(A, C), add(B, C), add(A, B, C)];
    const edges = [[0, 1], [0, 2], [0, 3], [1, 4], [1, 5], [2, 4], [2, 6], [3, 5],
      [3, 6], [4, 7], [5, 7], [6, 7]];
    const size = Math.max(...corners.map(len));
    const stars = [cross(B, C), cross(C, A), cross(A, B)];
    const longest = Math.max(...c.recip.slice(0, 3));
    const starAxes = stars.map((s, k) => s.map((x) => x / len(s) * 0.6 * size * c.recip[k] / longest));
    const points = [...corners, ...starAxes].map(project);
    if (!points.flat().every(Number.isFinite) || !(size > 0) || !Number.isFinite(size)) {
      const p = document.createElement('p');
      p.className = 'none';
      p.textContent = 'This cell is too large or too flat to draw.';
      box.append(p);
      return;
    }
    // the labels, a, b, c beyond their arrows' tips, a*, b*, c* beyond
    // theirs and off the direct axes, then moved apart from each other
    const o = points[0], font = size / 12;
    const out = (p, by) => [o[0] + (p[0] - o[0]) * by, o[1] + (p[1] - o[1]) * by];
    const labels = ['a', 'b', 'c'].map((name, k) => ({ name, colour: `var(--${name})`,
      at: out(points[1 + k], 1.12) }));
    ['a*', 'b*', 'c*'].forEach((name, k) => labels.push({ name, colour: 'var(--star)',
      at: clear(out(points[8 + k], 1.2), o, out(points[1 + k], 1.12), size / 9) }));
    apart(labels, font);
    const xs = points.map((p) => p[0]), ys = points.map((p) => p[1]);
    for (const l of labels) {
      const [hw, hh] = half(l, font);
      xs.push(l.at[0] - hw, l.at[0] + hw);
      ys.push(l.at[1] - hh, l.at[1] + hh);
    }
    const pad = 0.05 * size;
    const x0 = Math.min(...xs) - pad, y0 = Math.min(...ys) - pad;
    const width = Math.max(...xs) - x0 + pad, height = Math.max(...ys) - y0 + pad;
    const s = svg('svg', { viewBox: `${x0} ${y0} ${width} ${height}`, role: 'img',
      'aria-labelledby': 'cell-title cell-desc' });
    const f = c.texts.direct, g = (k) => Math.round(d[k] * 100) / 100;
    s.append(svg('title', { id: 'cell-title' }, 'The direct cell and its reciprocal axes'));
    s.append(svg('desc', { id: 'cell-desc' }, `A parallelepiped with edges a = ${f[0]} Å, ` +
      `b = ${f[1]} Å and c = ${f[2]} Å, and angles α = ${g(3)}°, β = ${g(4)}° and ` +
      `γ = ${g(5)}°, drawn from one corner with a, b and c as arrows; beside them, ` +
      'dashed, the reciprocal axes a*, b* and c*, each at right angles to the two ' +
      'edges it is not named after, their lengths in proportion.'));
    const stroke = size / 150;
    const defs = svg('defs', {});
    for (const name of ['a', 'b', 'c', 'star']) {
      const m = svg('marker', { id: `arrow-${name}`, viewBox: '0 0 10 10', refX: 9,
        refY: 5, markerUnits: 'userSpaceOnUse', markerWidth: size / 22,
        markerHeight: size / 22, orient: 'auto-start-reverse' });
      m.append(svg('path', { d: 'M0 1L10 5L0 9z', fill: `var(--${name})` }));
      defs.append(m);
    }
    s.append(defs);
    const line = (p, q, attrs) => s.append(svg('line', { x1: p[0], y1: p[1], x2: q[0], y2: q[1],
      'stroke-width': stroke, ...attrs }));
    for (const [i, j] of edges)
      line(points[i], points[j], { stroke: 'var(--line)' });
    ['a', 'b', 'c'].forEach((name, k) =>
      line(o, points[1 + k], { stroke: `var(--${name})`, 'stroke-width': 2.5 * stroke,
        'marker-end': `url(#arrow-${name})` }));
    [8, 9, 10].forEach((k) =>
      line(o, points[k], { stroke: 'var(--star)', 'stroke-width': 1.5 * stroke,
        'stroke-dasharray': `${4 * stroke} ${3 * stroke}`, 'marker-end': 'url(#arrow-star)' }));
    for (const l of labels)
      s.append(svg('text', { x: l.at[0], y: l.at[1], 'font-size': font, fill: l.colour,
        'text-anchor': 'middle', 'dominant-baseline': 'middle' }, l.name));
    box.append(s);
  }

  // Half the width and height a label takes, with a little room: a
  // character is at most 0.65 of the font size wide.
  const half = (l, font) => [0.36 * font * l.name.length + 0.1 * font, 0.62 * font];

  // Labels whose boxes meet are pushed apart along the line between their
  // centres (or sideways, if they share one) until none meets another.
  function apart(labels, font) {
    for (let round = 0; round < 100; ++round) {
      let moved = false;
      for (let i = 0; i < labels.length; ++i)
        for (let j = i + 1; j < labels.length; ++j) {
          const p = labels[i], q = labels[j];
          const [pw, ph] = half(p, font), [qw, qh] = half(q, font);
          const dx = q.at[0] - p.at[0], dy = q.at[1] - p.at[1];
          const ox = pw + qw - Math.abs(dx), oy = ph + qh - Math.abs(dy);
          if (ox <= 0 || oy <= 0) continue;
          // the shorter way out: sideways or up and down
          const [ux, uy] = ox < oy ? [Math.sign(dx) || 1, 0] : [0, Math.sign(dy) || 1];
          const by = (Math.min(ox, oy) / 2) * 1.05;
          p.at = [p.at[0] - ux * by, p.at[1] - uy * by];
          q.at = [q.at[0] + ux * by, q.at[1] + uy * by];
          moved = true;
        }
      if (!moved) return;
    }
  }

  // Point q moved at right angles off the segment from-to until it is gap
  // away from it (a label that must not sit on a line).
  function clear(q, from, to, gap) {
    const dx = to[0] - from[0], dy = to[1] - from[1], span = Math.hypot(dx, dy) || 1;
    const t = Math.max(0, Math.min(1, ((q[0] - from[0]) * dx + (q[1] - from[1]) * dy) / span ** 2));
    const nx = q[0] - from[0] - t * dx, ny = q[1] - from[1] - t * dy, far = Math.hypot(nx, ny);
    if (far >= gap) return q;
    const [ux, uy] = far > 1e-9 * span ? [nx / far, ny / far] : [-dy / span, dx / span];
    return [q[0] + ux * (gap - far), q[1] + uy * (gap - far)];
  }

  return draw;
}
