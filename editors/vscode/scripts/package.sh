#!/usr/bin/env bash
# Builds the installable VS Code extension, plotwright-vell-VERSION.vsix, into OUTDIR.
#   editors/vscode/scripts/package.sh OUTDIR
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 OUTDIR" >&2; exit 2; }
mkdir -p "$1"
out="$(cd "$1" && pwd)"
cd "$(dirname "$0")/.."

scripts/ensure-deps.sh || {
  status=$?
  [ "$status" -eq 77 ] && echo "make vsix needs node and npm (Node.js 20 or later)" >&2
  exit 1
}
version="$(node -p "require('./package.json').version")"
# vsce compiles the extension first (the package's vscode:prepublish script).
node node_modules/@vscode/vsce/vsce package --skip-license --allow-missing-repository \
  --out "$out/plotwright-vell-$version.vsix"
