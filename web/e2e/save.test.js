const fs = require('node:fs');
const {test, expect} = require('./server');

test('save clears the marker and writes the file', async ({app, server}) => {
  await expect(app.locator('#modified')).toBeVisible();
  await app.getByRole('button', {name: 'Save'}).click();
  await expect(app.locator('#save-result')).toHaveText(/Saved/);
  await expect(app.locator('#modified')).toBeHidden();
  expect(fs.existsSync(server.file)).toBe(true);
});
