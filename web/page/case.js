// The case page: the case's summary, its projects and their notes, its
// features (steam property tables), problem reports, plots and the
// whole-case report.

import {h, fill, report, statusBox, shown, view, labelOf} from './dom.js';
import {get, post, patch, del, seg, onTopic} from './api.js';

// The words of a problem report's choices, in the order of their values.
const CHOICES = {
  class: ['bug', 'enhancement'],
  priority: ['high', 'medium', 'low'],
  reproducibility: ['always', 'sometimes', 'never'],
};

export async function draw(main, ctx) {
  const outcome = statusBox();
  const header = h('div');
  const projects = h('div');
  const features = h('div');
  const reports = h('div');
  const plots = h('div');
  const reportText = h('pre', {class: 'report', hidden: true, tabindex: '0', 'aria-label': 'Case report'});
  fill(main, h('h1', {text: ctx.title}), outcome,
    section('case-h', 'Summary', header),
    section('projects-h', 'Projects and notes', projects, projectForm()),
    section('features-h', 'Features', features, featureForm()),
    section('reports-h', 'Problem reports', reports, reportForm()),
    section('plots-h', 'Plots', plots),
    section('report-h', 'Report',
      h('p', {}, h('a', {href: '/api/case/report/page', target: '_blank', rel: 'noopener',
        text: 'Open the report as a page'}), ' ',
      h('button', {type: 'button', text: 'Show the report here', onclick: showReport})),
      reportText));

  async function drawHeader() {
    const result = await get('/api/case');
    if (!result.ok) {
      fill(header, failure(result));
      return;
    }
    const {projects: p, features: f, utility_database: u, ...summary} = result.data;
    if (u) summary.utilities = `${u.utilities} (${(u.names || []).join(', ')}); ${u.htc_defaults} coefficients`;
    fill(header, view(summary));
  }

  // -- projects and notes
  function projectForm() {
    const name = h('input', {type: 'text', id: 'new-project', required: true, autocomplete: 'off'});
    const engineer = h('input', {type: 'text', id: 'new-project-engineer', autocomplete: 'off'});
    return h('form', {class: 'inline', onsubmit: async (e) => {
      e.preventDefault();
      const body = {name: name.value.trim()};
      if (!body.name) return;
      if (engineer.value.trim()) body.engineer = engineer.value.trim();
      const result = await post('/api/case/projects', body);
      report(outcome, result, result.ok ? `Project ${body.name} added.` : '');
      if (result.ok) {
        name.value = '';
        engineer.value = '';
        await drawProjects();
      }
    }},
    h('label', {for: 'new-project', text: 'New project name'}), name,
    h('label', {for: 'new-project-engineer', text: 'Engineer'}), engineer,
    h('button', {type: 'submit', text: 'Add project'}));
  }

  async function drawProjects() {
    const result = await get('/api/case/projects');
    if (!result.ok) {
      fill(projects, failure(result));
      return;
    }
    const list = result.data.projects || [];
    const keep = typing(projects);
    fill(projects, list.length ? list.map(drawProject) : h('p', {text: 'The case has no projects yet.'}));
    keep();
  }

  function drawProject(project, at) {
    const pname = project.name;
    const pid = `p${at}`;
    const notes = project.notes || [];
    const title = h('input', {type: 'text', id: `${pid}-note-title`, autocomplete: 'off',
      dataset: {keep: `${pname}\u0000title`}});
    const text = h('textarea', {id: `${pid}-note-text`, rows: 2, cols: 50, dataset: {keep: `${pname}\u0000text`}});
    const facts = [project.engineer && `Engineer: ${project.engineer}`, project.date && `Date: ${project.date}`,
      project.comments].filter(Boolean).join('. ');
    return h('article', {class: 'project', 'aria-labelledby': `${pid}-h`},
      h('h3', {id: `${pid}-h`, text: pname}),
      facts ? h('p', {class: 'note', text: facts}) : null,
      notes.length ? h('ul', {class: 'notes', 'aria-label': `Notes of ${pname}`},
        notes.map((note, n) => drawNote(pname, pid, note, n))) : h('p', {text: 'No notes yet.'}),
      h('form', {class: 'inline', onsubmit: (e) => addNote(e, pname, title, text, notes.length)},
        h('label', {for: title.id, text: `Title of a new note for ${pname}`}), title,
        h('label', {for: text.id, text: `New note for ${pname}`}), text,
        h('button', {type: 'submit', text: 'Add note'})));
  }

  function drawNote(pname, pid, note, n) {
    const id = `${pid}-n${n}`;
    const area = h('textarea', {id, rows: 2, cols: 50, value: note.text,
      dataset: {keep: `${pname}\u0000${note.title}`}});
    const by = [note.author, note.date].filter(Boolean).join(', ');
    return h('li', {class: 'note-item'},
      h('label', {for: id, text: note.title + (by ? ` (${by})` : '')}), area,
      h('button', {type: 'button', text: 'Save note', 'aria-label': `Save note ${note.title} of ${pname}`,
        onclick: () => editNote(pname, note.title, area.value)}),
      h('button', {type: 'button', text: 'Delete note', 'aria-label': `Delete note ${note.title} of ${pname}`,
        onclick: () => deleteNote(pname, note.title)}));
  }

  async function addNote(e, pname, title, text, count) {
    e.preventDefault();
    const body = {title: title.value.trim() || `Note ${count + 1}`, text: text.value};
    const result = await post(`/api/case/projects/${seg(pname)}/notes`, body);
    report(outcome, result, result.ok ? `Note added to ${pname}.` : '');
    if (result.ok) {
      title.value = '';
      text.value = '';
      await drawProjects();
    }
  }

  async function editNote(pname, title, text) {
    const result = await patch(`/api/case/projects/${seg(pname)}/notes/${seg(title)}`, {text});
    report(outcome, result, result.ok ? `Note ${title} of ${pname} saved.` : '');
    if (result.ok) await drawProjects();
  }

  async function deleteNote(pname, title) {
    if (!window.confirm(`Delete the note ${title} of ${pname}?`)) return;
    const result = await del(`/api/case/projects/${seg(pname)}/notes/${seg(title)}`);
    report(outcome, result, result.ok ? `Note ${title} of ${pname} deleted.` : '');
    if (result.ok) await drawProjects();
  }

  // -- features
  const opened = new Set();
  function featureForm() {
    const fields = [['from', 'From (K)'], ['to', 'To (K)'], ['pressure', 'Pressure (kPa)']].map(([name, label]) => ({
      name, label, input: h('input', {type: 'text', id: `table-${name}`, inputmode: 'decimal', size: 8})}));
    return h('form', {class: 'inline', onsubmit: async (e) => {
      e.preventDefault();
      const body = {type: 'PropertyTable'};
      for (const f of fields) {
        if (f.input.value.trim() !== '') body[f.name] = Number(f.input.value);
      }
      const result = await post('/api/case/features', body);
      report(outcome, result, result.ok ? `Property table ${result.data.name} added.` : '');
      if (result.ok) {
        opened.add(result.data.name);
        await drawFeatures();
      }
    }},
    fields.map((f) => [h('label', {for: f.input.id, text: f.label}), f.input]),
    h('button', {type: 'submit', text: 'Add a property table'}));
  }

  async function drawFeatures() {
    const result = await get('/api/case/features');
    if (!result.ok) {
      fill(features, failure(result));
      return;
    }
    const list = result.data.features || [];
    fill(features, list.length ? h('ul', {}, list.map((f) => {
      const shownNow = opened.has(f.name);
      const rows = Array.isArray(f.rows) ? f.rows : [];
      const range = f.from_K !== undefined
        ? ` — ${shown(f.from_K)} K to ${shown(f.to_K)} K at ${shown(f.pressure_kPa)} kPa` : '';
      return h('li', {}, `${f.name} (${f.technology || f.key})${range} `,
        rows.length ? h('button', {type: 'button', 'aria-expanded': String(shownNow),
          text: shownNow ? 'Hide table' : 'Show table',
          'aria-label': `${shownNow ? 'Hide' : 'Show'} the table of ${f.name}`, onclick: () => {
            if (shownNow) opened.delete(f.name);
            else opened.add(f.name);
            drawFeatures();
          }}) : null,
        shownNow && rows.length ? view(rows, `Property table ${f.name}`) : null);
    })) : h('p', {text: 'The case has no features yet.'}));
  }

  // -- problem reports
  function reportForm() {
    const texts = [['title', 'Title', true], ['reported_by', 'Reported by'], ['program_area', 'Program area']]
      .map(([name, label, required]) => ({name, label,
        input: h('input', {type: 'text', id: `pr-${name}`, required: Boolean(required), autocomplete: 'off'})}));
    const description = h('textarea', {id: 'pr-description', rows: 2, cols: 40});
    const choices = Object.entries(CHOICES).map(([name, words]) => ({name,
      input: h('select', {id: `pr-${name}`}, words.map((w) => h('option', {value: w, text: w})))}));
    return h('form', {class: 'grid', onsubmit: async (e) => {
      e.preventDefault();
      const body = {};
      for (const f of texts) if (f.input.value.trim()) body[f.name] = f.input.value.trim();
      if (description.value.trim()) body.description = description.value;
      for (const c of choices) body[c.name] = c.input.value;
      const result = await post('/api/case/problem-reports', body);
      report(outcome, result, result.ok ? `Problem report ${body.title} added.` : '');
      if (result.ok) {
        for (const f of texts) f.input.value = '';
        description.value = '';
        await drawReports();
      }
    }},
    texts.map((f) => [h('label', {for: f.input.id, text: f.label}), f.input]),
    h('label', {for: 'pr-description', text: 'Description'}), description,
    choices.map((c) => [h('label', {for: c.input.id, text: labelOf(c.name)}), c.input]),
    h('button', {type: 'submit', text: 'Add problem report'}));
  }

  async function drawReports() {
    const result = await get('/api/case/problem-reports');
    if (!result.ok) {
      fill(reports, failure(result));
      return;
    }
    const list = result.data.problem_reports || [];
    fill(reports, list.length ? h('table', {}, h('caption', {text: 'Problem reports'}),
      h('thead', {}, h('tr', {}, ['Number', 'Title', 'Date', 'Class', 'Priority', 'Reproducibility', 'File']
        .map((t) => h('th', {scope: 'col', text: t})))),
      h('tbody', {}, list.map((r) => h('tr', {},
        h('td', {text: shown(r.number)}), h('th', {scope: 'row', text: shown(r.title)}),
        ['date', 'class', 'priority', 'reproducibility'].map((k) => h('td', {text: shown(r[k])})),
        h('td', {}, h('a', {href: `/api/case/problem-reports/${seg(r.number)}/download`, download: '',
          text: 'Download', 'aria-label': `Download problem report ${shown(r.title)}`}))))))
      : h('p', {text: 'The case has no problem reports yet.'}));
  }

  // -- plots
  async function drawPlots() {
    const result = await get('/api/case/plots');
    if (!result.ok) {
      fill(plots, failure(result));
      return;
    }
    const list = result.data.plots || [];
    fill(plots, list.length ? list.map((p) => {
      const name = shown(p.name || `Plot ${p.number}`);
      return h('figure', {}, h('img', {src: `/api/case/plots/${seg(p.number)}/svg?v=${Date.now()}`, alt: name,
        class: 'chart'}), h('figcaption', {text: name}));
    }) : h('p', {text: 'The case has no plots.'}));
  }

  async function showReport() {
    const result = await get('/api/case/report');
    reportText.hidden = false;
    reportText.classList.toggle('error', !result.ok);
    reportText.textContent = result.ok ? result.data.text : result.error;
  }

  onTopic(['projects', 'case'], drawProjects);
  onTopic(['features', 'case'], drawFeatures);
  onTopic(['problem-reports', 'case'], drawReports);
  onTopic(['plots', 'case'], drawPlots);
  onTopic(['case', 'projects', 'features', 'save'], drawHeader);
  await Promise.all([drawHeader(), drawProjects(), drawFeatures(), drawReports(), drawPlots()]);
}

function section(id, title, ...content) {
  return h('section', {'aria-labelledby': id}, h('h2', {id, text: title}), content);
}

function failure(result) {
  return h('p', {class: 'error', role: 'alert', title: result.key || null, text: result.error});
}

// Keeps what is being typed in a field across a redraw of `box`.
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
