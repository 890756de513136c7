const fs = require('node:fs');
const path = require('node:path');
const {test, expect, ready, firstUtility} = require('./server');

test('an edited cell keeps its new value', async ({app}) => {
  const name = await firstUtility(app);
  const cost = app.getByRole('textbox', {name: `Cost of ${name}`, exact: true});
  await cost.fill('123.5');
  await cost.press('Enter');
  await expect(app.locator('.outcome')).toHaveText(/changed/);
  await expect(app.locator('#modified')).toBeVisible();
  await app.reload();
  await ready(app);
  await expect(app.getByRole('textbox', {name: `Cost of ${name}`, exact: true})).toHaveValue('123.5');
});

test('a refused edit shows the library sentence', async ({app}) => {
  const name = await firstUtility(app);
  const approach = app.getByRole('textbox', {name: `Minimum approach of ${name}`, exact: true});
  await approach.fill('0.2');
  await approach.press('Enter');
  const refusal = app.locator('.outcome[role="alert"]');
  await expect(refusal).toHaveText(/minimum temperature difference/i);
  await expect(refusal).toHaveAttribute('title', /\S/);
  await expect(approach).toHaveAttribute('aria-invalid', 'true');
});

test('a second tab sees an edit without reloading', async ({app, server}) => {
  const name = await firstUtility(app);
  const other = await app.context().newPage();
  await other.goto(`${server.origin}/utilities`);
  await ready(other);
  const cost = app.getByRole('textbox', {name: `Cost of ${name}`, exact: true});
  await cost.fill('77.25');
  await cost.press('Enter');
  await expect(other.getByRole('textbox', {name: `Cost of ${name}`, exact: true})).toHaveValue('77.25');
  await other.close();
});

test('an edit is reached and sent from the keyboard', async ({app}) => {
  const name = await firstUtility(app);
  const label = `Cost of ${name}`;
  await app.locator('body').focus();
  for (let i = 0; i < 100; i += 1) {
    await app.keyboard.press('Tab');
    if (await app.evaluate(() => document.activeElement.getAttribute('aria-label')) === label) break;
  }
  await expect(app.getByRole('textbox', {name: label, exact: true})).toBeFocused();
  await app.keyboard.press('ControlOrMeta+a');
  await app.keyboard.type('42');
  await app.keyboard.press('Enter');
  await expect(app.locator('.outcome')).toHaveText(/changed/);
  await expect(app.getByRole('textbox', {name: label, exact: true})).toBeFocused();
  await app.reload();
  await ready(app);
  await expect(app.getByRole('textbox', {name: label, exact: true})).toHaveValue('42');
});

// The picture in docs/ is rewritten when missing or with PEMAR_E2E_SCREENSHOT=1
// (it shows the run's temporary path, so each run's picture differs).
test('the utilities page as a picture', async ({app}, testInfo) => {
  const docs = path.resolve(__dirname, '../../docs/web-utilities.png');
  const update = process.env.PEMAR_E2E_SCREENSHOT === '1' || !fs.existsSync(docs);
  await app.setViewportSize({width: 1800, height: 900});
  await app.locator('img.ladder').evaluate((img) => img.decode().catch(() => {}));
  await app.screenshot({path: update ? docs : testInfo.outputPath('web-utilities.png'), fullPage: true});
});
