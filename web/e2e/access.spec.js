const {test, expect} = require('./server');

test('the printed address opens the utilities page', async ({app, server}) => {
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
