// The steam page: the properties of water at a temperature (K) and
// pressure (kPa) and where that state lies on the chart. The form is a
// plain GET of this page, so every state has its own address and the back
// button returns to the one before.

import {h, fill, shown, labelOf} from './dom.js';
import {get} from './api.js';

const LABELS = {
  temperature: 'Temperature (K)',
  pressure: 'Pressure (kPa)',
  phase: 'Phase',
  subregion: 'Sub-region',
  molar_volume: 'Molar volume (m³/kmol)',
  molar_enthalpy: 'Molar enthalpy (kJ/kmol)',
  saturation_pressure: 'Saturation pressure (kPa)',
  boiling_temperature: 'Boiling temperature (K)',
};

export async function draw(main, ctx) {
  const query = new URLSearchParams(location.search);
  const t = query.get('temperature') || '';
  const p = query.get('pressure') || '';
  const answer = h('div', {'aria-live': 'polite'});
  fill(main, h('h1', {text: ctx.title}),
    h('form', {method: 'get', action: '/steam', class: 'inline'},
      h('label', {for: 'steam-t', text: 'Temperature (K)'}),
      h('input', {type: 'text', id: 'steam-t', name: 'temperature', value: t, inputmode: 'decimal', size: 8,
        required: true}),
      h('label', {for: 'steam-p', text: 'Pressure (kPa)'}),
      h('input', {type: 'text', id: 'steam-p', name: 'pressure', value: p, inputmode: 'decimal', size: 8,
        required: true}),
      h('button', {type: 'submit', text: 'Show properties'})),
    answer);
  if (t === '' || p === '') return;
  const q = new URLSearchParams({temperature: t, pressure: p});
  const result = await get(`/api/steam?${q}`);
  if (!result.ok) {
    fill(answer, h('p', {class: 'error', role: 'alert', title: result.key || null, text: result.error}));
    return;
  }
  const entries = Object.entries(result.data).filter(([k]) => k !== 'messages');
  fill(answer,
    h('table', {}, h('caption', {text: `Water at ${t} K and ${p} kPa`}),
      h('thead', {}, h('tr', {}, h('th', {scope: 'col', text: 'Property'}), h('th', {scope: 'col', text: 'Value'}))),
      h('tbody', {}, entries.map(([k, v]) => h('tr', {}, h('th', {scope: 'row', text: LABELS[k] || labelOf(k)}),
        h('td', {text: v === null ? '—' : shown(v)}))))),
    (result.data.messages || []).map((m) => h('p', {class: 'note', title: m.key, text: m.text})),
    h('figure', {}, h('img', {src: `/api/steam/chart.svg?${q}`, class: 'chart',
      alt: `Steam chart with the state at ${t} K and ${p} kPa marked`}),
    h('figcaption', {text: 'Steam chart'})));
}
