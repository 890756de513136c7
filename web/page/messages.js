// The library's message texts by key, read once from the server.

import {get} from './api.js';

let texts = null;

// The text of `key`, or `fallback` when the server does not know it.
export async function messageText(key, fallback) {
  if (!texts) {
    const result = await get('/api/messages');
    texts = result.ok ? result.data.texts || {} : {};
  }
  return texts[key] || fallback;
}
