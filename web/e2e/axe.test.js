const AxeBuilder = require('@axe-core/playwright').default;
const {test, expect, ready} = require('./server');

const PAGES = ['/utilities', '/coefficients', '/economics', '/fuels', '/case',
  '/steam?temperature=450&pressure=500'];

for (const page of PAGES) {
  test(`${page} has no serious accessibility finding`, async ({app, server}) => {
    await app.goto(`${server.origin}${page}`);
    await ready(app);
    const {violations} = await new AxeBuilder({page: app}).analyze();
    const serious = violations.filter((v) => v.impact === 'serious' || v.impact === 'critical')
      .map((v) => `${v.id}: ${v.help} (${v.nodes.map((n) => n.target.join(' ')).join(', ')})`);
    expect(serious).toEqual([]);
  });
}
