#!/usr/bin/env bash
# Runs check.lua in a headless Neovim against the plotwright program given ($1).
# Exits 77 (skipped) where Neovim is missing.
set -euo pipefail
if ! command -v nvim >/dev/null; then
  echo "nvim is missing (scripts/install-deps installs it): skipped"
  exit 77
fi
here=$(cd "$(dirname "$0")" && pwd)
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
# No user configuration, no shada or swap files, nothing written outside $home.
HOME=$home XDG_STATE_HOME=$home XDG_DATA_HOME=$home XDG_CONFIG_HOME=$home PLOTWRIGHT="$1" \
  timeout 60 nvim --headless -u NONE -i NONE -n -c "luafile $here/check.lua"
echo "Neovim: the diagnostic, its fix, go-to-definition and coverage land where they should"
