// The fuels page: where the fuel data come from, the fuels, the selected
// fuel and whether the case tracks carbon.

import {h, fill, report, statusBox, view, shown} from './dom.js';
import {get, patch, onTopic} from './api.js';

export async function draw(main, ctx) {
  const outcome = statusBox();
  const box = h('div');
  fill(main, h('h1', {text: ctx.title}), outcome, box);

  async function refresh() {
    const result = await get('/api/fuels');
    if (!result.ok) {
      report(outcome, result);
      fill(box);
      return;
    }
    const d = result.data;
    const tracking = h('input', {type: 'checkbox', id: 'carbon-tracking', checked: Boolean(d.carbon_tracking)});
    tracking.addEventListener('change', () => change({carbon_tracking: tracking.checked}));
    const sources = d.data_sources || d.sources || [];
    const fuels = d.fuels || [];
    const names = fuels.map((f) => (f && typeof f === 'object' ? f.name : f));
    const selected = d.selected ?? d.selection;
    fill(box,
      h('p', {}, tracking, ' ', h('label', {for: 'carbon-tracking', text: 'Track carbon emissions'})),
      sources.length ? h('p', {}, h('label', {for: 'data-source', text: 'Data source '}),
        h('select', {id: 'data-source', onchange: (e) => change({data_source: e.target.value})},
          sources.map((s) => h('option', {value: shown(s), text: shown(s), selected: s === d.data_source}))))
        : h('p', {text: `Data source: ${shown(d.data_source)}`}),
      names.length ? h('p', {}, h('label', {for: 'fuel-selection', text: 'Selected fuel '}),
        h('select', {id: 'fuel-selection', onchange: (e) => change({selected: e.target.value})},
          names.map((n) => h('option', {value: shown(n), text: shown(n), selected: n === selected})))) : null,
      fuels.length ? view(fuels, 'Fuels') : h('p', {text: 'No fuels.'}));
  }

  async function change(body) {
    const result = await patch('/api/fuels', body);
    report(outcome, result, result.ok ? 'Changed.' : '');
    await refresh();
  }

  onTopic(['fuels'], refresh);
  await refresh();
}
