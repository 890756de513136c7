// A table whose cells are fields: a change is sent on Enter or when the
// field loses focus, Escape puts the shown value back. Redrawing keeps the
// field that has the focus, and what was typed into it, in place.

import {h, shown} from './dom.js';

// columns: [{field, label, short, kind: 'text'|'number'|'select'|'check'|
//            'fixed', options: [{value, label}], readonly(row)}]; `short` is
// the header's text when `label` is too long for it; `wide` numbers get
// more room.
// rows: objects; key(row): a stable name for the row; name(row): how the
// row is named in labels; commit(row, field, value): a promise of the
// call's outcome; actions(row): extra cells (buttons) at the end.
export function editableTable({caption, columns, rows, key, name, commit, actions, actionsLabel}) {
  const before = remember();
  const head = h('tr', {}, columns.map((c) => h('th', {scope: 'col'},
    c.short ? h('abbr', {title: c.label, text: c.short}) : c.label)),
    actions ? h('th', {scope: 'col', text: actionsLabel || 'Actions'}) : null);
  const body = rows.map((row) => h('tr', {},
    columns.map((c) => h(c.field === columns[0].field ? 'th' : 'td',
      c.field === columns[0].field ? {scope: 'row'} : {}, cell(row, c))),
    actions ? h('td', {class: 'actions'}, actions(row)) : null));
  const table = h('table', {}, caption ? h('caption', {text: caption}) : null,
    h('thead', {}, head), h('tbody', {}, body));

  function cell(row, c) {
    const value = row[c.field];
    const label = `${c.label} of ${name(row)}`;
    const cellKey = `${key(row)}\u0000${c.field}`;
    if (c.kind === 'fixed' || (c.readonly && c.readonly(row))) {
      return h('span', {class: c.readonly && c.readonly(row) ? 'locked' : null,
        title: c.readonly && c.readonly(row) ? 'Locked: read only' : null}, shown(value));
    }
    if (c.kind === 'check') {
      const box = h('input', {type: 'checkbox', checked: Boolean(value), 'aria-label': label,
        dataset: {cell: cellKey}});
      box.addEventListener('change', () => send(box, box.checked, () => {
        box.checked = !box.checked;
      }));
      return box;
    }
    if (c.kind === 'select') {
      const options = [...(c.options || [])];
      if (!options.some((o) => o.value === value)) options.unshift({value, label: shown(value)});
      const select = h('select', {'aria-label': label, dataset: {cell: cellKey, orig: shown(value)}},
        options.map((o) => h('option', {value: shown(o.value), text: o.label, selected: o.value === value})));
      select.addEventListener('change', () => send(select, select.value, () => {
        select.value = select.dataset.orig;
      }));
      return select;
    }
    const input = h('input', {type: 'text', value: shown(value), 'aria-label': label,
      inputmode: c.kind === 'number' ? 'decimal' : null, size: c.kind === 'number' ? 8 : 13,
      class: c.kind === 'number' ? `num${c.wide ? ' wide' : ''}` : null, dataset: {cell: cellKey, orig: shown(value)}});
    const submit = () => {
      // A redraw removes the field: that is no reason to send what was typed.
      if (input.dataset.leaving || input.value === input.dataset.orig) return;
      send(input, c.kind === 'number' ? numberOf(input.value) : input.value, null);
    };
    input.addEventListener('keydown', (e) => {
      if (e.key === 'Enter') {
        e.preventDefault();
        submit();
      } else if (e.key === 'Escape') {
        input.value = input.dataset.orig;
        input.removeAttribute('aria-invalid');
      }
    });
    input.addEventListener('blur', submit);
    return input;

    async function send(el, newValue, undo) {
      if (el.dataset.busy) return;
      el.dataset.busy = '1';
      el.removeAttribute('aria-invalid');
      const result = await commit(row, c.field, newValue);
      delete el.dataset.busy;
      if (result.ok) {
        el.dataset.orig = el.type === 'checkbox' ? '' : el.value;
      } else {
        el.setAttribute('aria-invalid', 'true');
        if (undo) undo();
      }
    }
  }

  restore(table, before);
  return table;
}

// Blank is the empty value; a number is sent as one; anything else as the
// text typed, which the server refuses with a sentence naming the field.
function numberOf(text) {
  const t = text.trim();
  if (t === '') return null;
  const n = Number(t);
  return Number.isFinite(n) ? n : t;
}

// The field with the focus before a redraw: its cell, what was typed and
// where the caret was.
function remember() {
  const el = document.activeElement;
  if (!el || !el.dataset || !el.dataset.cell) return null;
  el.dataset.leaving = '1';
  return {
    cell: el.dataset.cell,
    value: el.value,
    typed: el.tagName === 'INPUT' && el.type === 'text' && el.value !== el.dataset.orig,
    invalid: el.getAttribute('aria-invalid'),
    start: el.selectionStart,
    end: el.selectionEnd,
  };
}

// Once the new table is in the document, gives the focus back.
function restore(table, before) {
  if (!before) return;
  queueMicrotask(() => {
    const el = [...table.querySelectorAll('[data-cell]')].find((e) => e.dataset.cell === before.cell);
    if (!el || !table.isConnected) return;
    if (before.typed) {
      el.value = before.value;
      if (before.invalid) el.setAttribute('aria-invalid', before.invalid);
    }
    el.focus();
    if (el.tagName === 'INPUT' && el.type === 'text' && before.start !== null) {
      try {
        el.setSelectionRange(before.start, before.end);
      } catch (e) { /* not a text field */ }
    }
  });
}

// Sets the field to focus after the next redraw (a renamed row's new cell).
export function focusAfterRedraw(cell) {
  pendingFocus = cell;
}
let pendingFocus = null;
export function takePendingFocus(root) {
  if (!pendingFocus) return;
  const el = [...root.querySelectorAll('[data-cell]')].find((e) => e.dataset.cell === pendingFocus);
  pendingFocus = null;
  if (el) el.focus();
}
