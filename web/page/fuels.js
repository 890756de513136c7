// The fuels page: carbon tracking of the case, where the emission factors
// come from (one of two fuel lists, or a factor of the user's own), the fuel
// chosen for every utility that follows the database-wide choice, and each
// utility's fuel figures.

import {h, fill, refill, report, statusBox, view, shown} from './dom.js';
import {get, patch, onTopic} from './api.js';
import {messageText} from './messages.js';

const USER_FACTOR = 2;

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
    const on = Boolean(d.carbon_tracking);
    const tracking = h('input', {type: 'checkbox', id: 'carbon-tracking', checked: on});
    tracking.addEventListener('change', () => change({carbon_tracking: tracking.checked}));

    const sources = [];
    for (const list of d.lists || []) {
      sources.push({value: list.data_source,
        label: `${await messageText(list.label_key, `List ${list.data_source + 1}`)} fuel list`});
    }
    sources.push({value: USER_FACTOR, label: 'A factor of your own'});
    const source = h('select', {id: 'data-source', disabled: !on,
      onchange: (e) => change({data_source: Number(e.target.value)})},
    d.data_source === null || d.data_source === undefined ? h('option', {value: '', text: 'None chosen'}) : null,
    sources.map((s) => h('option', {value: String(s.value), text: s.label, selected: s.value === d.data_source})));

    const selected = d.selected || {};
    const offered = d.offered || [];
    const fuel = offered.length ? h('select', {id: 'fuel-selection', disabled: !on,
      onchange: (e) => change({selected: Number(e.target.value)})},
    offered.map((f) => h('option', {value: String(f.position), text: shown(f.name),
      selected: f.position === selected.position}))) : null;

    const factor = h('input', {type: 'text', id: 'user-factor', inputmode: 'decimal', size: 8,
      value: shown(selected.co2_emission_factor)});
    factor.addEventListener('keydown', (e) => {
      if (e.key === 'Enter') {
        e.preventDefault();
        change({user_emission_factor: Number(factor.value)});
      }
    });

    refill(box,
      h('p', {}, tracking, ' ', h('label', {for: 'carbon-tracking', text: 'Track carbon emissions'})),
      on ? null : h('p', {class: 'note', text: 'Switch carbon tracking on to choose a data source and a fuel.'}),
      h('p', {class: 'inline'}, h('label', {for: 'data-source', text: 'Data source '}), source),
      fuel ? h('p', {}, h('label', {for: 'fuel-selection', text: 'Fuel for every utility that follows the choice '}),
        fuel) : null,
      d.data_source === USER_FACTOR ? h('p', {},
        h('label', {for: 'user-factor', text: 'CO2 emission factor of your own (Enter to apply) '}), factor) : null,
      h('p', {text: `Chosen: ${shown(selected.name) || 'none'}; CO2 emission factor ` +
        `${shown(selected.co2_emission_factor) || '—'}, efficiency ${shown(selected.efficiency_factor) || '—'}.`}),
      h('h2', {text: 'Fuel figures of the utilities'}),
      (d.utilities || []).length ? view(d.utilities, 'Fuel figures of each utility') : h('p', {text: 'No utilities.'}),
      offered.length ? [h('h2', {text: 'Fuels offered'}), view(offered, 'Fuels of the chosen list')] : null);
  }

  async function change(body) {
    const result = await patch('/api/fuels', body);
    report(outcome, result, result.ok ? 'Changed.' : '');
    await refresh();
  }

  onTopic(['fuels', 'utilities'], refresh);
  await refresh();
}
