// The economics page: the capital-cost sets (one per exchanger type, and
// DEFAULT for every type without its own) and the economic parameters of
// the whole database. A locked value (status 2, or a locked set) is shown
// read only; the lock itself is a checkbox.

import {h, fill, refill, report, statusBox, shown} from './dom.js';
import {get, patch, post, del, seg, onTopic} from './api.js';
import {editableTable} from './table.js';

const SET_FIELDS = [
  ['coefficient0', 'Coefficient 0'], ['coefficient1', 'Coefficient 1'],
  ['coefficient2', 'Coefficient 2'], ['switch', 'Switch'],
];
const INFO_FIELDS = [
  ['parameter3', 'Parameter 3'], ['parameter4', 'Parameter 4'], ['operating_hours', 'Operating hours'],
];
const LOCKED = 2;

export async function draw(main, ctx) {
  const outcome = statusBox();
  const lockBox = h('p');
  const setsBox = h('div', {class: 'table-box'});
  const infoBox = h('div', {class: 'table-box'});
  const newSet = h('input', {type: 'text', id: 'new-set', list: 'set-names', required: true, autocomplete: 'off'});
  const names = h('datalist', {id: 'set-names'});
  const kept = ctx.session.saved_sections || [];
  fill(main, h('h1', {text: ctx.title}),
    kept.includes('economics') ? null
      : h('p', {class: 'note', text: `A Save of this file keeps only its ${kept.join(' and ')}; ` +
        'economic data are not kept in it.'}),
    outcome, lockBox,
    h('section', {'aria-labelledby': 'sets-h'}, h('h2', {id: 'sets-h', text: 'Capital-cost sets'}), setsBox,
      h('form', {class: 'inline', onsubmit: addSet},
        h('label', {for: 'new-set', text: 'New set for exchanger type'}), newSet, names,
        h('button', {type: 'submit', text: 'Add set'}))),
    h('section', {'aria-labelledby': 'info-h'}, h('h2', {id: 'info-h', text: 'Economic parameters'}), infoBox));

  async function refresh() {
    const result = await get('/api/economics');
    if (!result.ok) {
      report(outcome, result);
      return;
    }
    const d = result.data;
    const lock = h('input', {type: 'checkbox', id: 'economics-locked', checked: Boolean(d.locked)});
    lock.addEventListener('change', () => change({locked: lock.checked}, lock.checked ? 'Locked.' : 'Unlocked.'));
    refill(lockBox, lock, ' ', h('label', {for: 'economics-locked', text: 'Economic data locked (read only)'}));
    fill(names, (d.exchanger_types || []).map((t) => h('option', {value: shown(t)})));
    fill(setsBox, editableTable({
      caption: 'Capital-cost sets (locked values are read only)',
      columns: [{field: 'name', label: 'Set', kind: 'fixed'},
        ...SET_FIELDS.map(([field, label]) => ({field, label, kind: 'number',
          readonly: (row) => row.locked || row.status[field] === LOCKED}))],
      rows: (d.sets || []).map(flatten),
      key: (row) => row.name,
      name: (row) => row.name,
      commit: (row, field, value) => change({set: row.name, field, value}, `${row.name}: ${field} changed.`),
      actionsLabel: 'Remove',
      actions: (row) => (row.name === 'DEFAULT' ? '' : h('button', {type: 'button', text: 'Remove',
        'aria-label': `Remove the set ${row.name}`, disabled: Boolean(d.locked), onclick: () => removeSet(row)})),
    }));
    fill(infoBox, d.info ? editableTable({
      caption: 'Economic parameters (locked values are read only)',
      columns: [{field: 'name', label: 'Record', kind: 'fixed'},
        ...INFO_FIELDS.map(([field, label]) => ({field, label, kind: 'number',
          readonly: (row) => row.locked || row.status[field] === LOCKED}))],
      rows: [flatten({...d.info, name: 'Whole database'})],
      key: () => 'info',
      name: () => 'the database',
      commit: (row, field, value) => change({field, value}, `${field.replace(/_/g, ' ')} changed.`),
    }) : h('p', {text: 'No economic parameters.'}));
  }

  async function change(body, success) {
    const result = await patch('/api/economics', body);
    report(outcome, result, result.ok ? success : '');
    if (result.ok) await refresh();
    return result;
  }

  async function addSet(e) {
    e.preventDefault();
    const name = newSet.value.trim();
    if (!name) return;
    const result = await post('/api/economics', {name});
    report(outcome, result, result.ok ? `Set ${name} added.` : '');
    if (result.ok) {
      newSet.value = '';
      await refresh();
    }
  }

  async function removeSet(row) {
    if (!window.confirm(`Remove the capital-cost set ${row.name}?`)) return;
    const result = await del(`/api/economics/${seg(row.name)}`);
    report(outcome, result, result.ok ? `Set ${row.name} removed.` : '');
    if (result.ok) await refresh();
  }

  onTopic(['economics'], refresh);
  await refresh();
}

// {name, locked, values: {f: {value, status}}} as {name, locked, f: value,
// status: {f: status}}.
function flatten(record) {
  const row = {name: record.name, locked: Boolean(record.locked), status: {}};
  for (const [field, v] of Object.entries(record.values || {})) {
    row[field] = v && typeof v === 'object' ? v.value : v;
    row.status[field] = v && typeof v === 'object' ? v.status : 1;
  }
  return row;
}
