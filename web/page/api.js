// Calls to the server's JSON API and the stream of changes every open page
// hears. The token travels in the HttpOnly cookie the first page load set,
// so every request goes to this origin with its credentials.

// The outcome of one call: {ok, status, data} or {ok: false, status,
// error, key} with the server's sentence (and the library's message key).
export async function call(method, path, body) {
  const init = {method, credentials: 'same-origin', headers: {Accept: 'application/json'}};
  if (method !== 'GET') {
    init.headers['Content-Type'] = 'application/json';
    init.body = JSON.stringify(body || {});
  }
  let response;
  try {
    response = await fetch(path, init);
  } catch (e) {
    return {ok: false, status: 0, error: 'The server cannot be reached; is pemar serve still running?'};
  }
  let data = null;
  try {
    data = await response.json();
  } catch (e) {
    data = null;
  }
  if (!response.ok) {
    return {
      ok: false,
      status: response.status,
      error: (data && data.error) || `The server answered ${response.status} ${response.statusText}.`,
      key: data && data.key,
      data,
    };
  }
  return {ok: true, status: response.status, data: data || {}};
}

export const get = (path) => call('GET', path);
export const post = (path, body) => call('POST', path, body);
export const patch = (path, body) => call('PATCH', path, body);
export const del = (path) => call('DELETE', path, {});

// A path segment for a name that may hold any character.
export const seg = (name) => encodeURIComponent(String(name));

// The topics a page listens to: topic -> set of refresh functions.
const listeners = new Map();
const everything = new Set();

// Calls `refresh` whenever one of `topics` changes (or "*" for any).
// Refreshes of one function never overlap: a change that arrives during a
// refresh runs it once more afterwards.
export function onTopic(topics, refresh) {
  const guarded = coalesce(refresh);
  for (const topic of topics) {
    if (!listeners.has(topic)) listeners.set(topic, new Set());
    listeners.get(topic).add(guarded);
  }
  everything.add(guarded);
  return guarded;
}

function coalesce(fn) {
  let running = null;
  let again = false;
  const run = async () => {
    if (running) {
      again = true;
      return running;
    }
    running = (async () => {
      do {
        again = false;
        try {
          await fn();
        } catch (e) {
          console.error(e);
        }
      } while (again);
    })();
    await running;
    running = null;
  };
  return run;
}

function announce(topic) {
  const fns = topic === null ? everything : new Set([
    ...(listeners.get(topic) || []), ...(listeners.get('*') || [])]);
  for (const fn of fns) fn();
}

// Opens the stream of changes after event `after` (the sequence the page's
// data were read at), so that nothing between reading and listening is
// missed; "reload" asks for everything again.
export function listen(after) {
  if (!window.EventSource) return;
  const query = Number.isInteger(after) ? `?after=${after}` : '';
  const source = new EventSource(`/api/events${query}`, {withCredentials: true});
  source.addEventListener('message', (e) => {
    let event = {};
    try {
      event = JSON.parse(e.data);
    } catch (err) {
      event = {};
    }
    if (event.topic) announce(event.topic);
    else announce(null);
    announce('session');
  });
  source.addEventListener('reload', () => announce(null));
}

// Makes every listener fetch again (after this page's own change).
export const refreshTopic = announce;
