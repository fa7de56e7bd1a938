#!/usr/bin/env bash
# The whole program as a user runs it: stories per second of `plotwright --count N` on the
# peer-shaped story, written to /dev/null, in plain, JSON and raw form, timed by hyperfine.
# When the peer engines' benchmark is at hand (../shared/peers/run.sh beside the project), it
# runs in the same go and the ratio to the template engine is printed.
# Usage: bench/whole_process.sh PATH/TO/plotwright [N]
set -euo pipefail
bin=$(realpath "$1")
count=${2:-20000}
here=$(cd "$(dirname "$0")" && pwd)
story=$here/peer-story.vell
peers=$here/../../shared/peers/run.sh
results=$(mktemp)
trap 'rm -f "$results"' EXIT

hyperfine --warmup 2 --runs 10 --export-json "$results" --style basic \
  -n plain "$bin --count $count --no-stats --seed 1 $story" \
  -n json "$bin --count $count --no-stats --seed 1 --json $story" \
  -n raw "$bin --count $count --no-stats --seed 1 --raw $story" \
  --output=null >&2

median() { python3 -c "import json,sys; r={x['command']:x for x in json.load(open('$results'))['results']}; print(r['$1']['median'])"; }
plain=$(median plain)
json=$(median json)
raw=$(median raw)
printf 'form   median s  stories/s\n'
for form in plain json raw; do
  seconds=$(median "$form")
  printf '%-6s %8.3f %10.0f\n' "$form" "$seconds" "$(python3 -c "print($count / $seconds)")"
done
python3 -c "print(f'json / plain: {$json / $plain:.2f}')"
if [ -x "$peers" ]; then
  tracery=$("$peers" "$count" 2>/dev/null | awk '$1 == "tracery" {print $2}')
  python3 -c "s = $count / $plain; print(f'tracery {float(\"$tracery\"):.0f} stories/s; plotwright is {s / float(\"$tracery\"):.0f} times as fast')"
fi
