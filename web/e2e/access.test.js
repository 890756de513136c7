const {test, expect, ready, startServer} = require('./server');

test('the printed address opens the utilities page', async ({page, server}) => {
  const elsewhere = [];
  page.on('request', (r) => {
    if (!r.url().startsWith(`${server.origin}/`)) elsewhere.push(r.url());
  });
  await page.goto(server.address);
  await ready(page);
  await page.locator('img.ladder').evaluate((img) => img.decode().catch(() => {}));
  expect(elsewhere).toEqual([]);
  // Everything the first load fetched, the event stream aside.
  const bytes = await page.evaluate(() => performance.getEntries()
    .filter((e) => e.encodedBodySize !== undefined && !e.name.includes('/api/events'))
    .reduce((sum, e) => sum + e.encodedBodySize, 0));
  expect(bytes).toBeGreaterThan(0);
  expect(bytes).toBeLessThan(150 * 1024);
  const app = page;
  await expect(app).toHaveURL(`${server.origin}/utilities`);
  await expect(app.getByRole('heading', {level: 1})).toHaveText('Utilities');
  await expect(app.getByRole('table', {name: 'Utilities'})).toBeVisible();
  await expect(app.locator('#doc-path')).toHaveText(server.file);
  await expect(app.getByRole('navigation', {name: 'Pages'}).getByRole('link')).toHaveCount(6);
});

test('without the token pages and calls are refused', async ({page, playwright, server}) => {
  const response = await page.goto(`${server.origin}/utilities`);
  expect(response.status()).toBe(403);
  const request = await playwright.request.newContext();
  for (const path of ['/utilities', '/static/app.js', '/api/session', '/api/utilities']) {
    expect((await request.get(`${server.origin}${path}`)).status(), path).toBe(403);
  }
  await request.dispose();
});

test('the links move between pages and back', async ({app, server}) => {
  await app.getByRole('link', {name: 'Case'}).click();
  await expect(app).toHaveURL(`${server.origin}/case`);
  await expect(app.getByRole('heading', {level: 1})).toHaveText('Case');
  await app.goBack();
  await expect(app).toHaveURL(`${server.origin}/utilities`);
  await expect(app.getByRole('heading', {level: 1})).toHaveText('Utilities');
});

test('a utility set links only its own pages', async ({page}) => {
  const set = await startServer(true);
  try {
    await page.goto(set.address);
    await ready(page);
    await expect(page.getByRole('navigation', {name: 'Pages'}).getByRole('link'))
      .toHaveText(['Utilities', 'Heat-transfer coefficients', 'Economics']);
  } finally {
    await set.stop();
  }
});
