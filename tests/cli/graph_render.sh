#!/usr/bin/env bash
# The graph command's DOT is read by Graphviz without a complaint, for the examples, with
# coverage, and for the scenarios that put quotes, backslashes and unknown names into labels.
# Usage: graph_render.sh PATH/TO/plotwright SOURCE_DIR
set -u
bin=$1 src=$2
command -v dot >/dev/null || { echo "Graphviz (dot) is not installed: skipped"; exit 77; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

render() {
  "$bin" graph --no-stats "$@" >"$tmp/graph.dot" || { fail "graph $*: exit status $?"; return; }
  dot -Tsvg "$tmp/graph.dot" -o "$tmp/graph.svg" 2>"$tmp/dot.err" && [ ! -s "$tmp/dot.err" ] ||
    fail "Graphviz on graph $*: $(cat "$tmp/dot.err")"
}

for scenario in "$src"/examples/*.vell "$src"/tests/cases/graph/*.vell; do
  render "$scenario"
done
render --coverage 200 --seed 1 "$src/examples/the-lighthouse-keeper.vell"
render --coverage 50 --seed 1 "$src/tests/cases/graph/never-reached.vell"

[ "$failures" -eq 0 ] || exit 1
echo "graph rendering: all passed"
