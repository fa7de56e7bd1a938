#!/usr/bin/env bash
# Tests of the web package and the playground, over web/dist (make web builds it):
#   test/run.sh package PLOTWRIGHT   the npm package, packed and installed, against the program
#   test/run.sh browser PLOTWRIGHT   the playground in headless Chromium, against the program
# Without node and npm, or (for the browser) without Chromium, the tests are skipped with
# status 77, which ctest reports as skipped.
set -euo pipefail
usage() { echo "usage: test/run.sh package|browser PLOTWRIGHT" >&2; exit 2; }
[ $# -eq 2 ] || usage
PLOTWRIGHT="$(realpath "$2")"
export PLOTWRIGHT
cd "$(dirname "$0")/.."

if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  echo "SKIPPED: node and npm are not installed, so the web tests do not run"
  exit 77
fi
if [ ! -f dist/plotwright.js ] || [ ! -f dist/playground.js ]; then
  echo "web/dist is not built: run make web first" >&2
  exit 1
fi
scripts/ensure-deps.sh

case "$1" in
  package) node --test test/package.test.mjs ;;
  browser)
    CHROMIUM="${CHROMIUM:-$(command -v chromium || true)}"
    if [ -z "$CHROMIUM" ]; then
      echo "SKIPPED: Chromium is not installed (scripts/install-deps installs it), so the" \
           "playground's browser tests do not run"
      exit 77
    fi
    CHROMIUM="$CHROMIUM" node --test test/browser.test.mjs
    ;;
  *) usage ;;
esac
