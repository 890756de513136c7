// Starts `pemar serve --new` on a new case in a folder of its own, once per
// worker, and stops it when the worker is done.
const base = require('@playwright/test');
const {spawn} = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

const repo = path.resolve(__dirname, '..', '..');

function toolPath() {
  const tool = process.env.PEMAR_TOOL || 'build/dev/cli/pemar';
  return path.isAbsolute(tool) ? tool : path.resolve(repo, tool);
}

// A new case, or with `utilitySet` a new utility set on its own.
async function startServer(utilitySet = false) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'pemar-e2e-'));
  const file = path.join(dir, utilitySet ? 'site.hud' : 'plant.kcs');
  const args = utilitySet ? ['serve', '--new', '--utilities', file] : ['serve', '--new', file];
  const child = spawn(toolPath(), args, {stdio: ['ignore', 'pipe', 'pipe']});
  let output = '';
  const address = await new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error(`no address printed:\n${output}`)), 10_000);
    child.stdout.on('data', (chunk) => {
      output += chunk;
      const found = /http:\/\/\S+\/\?token=[0-9a-f]+/.exec(output);
      if (found) {
        clearTimeout(timer);
        resolve(found[0]);
      }
    });
    child.stderr.on('data', (chunk) => {
      output += chunk;
    });
    child.on('exit', (code) => {
      clearTimeout(timer);
      reject(new Error(`pemar serve stopped with ${code}:\n${output}`));
    });
  });
  const url = new URL(address);
  const exited = new Promise((resolve) => child.on('exit', resolve));
  return {
    address,
    origin: url.origin,
    token: url.searchParams.get('token'),
    dir,
    file,
    async stop() {
      child.kill('SIGTERM');
      const timer = setTimeout(() => child.kill('SIGKILL'), 5_000);
      await exited;
      clearTimeout(timer);
      fs.rmSync(dir, {recursive: true, force: true});
    },
  };
}

const test = base.test.extend({
  server: [async ({}, use) => {
    const server = await startServer();
    await use(server);
    await server.stop();
  }, {scope: 'worker'}],

  // A page that has opened the printed address (so it holds the cookie)
  // and answers "leave" to a warning about unsaved changes.
  app: async ({page, server}, use) => {
    page.on('dialog', (dialog) => dialog.accept());
    await page.goto(server.address);
    await ready(page);
    await use(page);
  },
});

// Waits until the page has drawn its data.
async function ready(page) {
  await base.expect(page.locator('main[data-ready="true"]')).toBeVisible();
}

// The name of the first utility in the table.
async function firstUtility(page) {
  const name = page.locator('table tbody tr').first().locator('input').first();
  await base.expect(name).toBeVisible();
  return name.inputValue();
}

module.exports = {test, expect: base.expect, ready, firstUtility, startServer};
