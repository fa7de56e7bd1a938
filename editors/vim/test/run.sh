#!/usr/bin/env bash
# Checks the Vim syntax of Vell against the assertions written into test/scenario.vell.
# Skipped (status 77, which ctest reports as skipped) where no Vim with syntax support is
# installed.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

if ! command -v vim >/dev/null || ! vim --version | grep -q '+syntax'; then
  echo "SKIPPED: no vim with syntax highlighting is installed, so the Vim syntax is not checked"
  exit 77
fi
vim -Nu NONE -i NONE -Es --cmd "set rtp^=$here/.." -S "$here/check.vim" "$here/scenario.vell"
