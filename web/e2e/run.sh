#!/bin/sh
# Runs the browser tests of the page of `pemar serve` in the system's
# Chromium. Installs the pinned test packages first when they are missing or
# older than the lock file. Exits 77 (skipped) when node, npm or Chromium is
# not installed. The tool tested is $PEMAR_TOOL (default build/dev/cli/pemar,
# relative to the repository).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
cd "$here"
chromium=${PEMAR_CHROMIUM:-/usr/bin/chromium}
for need in node npm; do
  if ! command -v "$need" >/dev/null 2>&1; then
    echo "web/e2e: $need is not installed; browser tests skipped" >&2
    exit 77
  fi
done
if [ ! -x "$chromium" ]; then
  echo "web/e2e: $chromium is not installed; browser tests skipped" >&2
  exit 77
fi
stamp=node_modules/.package-lock.json
if [ ! -f "$stamp" ] || [ package-lock.json -nt "$stamp" ]; then
  PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund
fi
exec ./node_modules/.bin/playwright test "$@"
