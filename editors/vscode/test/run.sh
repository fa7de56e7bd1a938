#!/usr/bin/env bash
# Tests of the VS Code extension.
#   test/run.sh grammar              the grammar is up to date and gives the expected scopes
#   test/run.sh story PLOTWRIGHT     the story command's runs of the plotwright program and the
#                                    coverage command's request to its language server
#   test/run.sh webviews PLOTWRIGHT  the graph and story views' pages in headless Chromium, the
#                                    graph from PLOTWRIGHT's language server
# Installs the npm packages first when they are missing or stale. Without node and npm (or,
# for the webviews, Chromium) the tests are skipped with status 77, which ctest reports as skipped.
set -euo pipefail
cd "$(dirname "$0")/.."
usage() { echo "usage: test/run.sh grammar | story PLOTWRIGHT | webviews PLOTWRIGHT" >&2; exit 2; }

if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  echo "SKIPPED: node and npm are not installed, so the editor tests do not run"
  exit 77
fi
scripts/ensure-deps.sh

case "${1:-}" in
  grammar)
    node syntaxes/build-grammar.mjs --check
    node node_modules/vscode-tmgrammar-test/dist/unit.js --compact \
      --grammar syntaxes/vell.tmLanguage.json 'test/grammar/*.vell'
    ;;
  story | webviews)
    [ -n "${2:-}" ] || usage
    CHROMIUM="${CHROMIUM:-$(command -v chromium || true)}"
    if [ "$1" = webviews ] && [ -z "$CHROMIUM" ]; then
      echo "SKIPPED: Chromium is not installed, so the webview pages are not tested"
      exit 77
    fi
    node node_modules/typescript/bin/tsc -p .
    PLOTWRIGHT="$(realpath "$2")" CHROMIUM="$CHROMIUM" node --test "out/test/$1/"
    ;;
  *) usage ;;
esac
