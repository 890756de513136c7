// The case page: the case's header, its projects and their notes, its
// features, problem reports, plots and the whole-case report.

import {h, fill, report, statusBox, shown, view, labelOf} from './dom.js';
import {get, post, patch, del, seg, onTopic} from './api.js';

export async function draw(main, ctx) {
  const outcome = statusBox();
  const header = h('div');
  const projects = h('div');
  const features = h('div');
  const reports = h('div');
  const plots = h('div');
  const reportText = h('pre', {class: 'report', hidden: true, tabindex: '0', 'aria-label': 'Case report'});
  fill(main, h('h1', {text: ctx.title}), outcome,
    section('case-h', 'Case', header),
    section('projects-h', 'Projects and notes', projects),
    section('features-h', 'Features', features),
    section('reports-h', 'Problem reports', reports),
    section('plots-h', 'Plots', plots),
    section('report-h', 'Report',
      h('p', {}, h('a', {href: '/api/case/report/page', target: '_blank', rel: 'noopener',
        text: 'Open the report as a page'}), ' ',
      h('button', {type: 'button', text: 'Show the report here', onclick: showReport})),
      reportText));

  async function drawHeader() {
    const result = await get('/api/case');
    fill(header, result.ok ? view(result.data.case ?? result.data) : failure(result));
  }

  // -- projects and notes
  const projectName = h('input', {type: 'text', id: 'new-project', required: true, autocomplete: 'off'});
  async function drawProjects() {
    const result = await get('/api/case/projects');
    if (!result.ok) {
      fill(projects, failure(result));
      return;
    }
    const list = result.data.projects || [];
    const keep = typing(projects);
    fill(projects,
      list.length ? list.map(drawProject) : h('p', {text: 'The case has no projects yet.'}),
      h('form', {class: 'inline', onsubmit: addProject},
        h('label', {for: 'new-project', text: 'New project name'}), projectName,
        h('button', {type: 'submit', text: 'Add project'})));
    keep();
  }

  function drawProject(project, at) {
    const pname = project.name ?? String(at);
    const pid = `p${at}`;
    const notes = project.notes || [];
    const text = h('textarea', {id: `${pid}-new-note`, rows: 2, cols: 50, dataset: {keep: `${pname}\u0000new`}});
    return h('article', {class: 'project', 'aria-labelledby': `${pid}-h`},
      h('h3', {id: `${pid}-h`, text: pname}),
      h('ul', {class: 'notes', 'aria-label': `Notes of ${pname}`}, notes.map((note, n) => drawNote(pname, note, n))),
      h('form', {class: 'inline', onsubmit: (e) => addNote(e, pname, text)},
        h('label', {for: `${pid}-new-note`, text: `New note for ${pname}`}), text,
        h('button', {type: 'submit', text: 'Add note'})));
  }

  function drawNote(pname, note, n) {
    const index = noteIndex(note, n);
    const text = noteText(note);
    const area = h('textarea', {rows: 2, cols: 50, 'aria-label': `Note ${n + 1} of ${pname}`, value: text,
      dataset: {keep: `${pname}\u0000${index}`}});
    return h('li', {class: 'note-item'}, area,
      h('button', {type: 'button', text: 'Save note', 'aria-label': `Save note ${n + 1} of ${pname}`,
        onclick: () => editNote(pname, index, area.value)}),
      h('button', {type: 'button', text: 'Delete note', 'aria-label': `Delete note ${n + 1} of ${pname}`,
        onclick: () => deleteNote(pname, index)}));
  }

  async function addProject(e) {
    e.preventDefault();
    const name = projectName.value.trim();
    if (!name) return;
    const result = await post('/api/case/projects', {name});
    report(outcome, result, result.ok ? `Project ${name} added.` : '');
    if (result.ok) {
      projectName.value = '';
      await drawProjects();
    }
  }

  async function addNote(e, pname, area) {
    e.preventDefault();
    const result = await post(`/api/case/projects/${seg(pname)}/notes`, {text: area.value});
    report(outcome, result, result.ok ? `Note added to ${pname}.` : '');
    if (result.ok) {
      area.value = '';
      await drawProjects();
    }
  }

  async function editNote(pname, index, text) {
    const result = await patch(`/api/case/projects/${seg(pname)}/notes/${seg(index)}`, {text});
    report(outcome, result, result.ok ? `Note of ${pname} saved.` : '');
    if (result.ok) await drawProjects();
  }

  async function deleteNote(pname, index) {
    if (!window.confirm(`Delete this note of ${pname}?`)) return;
    const result = await del(`/api/case/projects/${seg(pname)}/notes/${seg(index)}`);
    report(outcome, result, result.ok ? `Note of ${pname} deleted.` : '');
    if (result.ok) await drawProjects();
  }

  // -- features
  const featureShown = h('div', {'aria-live': 'polite'});
  async function drawFeatures() {
    const result = await get('/api/case/features');
    if (!result.ok) {
      fill(features, failure(result));
      return;
    }
    const list = result.data.features || [];
    fill(features,
      list.length ? h('ul', {}, list.map((f, n) => h('li', {}, shown(f.name ?? f.type ?? `feature ${n + 1}`), ' ',
        h('button', {type: 'button', text: 'Show table', 'aria-label': `Show the table of ${f.name ?? `feature ${n + 1}`}`,
          onclick: () => showFeature(f, n)}))))
        : h('p', {text: 'The case has no features yet.'}),
      h('button', {type: 'button', text: 'Add a property table', onclick: addPropertyTable}),
      featureShown);
  }

  async function addPropertyTable() {
    const result = await post('/api/case/features', {});
    report(outcome, result, result.ok ? 'Property table added.' : '');
    if (result.ok) await drawFeatures();
  }

  async function showFeature(feature, n) {
    const index = feature.index ?? n;
    const result = await get(`/api/case/features/${seg(index)}`);
    fill(featureShown, result.ok ? view(result.data.table ?? result.data, feature.name) : failure(result));
  }

  // -- problem reports
  async function drawReports() {
    const result = await get('/api/case/problem-reports');
    if (!result.ok) {
      fill(reports, failure(result));
      return;
    }
    const list = result.data.reports ?? result.data.problem_reports ?? [];
    const choices = result.data.choices || {};
    const fields = Object.entries(choices).map(([field, options]) => {
      const id = `pr-${field}`;
      return [h('label', {for: id, text: labelOf(field)}),
        h('select', {id, name: field}, (options || []).map((o) => h('option',
          {value: shown(o && typeof o === 'object' ? o.value ?? o.name : o),
            text: shown(o && typeof o === 'object' ? o.label ?? o.name ?? o.value : o)})))];
    });
    const form = h('form', {class: 'inline', onsubmit: (e) => addReport(e, form)}, fields,
      h('button', {type: 'submit', text: 'Add problem report'}));
    fill(reports,
      list.length ? h('ul', {}, list.map((r, n) => {
        const index = r.index ?? n;
        return h('li', {}, shown(r.name ?? r.title ?? r.description ?? `report ${index}`), ' ',
          h('a', {href: `/api/case/problem-reports/${seg(index)}/download`, download: '',
            text: 'Download', 'aria-label': `Download problem report ${shown(r.name ?? index)}`}));
      })) : h('p', {text: 'The case has no problem reports yet.'}),
      form);
  }

  async function addReport(e, form) {
    e.preventDefault();
    const body = {};
    for (const select of form.querySelectorAll('select')) body[select.name] = select.value;
    const result = await post('/api/case/problem-reports', body);
    report(outcome, result, result.ok ? 'Problem report added.' : '');
    if (result.ok) await drawReports();
  }

  // -- plots
  async function drawPlots() {
    const result = await get('/api/case/plots');
    if (!result.ok) {
      fill(plots, failure(result));
      return;
    }
    const list = result.data.plots || [];
    fill(plots, list.length ? list.map((p, n) => {
      const index = p.index ?? n;
      const name = shown(p.name ?? p.title ?? `Plot ${index}`);
      return h('figure', {}, h('img', {src: `/api/case/plots/${seg(index)}/svg?v=${Date.now()}`, alt: name,
        class: 'chart'}), h('figcaption', {text: name}));
    }) : h('p', {text: 'The case has no plots.'}));
  }

  async function showReport() {
    const result = await fetch('/api/case/report', {credentials: 'same-origin'})
      .then(async (r) => ({ok: r.ok, text: await r.text()}))
      .catch(() => ({ok: false, text: 'The server cannot be reached.'}));
    let text = result.text;
    try {
      const data = JSON.parse(text);
      text = data.text ?? data.report ?? data.error ?? text;
    } catch (e) { /* plain text */ }
    reportText.hidden = false;
    reportText.textContent = text;
  }

  onTopic(['case'], drawHeader);
  onTopic(['projects', 'case'], drawProjects);
  onTopic(['features', 'case'], drawFeatures);
  onTopic(['problem-reports', 'case'], drawReports);
  onTopic(['plots', 'case'], drawPlots);
  await Promise.all([drawHeader(), drawProjects(), drawFeatures(), drawReports(), drawPlots()]);
}

function section(id, title, ...content) {
  return h('section', {'aria-labelledby': id}, h('h2', {id, text: title}), content);
}

function failure(result) {
  return h('p', {class: 'error', role: 'alert', title: result.key || null, text: result.error});
}

function noteIndex(note, n) {
  return note && typeof note === 'object' && note.index !== undefined ? note.index : n;
}

function noteText(note) {
  if (note && typeof note === 'object') return shown(note.text ?? note.note ?? note.title);
  return shown(note);
}

// Keeps what is being typed in a text area across a redraw of `box`.
function typing(box) {
  const el = document.activeElement;
  if (!el || !box.contains(el) || !el.dataset.keep) return () => {};
  const {keep} = el.dataset;
  const {value} = el;
  return () => {
    const again = [...box.querySelectorAll('[data-keep]')].find((e) => e.dataset.keep === keep);
    if (again) {
      again.value = value;
      again.focus();
    }
  };
}
