// Building elements without markup strings, so that nothing a document
// holds is ever parsed as HTML and no inline style reaches the page.

// h('button', {type: 'button', onclick: f, class: 'x'}, 'Save', child...)
// Keys starting with "on" add listeners; "class", "text", "value",
// "checked", "disabled", "hidden" and "selected" set properties; every
// other key is an attribute (null or false leaves it out).
export function h(tag, attrs, ...children) {
  const el = document.createElement(tag);
  for (const [key, value] of Object.entries(attrs || {})) {
    if (value === null || value === undefined || value === false) continue;
    if (key.startsWith('on') && typeof value === 'function') {
      el.addEventListener(key.slice(2), value);
    } else if (key === 'class') {
      el.className = value;
    } else if (key === 'text') {
      el.textContent = value;
    } else if (['value', 'checked', 'disabled', 'hidden', 'selected'].includes(key)) {
      el[key] = value;
    } else if (key === 'dataset') {
      Object.assign(el.dataset, value);
    } else {
      el.setAttribute(key, value === true ? '' : String(value));
    }
  }
  append(el, children);
  return el;
}

function append(el, children) {
  for (const child of children) {
    if (child === null || child === undefined || child === false) continue;
    if (Array.isArray(child)) append(el, child);
    else el.append(child instanceof Node ? child : String(child));
  }
}

// Replaces the children of `el`.
export function fill(el, ...children) {
  el.replaceChildren();
  append(el, children);
  return el;
}

// A number or text as shown in a cell: the library's empty value arrives
// as null and shows as nothing.
export function shown(value) {
  if (value === null || value === undefined) return '';
  if (typeof value === 'number') return String(Number(value.toPrecision(10)));
  if (typeof value === 'object') return JSON.stringify(value);
  return String(value);
}

// A field name from the API ("delta_t_min") as a label ("Delta t min").
export function labelOf(field) {
  const text = String(field).replace(/_/g, ' ').replace(/\bco2\b/gi, 'CO2');
  return text.charAt(0).toUpperCase() + text.slice(1);
}

// Shows the outcome of a call in `box`: the library's sentence for a
// refusal (its key in the title), its warnings otherwise.
export function report(box, result, success) {
  box.classList.remove('error', 'ok');
  box.removeAttribute('title');
  if (!result.ok) {
    box.classList.add('error');
    box.setAttribute('role', 'alert');
    box.textContent = result.error;
    if (result.key) box.title = result.key;
    return;
  }
  box.setAttribute('role', 'status');
  const warnings = (result.data && result.data.messages) || [];
  box.classList.add('ok');
  box.textContent = [success || '', ...warnings.map((m) => m.text)]
    .filter(Boolean).join(' ');
  const keys = warnings.map((m) => m.key).filter(Boolean);
  if (keys.length) box.title = keys.join(', ');
}

// A status line for a section's outcomes.
export function statusBox() {
  return h('p', {class: 'outcome', role: 'status', 'aria-live': 'polite'});
}

// A read-only view of whatever an answer holds: a table for a list of
// records, a list of terms for a record, text for the rest.
export function view(value, caption) {
  if (Array.isArray(value)) {
    if (value.length && value.every((v) => v && typeof v === 'object' && !Array.isArray(v))) {
      const columns = [...new Set(value.flatMap((v) => Object.keys(v)))];
      return h('table', {}, caption ? h('caption', {text: caption}) : null,
        h('thead', {}, h('tr', {}, columns.map((c) => h('th', {scope: 'col', text: labelOf(c)})))),
        h('tbody', {}, value.map((row) => h('tr', {}, columns.map((c) => h('td', {},
          row[c] && typeof row[c] === 'object' ? view(row[c]) : shown(row[c])))))));
    }
    return h('ul', {}, value.map((v) => h('li', {}, v && typeof v === 'object' ? view(v) : shown(v))));
  }
  if (value && typeof value === 'object') {
    return h('dl', {class: 'fields'}, Object.entries(value).filter(([k]) => k !== 'messages').map(([k, v]) => [
      h('dt', {text: labelOf(k)}), h('dd', {}, v && typeof v === 'object' ? view(v) : shown(v))]));
  }
  return h('span', {text: shown(value)});
}

// fill(), then gives the focus back to the element with the id that had it
// (a redraw after a change made from the keyboard keeps the keyboard's place).
export function refill(el, ...children) {
  const active = document.activeElement;
  const id = active && el.contains(active) ? active.id : '';
  fill(el, ...children);
  if (id) {
    const again = document.getElementById(id);
    if (again) again.focus();
  }
  return el;
}
