// The heat-transfer coefficients page: the list of named coefficients, each
// editable, with adding and removing.

import {h, fill, report, statusBox} from './dom.js';
import {get, patch, post, del, seg, onTopic} from './api.js';
import {editableTable} from './table.js';

export async function draw(main, ctx) {
  const outcome = statusBox();
  const tableBox = h('div', {class: 'table-box'});
  const name = h('input', {type: 'text', id: 'new-coefficient', required: true, autocomplete: 'off'});
  const value = h('input', {type: 'text', id: 'new-coefficient-value', inputmode: 'decimal', size: 8});
  const note = h('input', {type: 'text', id: 'new-coefficient-note'});
  const kept = ctx.session.saved_sections || [];
  fill(main, h('h1', {text: ctx.title}),
    kept.includes('coefficients') ? null
      : h('p', {class: 'note', text: 'A Save of this file keeps only its ' + kept.join(' and ') +
        '; coefficients are not kept in it.'}),
    outcome, tableBox,
    h('section', {'aria-labelledby': 'add-h'}, h('h2', {id: 'add-h', text: 'Add a coefficient'}),
      h('form', {class: 'inline', onsubmit: add},
        h('label', {for: 'new-coefficient', text: 'Name'}), name,
        h('label', {for: 'new-coefficient-value', text: 'Value'}), value,
        h('label', {for: 'new-coefficient-note', text: 'Note'}), note,
        h('button', {type: 'submit', text: 'Add coefficient'}))));

  async function refresh() {
    const result = await get('/api/coefficients');
    if (!result.ok) {
      report(outcome, result);
      return;
    }
    fill(tableBox, editableTable({
      caption: 'Heat-transfer coefficients',
      columns: [
        {field: 'index', label: 'Number', kind: 'fixed'},
        {field: 'name', label: 'Name', kind: 'text'},
        {field: 'value', label: 'Value', kind: 'number'},
        {field: 'note', label: 'Note', kind: 'text'},
      ],
      rows: result.data.coefficients || [],
      key: (row) => String(row.index),
      name: (row) => row.name || `coefficient ${row.index}`,
      commit: edit,
      actionsLabel: 'Remove',
      actions: (row) => h('button', {type: 'button', text: 'Remove',
        'aria-label': `Remove ${row.name || `coefficient ${row.index}`}`, onclick: () => remove(row)}),
    }));
  }

  async function edit(row, field, newValue) {
    const result = await patch(`/api/coefficients/${seg(row.index)}`, {field, value: newValue});
    report(outcome, result, result.ok ? `${row.name}: ${field} changed.` : '');
    if (result.ok) await refresh();
    return result;
  }

  async function add(e) {
    e.preventDefault();
    const body = {name: name.value.trim()};
    if (value.value.trim() !== '') body.value = Number(value.value);
    if (note.value.trim() !== '') body.note = note.value;
    const result = await post('/api/coefficients', body);
    report(outcome, result, result.ok ? `${body.name} added.` : '');
    if (result.ok) {
      name.value = '';
      value.value = '';
      note.value = '';
      await refresh();
    }
  }

  async function remove(row) {
    if (!window.confirm(`Remove the coefficient ${row.name}?`)) return;
    const result = await del(`/api/coefficients/${seg(row.index)}`);
    report(outcome, result, result.ok ? `${row.name} removed.` : '');
    if (result.ok) await refresh();
  }

  onTopic(['coefficients'], refresh);
  await refresh();
}
