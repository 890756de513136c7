// The economics page: the economic data of the utility database, each
// value editable unless it is locked.

import {h, fill, report, statusBox, view, labelOf} from './dom.js';
import {get, patch, onTopic} from './api.js';
import {editableTable} from './table.js';

export async function draw(main, ctx) {
  const outcome = statusBox();
  const box = h('div', {class: 'table-box'});
  const kept = ctx.session.saved_sections || [];
  fill(main, h('h1', {text: ctx.title}),
    kept.includes('economics') ? null
      : h('p', {class: 'note', text: 'A Save of this file keeps only its ' + kept.join(' and ') +
        '; economic data are not kept in it.'}),
    outcome, box);

  async function refresh() {
    const result = await get('/api/economics');
    if (!result.ok) {
      report(outcome, result);
      return;
    }
    const rows = records(result.data);
    const locks = result.data.locks || {};
    if (!rows) {
      fill(box, view(result.data));
      return;
    }
    fill(box, editableTable({
      caption: 'Economic data (locked values are read only)',
      columns: [
        {field: 'label', label: 'Item', kind: 'fixed'},
        {field: 'value', label: 'Value', kind: 'number', readonly: (row) => isLocked(row, locks)},
        {field: 'locked', label: 'Locked', kind: 'fixed'},
      ],
      rows: rows.map((row) => ({...row, label: row.label ?? labelOf(row.name),
        locked: isLocked(row, locks) ? 'locked' : ''})),
      key: (row) => row.name,
      name: (row) => row.label ?? labelOf(row.name),
      commit: edit,
    }));
  }

  async function edit(row, field, value) {
    const result = await patch('/api/economics', {field: row.name, value});
    report(outcome, result, result.ok ? `${row.label ?? row.name} changed.` : '');
    if (result.ok) await refresh();
    return result;
  }

  onTopic(['economics'], refresh);
  await refresh();
}

function isLocked(row, locks) {
  return Boolean(row.locked === true || row.lock === true || locks[row.name]);
}

// The values as [{name, value, locked}], from a list or from an object.
function records(data) {
  for (const key of ['values', 'fields', 'economics', 'items']) {
    if (Array.isArray(data[key])) return data[key];
  }
  const entries = Object.entries(data).filter(([k, v]) => k !== 'messages' && k !== 'locks' &&
    (typeof v === 'number' || v === null));
  if (!entries.length) return null;
  return entries.map(([name, value]) => ({name, value}));
}
