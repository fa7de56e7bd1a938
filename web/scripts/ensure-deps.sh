#!/usr/bin/env bash
# Installs the web package's npm packages as package-lock.json lists them, once.
exec "$(dirname "$0")/../../scripts/npm-ci-once" "$(dirname "$0")/.." "the web package's npm packages"
