const fs = require('node:fs');
const {test, expect} = require('./server');

test('save clears the marker and writes the file', async ({app, server}) => {
  await expect(app.locator('#modified')).toBeVisible();
  await app.getByRole('button', {name: 'Save'}).click();
  await expect(app.locator('#save-result')).toHaveText(/Saved/);
  await expect(app.locator('#modified')).toBeHidden();
  expect(fs.existsSync(server.file)).toBe(true);
});

test('a recovery copy beside the case shows a banner until it is gone', async ({app, server}) => {
  const copy = server.file.replace(/\.kcs$/, '.recovered.kcs');
  fs.writeFileSync(copy, 'left by a server stopped with unsaved changes');
  try {
    await app.reload();
    await expect(app.locator('#recovery')).toContainText('--recover');
    // Saving the case itself keeps the copy: its changes are nowhere else.
    await app.getByRole('button', {name: 'Save'}).click();
    await expect(app.locator('#save-result')).toHaveText(/Saved/);
    expect(fs.existsSync(copy)).toBe(true);
  } finally {
    fs.rmSync(copy, {force: true});
  }
  await app.reload();
  await expect(app.locator('#recovery')).toBeHidden();
});
