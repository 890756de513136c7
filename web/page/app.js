// The page script: the header (document, unsaved-changes marker, Save,
// recovery banner), the links between pages, and the page that the
// address names, drawn by its own module.

import {h, fill} from './dom.js';
import {get, post, listen, onTopic} from './api.js';

const PAGES = [
  {path: '/utilities', title: 'Utilities', module: './utilities.js', inSet: true},
  {path: '/coefficients', title: 'Heat-transfer coefficients', module: './coefficients.js', inSet: true},
  {path: '/economics', title: 'Economics', module: './economics.js', inSet: true},
  {path: '/fuels', title: 'Fuels', module: './fuels.js', inSet: false},
  {path: '/case', title: 'Case', module: './case.js', inSet: false},
  {path: '/steam', title: 'Steam', module: './steam.js', inSet: false},
];

const state = {session: null, leavingForPage: false};

function drawSession(session) {
  state.session = session;
  document.getElementById('doc-path').textContent = session.path;
  document.getElementById('modified').hidden = !session.modified;
  document.title = `${session.modified ? '* ' : ''}${current().title} — ${baseName(session.path)} — pemar`;
  const banner = document.getElementById('recovery');
  if (session.recovery && session.recovery.exists) {
    banner.hidden = false;
    banner.textContent = session.recovery.opened ?
      `This is the recovery copy ${session.recovery.path}: Save writes its changes to ${session.path} ` +
        'and removes the copy.' :
      `A recovery copy with changes that were never saved exists: ${session.recovery.path}. ` +
        `To take them up, stop this server and run pemar serve --recover ${session.path}.`;
  } else {
    banner.hidden = true;
    banner.textContent = '';
  }
  drawNav(session);
}

function baseName(path) {
  return String(path).split(/[\\/]/).pop();
}

function current() {
  return PAGES.find((p) => p.path === location.pathname) || PAGES[0];
}

function drawNav(session) {
  const nav = document.getElementById('nav');
  const set = session.kind === 'utilities';
  const here = current();
  fill(nav, h('ul', {}, PAGES.filter((p) => !set || p.inSet).map((p) =>
    h('li', {}, h('a', {href: p.path, 'aria-current': p === here ? 'page' : null, text: p.title})))));
}

async function refreshSession() {
  const result = await get('/api/session');
  if (result.ok) drawSession(result.data);
}

async function save() {
  const out = document.getElementById('save-result');
  const button = document.getElementById('save');
  button.disabled = true;
  out.classList.remove('error', 'ok');
  out.textContent = 'Saving…';
  const result = await post('/api/save', {});
  button.disabled = false;
  if (result.ok) {
    out.classList.add('ok');
    out.removeAttribute('title');
    out.setAttribute('role', 'status');
    const warnings = (result.data.messages || []).map((m) => m.text);
    out.textContent = [`Saved to ${result.data.path}.`, ...warnings].join(' ');
  } else {
    out.classList.add('error');
    out.setAttribute('role', 'alert');
    out.textContent = result.error;
    if (result.key) out.title = result.key;
  }
  await refreshSession();
}

async function start() {
  document.getElementById('save').addEventListener('click', save);
  // Moving between the pages loses nothing (the server holds the changes),
  // so only leaving the application warns about unsaved changes.
  document.addEventListener('click', (e) => {
    const link = e.target.closest && e.target.closest('a[href^="/"]');
    if (link && !link.hasAttribute('download') && !link.pathname.startsWith('/api/')) {
      state.leavingForPage = true;
    }
  });
  document.addEventListener('submit', (e) => {
    if (!e.defaultPrevented && e.target.getAttribute('action')) state.leavingForPage = true;
  });
  window.addEventListener('beforeunload', (e) => {
    if (state.session && state.session.modified && !state.leavingForPage) {
      e.preventDefault();
      e.returnValue = '';
    }
  });
  window.addEventListener('pageshow', () => {
    state.leavingForPage = false;
  });

  const main = document.getElementById('main');
  const first = await get('/api/session');
  if (!first.ok) {
    fill(main, h('h1', {text: 'pemar'}), h('p', {class: 'error', role: 'alert', text: first.error}));
    main.setAttribute('aria-busy', 'false');
    return;
  }
  drawSession(first.data);
  onTopic(['session', 'save'], refreshSession);

  const page = current();
  if (first.data.kind === 'utilities' && !page.inSet) {
    fill(main, h('h1', {text: page.title}),
      h('p', {text: 'This page belongs to a case; a utility set has only utilities, coefficients and economics.'}));
  } else {
    const module = await import(page.module);
    await module.draw(main, {session: first.data, title: page.title});
  }
  main.setAttribute('aria-busy', 'false');
  main.dataset.ready = 'true';
  listen(first.data.sequence);
}

start();
