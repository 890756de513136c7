const {test, expect, ready} = require('./server');

test('a note added to a project shows on the case page', async ({app, server}) => {
  await app.goto(`${server.origin}/case`);
  await ready(app);
  const project = 'Crude unit revamp';
  await app.getByRole('textbox', {name: 'New project name', exact: true}).fill(project);
  await app.getByRole('button', {name: 'Add project'}).click();
  await expect(app.getByRole('heading', {name: project, exact: true})).toBeVisible();
  await app.getByRole('textbox', {name: `New note for ${project}`, exact: true}).fill('Check the boiler feed pumps');
  await app.getByRole('button', {name: 'Add note'}).click();
  await expect(app.getByRole('list', {name: `Notes of ${project}`}).getByRole('textbox'))
    .toHaveValue('Check the boiler feed pumps');
});
