// The page's reflection list: every reflection of the form's lattice down
// to a d_min (or up to a 2 theta_max for the wavelength), with d and 2 theta
// for a named X-ray line or any wavelength; the whole list as CSV.
// page: what the page shares ($, api, copy, current, remember).
// eslint-disable-next-line no-unused-vars
function dorvexReflections(page) {
  'use strict';
  const { $, api } = page;
  const shown = 200;  // rows in the table; the CSV has them all
  const select = $('wavelength');
  for (const [name, lambda] of Object.entries(api.xrayLines)) {
    const option = document.createElement('option');
    option.value = name;
    option.textContent = `${name.replace(/K([ab])/, (_, x) => (x === 'a' ? ' Kα' : ' Kβ'))}` +
      ` (${lambda} Å)`;
    select.append(option);
  }
  const other = document.createElement('option');
  other.value = 'other';
  other.textContent = 'another, in Å';
  select.append(other);
  select.value = 'CuKa1';
  let list = [];

  // The wavelength chosen, in Å; NaN for a typed one that is no length.
  function wavelength() {
    if (select.value !== 'other') return api.xrayLines[select.value];
    const got = api.readNumber($('lambda').value);
    return got && got.value > 0 ? got.value : NaN;
  }

  // After the form's lattice changes, the list is made once typing pauses:
  // its table would hold up each key's frame several times over.
  let pending = 0;
  function soon() {
    clearTimeout(pending);
    pending = setTimeout(update, 150);
  }

  function update() {
    clearTimeout(pending);
    pending = 0;
    const c = page.current();
    const body = $('reflections-body');
    body.textContent = '';
    $('lambda-label').hidden = select.value !== 'other';
    list = [];
    let why = '';
    const lambda = wavelength();
    let dMin = api.readNumber($('d-min').value)?.value;
    const tMax = api.readNumber($('two-theta-max').value)?.value;
    if (tMax > 0 && tMax <= 180 && lambda > 0)  // Bragg's law at 2 theta_max
      dMin = lambda / (2 * Math.sin(tMax * Math.PI / 360));
    if (!c) why = 'No lattice yet: every field of the form needs a number.';
    else if (!(dMin > 0)) why = 'Give d_min in Å, or 2θ_max in degrees.';
    else {
      try {
        list = api.reflections(c, dMin, Number.isNaN(lambda) ? null : lambda);
      } catch (e) {
        why = e.message.startsWith('dMin is too small')
          ? 'd_min is too small for this cell: raise it.' : 'No such cell: nothing to list.';
      }
    }
    $('reflections-why').textContent = why;
    $('reflections-count').textContent = why ? '' :
      `${list.length} reflection${list.length === 1 ? '' : 's'} with d ≥ ${dMin.toPrecision(6)} Å` +
      (list.length > shown ? `; the first ${shown} shown, all in the CSV` : '') + '.';
    const rows = list.slice(0, shown).map((r) => `<tr><td>${r.h}</td><td>${r.k}</td>` +
      `<td>${r.l}</td><td>${r.d}</td><td>${r.twoTheta ?? '—'}</td></tr>`);
    body.innerHTML = rows.join('');
  }

  // h,k,l,d,two_theta; an empty field where the wavelength cannot reach
  function csv() {
    return 'h,k,l,d,two_theta\n' + list.map((r) =>
      `${r.h},${r.k},${r.l},${r.d},${r.twoTheta ?? ''}`).join('\n') + '\n';
  }

  for (const id of ['d-min', 'two-theta-max', 'lambda', 'wavelength'])
    $(id).addEventListener('input', update);
  $('copy-reflections').addEventListener('click', () => {
    if (pending) update();  // the list of the lattice as it stands
    if (list.length) page.copy(csv(), 'CSV of the reflections', $('reflections-status'));
    else $('reflections-status').textContent = 'No reflections to copy.';
  });
  return { update, soon, csv };
}
