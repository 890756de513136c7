// The utilities page: the utility table, every cell editable, the ladder
// of their temperature ranges beside it, adding and removing utilities and
// the utility the database recommends for a temperature.

import {h, fill, report, statusBox, shown} from './dom.js';
import {get, patch, post, del, seg, onTopic} from './api.js';
import {editableTable, focusAfterRedraw, takePendingFocus} from './table.js';

// Temperatures in degrees Celsius.
const NUMBERS = [
  ['inlet', 'Inlet temperature', 'Inlet °C'], ['outlet', 'Outlet temperature', 'Outlet °C'],
  ['ar_low', 'Lower range temperature', 'Range low °C'], ['ar_high', 'Upper range temperature', 'Range high °C'],
  ['delta_t_min', 'Minimum approach', 'ΔT min'], ['htc', 'Heat-transfer coefficient', 'HTC'],
  ['cost', 'Cost', 'Cost'],
];

export async function draw(main, ctx) {
  const outcome = statusBox();
  const tableBox = h('div', {class: 'table-box'});
  const ladder = h('img', {src: ladderSource(), alt: 'Temperature ranges of the utilities, hot and cold, as a ladder',
    class: 'ladder'});
  const nameField = h('input', {type: 'text', id: 'new-utility', name: 'name', required: true, autocomplete: 'off'});
  const addForm = h('form', {class: 'inline', onsubmit: add},
    h('label', {for: 'new-utility', text: 'New utility name'}), nameField,
    h('button', {type: 'submit', text: 'Add utility'}));

  const temperature = h('input', {type: 'text', id: 'rec-temperature', inputmode: 'decimal', required: true, size: 8});
  const side = h('select', {id: 'rec-side'},
    h('option', {value: 'hot', text: 'hot (heats the process)'}),
    h('option', {value: 'cold', text: 'cold (cools the process)'}));
  const recommendation = h('output', {id: 'recommendation', 'aria-live': 'polite'});
  const recommendForm = h('form', {class: 'inline', onsubmit: recommend},
    h('label', {for: 'rec-temperature', text: 'Process temperature (°C)'}), temperature,
    h('label', {for: 'rec-side', text: 'Side'}), side,
    h('button', {type: 'submit', text: 'Recommend'}), recommendation);

  fill(main, h('h1', {text: ctx.title}), outcome,
    h('div', {class: 'side-by-side'}, tableBox,
      h('figure', {}, ladder, h('figcaption', {text: 'Utility ladder'}))),
    h('section', {'aria-labelledby': 'add-h'}, h('h2', {id: 'add-h', text: 'Add a utility'}), addForm),
    h('section', {'aria-labelledby': 'rec-h'}, h('h2', {id: 'rec-h', text: 'Recommended utility'}),
      recommendForm));

  let exchangerTypes = [];
  async function refresh() {
    const result = await get('/api/utilities');
    if (!result.ok) {
      report(outcome, result);
      return;
    }
    exchangerTypes = (result.data.exchanger_types || []).map(option);
    const rows = result.data.utilities || [];
    fill(tableBox, editableTable({
      caption: 'Utilities',
      columns: [
        {field: 'name', label: 'Name', kind: 'text'},
        {field: 'type', label: 'Type', kind: 'fixed'},
        ...NUMBERS.map(([field, label, short]) => ({field, label, short: short === label ? null : short,
          kind: 'number', wide: field === 'cost'})),
        {field: 'exchanger_type', label: 'Exchanger type', kind: 'select', options: exchangerTypes},
        // Fuel figures follow the fuel choice of the fuels page.
        {field: 'fuel', label: 'Fuel', kind: 'fixed'},
        {field: 'co2_emission_factor', label: 'CO2 emission factor', short: 'CO2 factor', kind: 'fixed'},
      ],
      rows,
      key: (row) => row.name,
      name: (row) => row.name,
      commit: edit,
      actionsLabel: 'Remove',
      actions: (row) => h('button', {type: 'button', 'aria-label': `Remove ${row.name}`, text: 'Remove',
        onclick: () => remove(row)}),
    }));
    takePendingFocus(tableBox);
    ladder.src = ladderSource();
  }

  async function edit(row, field, value) {
    const result = await patch(`/api/utilities/${seg(row.name)}`, {field, value});
    report(outcome, result, result.ok ? `${row.name}: ${field.replace(/_/g, ' ')} changed.` : '');
    if (result.ok) {
      if (field === 'name') focusAfterRedraw(`${value}\u0000name`);
      await refresh();
    }
    return result;
  }

  async function add(e) {
    e.preventDefault();
    const name = nameField.value.trim();
    if (!name) return;
    const result = await post('/api/utilities', {name});
    report(outcome, result, result.ok ? `${name} added.` : '');
    if (result.ok) {
      nameField.value = '';
      await refresh();
    }
  }

  async function remove(row) {
    if (!window.confirm(`Remove the utility ${row.name}?`)) return;
    const result = await del(`/api/utilities/${seg(row.name)}`);
    report(outcome, result, result.ok ? `${row.name} removed.` : '');
    if (result.ok) await refresh();
  }

  async function recommend(e) {
    e.preventDefault();
    const query = new URLSearchParams({temperature: temperature.value.trim(), side: side.value});
    const result = await get(`/api/utilities/recommend?${query}`);
    if (!result.ok) {
      recommendation.className = 'error';
      recommendation.textContent = result.error;
      if (result.key) recommendation.title = result.key;
      return;
    }
    recommendation.className = 'ok';
    recommendation.removeAttribute('title');
    recommendation.textContent = describe(result.data);
  }

  onTopic(['utilities', 'fuels'], refresh);
  await refresh();
}

function option(value) {
  if (value && typeof value === 'object') {
    return {value: value.value ?? value.name, label: value.label ?? value.name ?? shown(value.value)};
  }
  return {value, label: shown(value)};
}

// The recommendation as a sentence, whatever form the answer takes.
function describe(data) {
  const found = data.utility ?? data.recommended ?? data.name;
  if (found === null || found === undefined || found === '') {
    return data.reason || 'No utility serves that temperature.';
  }
  const name = typeof found === 'object' ? found.name : found;
  return `Use ${name}.` + (data.reason ? ` ${data.reason}` : '');
}

let ladderVersion = 0;
function ladderSource() {
  ladderVersion += 1;
  return `/api/utilities/ladder.svg?v=${Date.now()}-${ladderVersion}`;
}
