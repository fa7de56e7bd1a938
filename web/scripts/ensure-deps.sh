#!/usr/bin/env bash
# Installs the web package's npm packages exactly as package-lock.json lists them (npm ci), but
# only when node_modules is missing or was installed from another lock file. Runs that overlap
# wait for each other. Exit status 77 when node or npm is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  echo "ensure-deps: node and npm are needed (Node.js 20 or later)" >&2
  exit 77
fi

stamp=node_modules/.plotwright-lock
wanted="$(sha256sum package-lock.json | cut -d' ' -f1) $(node --version)"

exec 9>.npm-deps.lock
flock 9
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$wanted" ]; then
  exit 0
fi
echo "ensure-deps: installing the web package's npm packages (npm ci)"
npm ci --no-audit --no-fund --loglevel=error
echo "$wanted" > "$stamp"
