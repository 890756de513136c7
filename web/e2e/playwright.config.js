// Browser tests of the page of `pemar serve`, in the system's Chromium.
const {defineConfig} = require('@playwright/test');

module.exports = defineConfig({
  testDir: '.',
  // One server per worker; the tests share it, so they run one at a time.
  workers: 1,
  fullyParallel: false,
  timeout: 20_000,
  expect: {timeout: 5_000},
  reporter: [['list']],
  outputDir: process.env.PEMAR_E2E_OUTPUT || 'test-results',
  use: {
    browserName: 'chromium',
    actionTimeout: 5_000,
    headless: true,
    viewport: {width: 1280, height: 800},
    launchOptions: {
      executablePath: process.env.PEMAR_CHROMIUM || '/usr/bin/chromium',
      args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
        '--disable-component-update', '--disable-sync', '--no-first-run'],
    },
  },
});
