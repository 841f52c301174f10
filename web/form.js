// The form: six fields for the description chosen, read as the program
// reads answers, converted as they are typed through the C API, with the
// three descriptions at full precision, the picture and the report.
// page: what the page shares ($, api, words, draw, program, copy,
// overflows, remember).
// eslint-disable-next-line no-unused-vars
function dorvexForm(page) {
  'use strict';
  const { $, api, words } = page;
  const form = $('cell'), fields = $('fields');
  let conversion = null, mode = 2, convention = '2pi';

  for (let k = 0; k < 6; ++k) {
    const field = document.createElement('div');
    field.className = 'field';
    field.innerHTML = `<label for="v${k}" id="name${k}"></label>` +
      `<input type="text" id="v${k}" inputmode="decimal" spellcheck="false" ` +
      `autocapitalize="off" aria-describedby="unit${k} why${k}">` +
      `<span class="unit" id="unit${k}"></span>` +
      `<p class="why" id="why${k}" aria-live="polite"></p>`;
    fields.append(field);
  }
  const inputs = [0, 1, 2, 3, 4, 5].map((k) => $(`v${k}`));

  function relabel() {
    const m = words.modes[mode];
    const named = convention === '1' ? 'a* = 1/a' : '2π';
    $('fields-legend').textContent = mode === 3 ? `The reciprocal cell (${named})` : m.legend;
    $('recip-caption').textContent = `Reciprocal cell (${named})`;
    m.names.forEach((name, k) => {
      $(`name${k}`).textContent = name;
      $(`unit${k}`).textContent = m.units[k];
      $(`unit${k}`).setAttribute('aria-label', `in ${m.units[k]}`);
    });
  }

  function valuesTable(what) {
    const { names, units } = words.modes[words.described[what]];
    const title = { form: 'Metric form', direct: 'Direct cell', recip: 'Reciprocal cell' }[what];
    const rows = names.map((name, k) => `<tr><th scope="row">${name}</th>` +
      `<td class="value" id="${what}${k}"></td><td>${units[k]}</td></tr>` +
      `<tr class="trouble" id="${what}${k}-trouble" hidden><td colspan="3"></td></tr>`);
    return `<table><caption id="${what}-caption">${title}</caption>${rows.join('')}</table>`;
  }
  $('values').innerHTML = `<div class="values-group">${valuesTable('form')}` +
    `${valuesTable('direct')}${valuesTable('recip')}</div>`;

  function update() {
    const texts = inputs.map((i) => i.value);
    let ok = true;
    texts.forEach((t, k) => {
      const why = words.whyNot(t, true);
      $(`why${k}`).textContent = why;
      inputs[k].setAttribute('aria-invalid', why ? 'true' : 'false');
      if (why) ok = false;
    });
    page.remember();
    if (!ok) {
      conversion = null;
      $('form-errors').textContent = 'Each field needs one number, as ' +
        'said beside it.';
      for (const what of ['form', 'direct', 'recip'])
        for (let k = 0; k < 6; ++k) {
          $(`${what}${k}`).textContent = '';
          $(`${what}${k}-trouble`).hidden = true;
        }
      $('report').textContent = '';
      $('volume').textContent = $('recip-volume').textContent = '';
      $('summary').textContent = '';
      page.draw(null);
      page.overflows();
      page.converted();
      return;
    }
    conversion = api.convertTexts(mode, texts, { convention });
    conversion.mode = mode;
    conversion.given = texts;
    const troubles = {};
    const said = conversion.domainErrors.map((e) => {
      const s = words.sayError(e, mode);
      (troubles[s.at.join()] ??= []).push(s.text);
      return s.text;
    });
    $('form-errors').textContent = said.length
      ? `${said.length} domain error${said.length > 1 ? 's' : ''}, as the ` +
        `program reports them: ${said.join(' ')}` : '';
    // a value with an s.u. as crystallographers write it
    const shown = (t, x, su) => (su > 0 ? api.formatSu(x, su) || t : t);
    for (const what of ['form', 'direct', 'recip'])
      conversion.texts[what].forEach((t, k) => {
        $(`${what}${k}`).textContent = shown(t, conversion[what][k], conversion.su[what][k]);
        const trouble = troubles[[what, k].join()];
        $(`${what}${k}-trouble`).hidden = !trouble;
        $(`${what}${k}-trouble`).firstChild.textContent = trouble ? trouble.join(' ') : '';
      });
    const volume = (x, su) => (Number.isFinite(x) ? shown(String(x), x, su)
      : 'none: no such cell');
    $('volume').textContent = volume(conversion.volume, conversion.su.volume);
    $('recip-volume').textContent = volume(conversion.recipVolume, conversion.su.recipVolume);
    $('report').textContent = '';
    page.program($('report'), conversion.report, 'out');
    summarize();
    page.draw(conversion);
    page.overflows();
    page.converted();
  }

  // The result in a line right under the fields, so that a phone's first
  // screen shows one: the other cell's edges and the volume.
  function summarize() {
    const su = conversion.su;
    const short = (x, s) => (!Number.isFinite(x) ? '—'
      : s > 0 ? api.formatSu(x, s) : String(Number(x.toPrecision(6))));
    const other = mode === 2 ? 'recip' : 'direct';
    const names = other === 'recip' ? ['a*', 'b*', 'c*'] : ['a', 'b', 'c'];
    const unit = other === 'recip' ? 'Å⁻¹' : 'Å';
    $('summary').textContent = names.map((n, k) =>
      `${n} = ${short(conversion[other][k], su[other][k])}`).join(', ') +
      ` ${unit}; V = ${short(conversion.volume, su.volume)} Å³`;
  }

  const status = $('form-status');
  const copyIt = (make, what, missing) => () => (conversion
    ? page.copy(make(conversion), what, status)
    : (status.textContent = `No ${missing} yet: every field needs a number.`));
  $('copy-text').addEventListener('click', copyIt((c) => c.report, 'Report', 'report'));
  $('copy-csv').addEventListener('click', copyIt(words.csv, 'CSV', 'values'));
  $('copy-json').addEventListener('click', copyIt(words.json, 'JSON', 'values'));

  // A new description to start from shows the same lattice in it, at full
  // precision, rather than reading the old six numbers as the new ones.
  form.addEventListener('input', (e) => {
    if (e.target.name === 'mode') {
      const was = conversion;
      mode = Number(e.target.value);
      if (was) {
        const c = api.convertTexts(was.mode, was.given, { convention });
        const what = { 1: 'form', 2: 'direct', 3: 'recip' }[mode];
        c.texts[what].forEach((t, k) => { inputs[k].value = t; });
      }
      relabel();
    } else if (e.target.name === 'convention') {
      const was = conversion;
      convention = e.target.value;
      // a reciprocal cell typed stays the same lattice in the other
      // convention: its lengths as the program scales them
      if (was && mode === 3)
        was.recips[convention].slice(0, 3).forEach((x, k) => {
          if (Number.isFinite(x)) inputs[k].value = String(x);
        });
      relabel();
    }
    update();
  });
  form.addEventListener('submit', (e) => e.preventDefault());

  return {
    inputs, update,
    get conversion() { return conversion; },
    get mode() { return mode; },
    get convention() { return convention; },
    // a mode and six texts, as a link gives them
    set(m, texts, c) {
      mode = m;
      convention = c === '1' ? '1' : '2pi';
      form.querySelector(`input[name="convention"][value="${convention}"]`).checked = true;
      inputs.forEach((input, k) => { input.value = texts[k]; });
      form.querySelector(`input[name="mode"][value="${mode}"]`).checked = true;
      relabel();
    },
  };
}
