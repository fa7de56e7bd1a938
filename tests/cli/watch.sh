#!/usr/bin/env bash
# The story command's --watch, end to end: a story at each save (in place, or renamed over the
# file, as editors do), the diagnostics first with --check, a file briefly missing, and Ctrl+C
# ending it with the statistics of every story written.
# Usage: watch.sh PATH/TO/plotwright
set -u

bin=$1
tmp=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill -CONT "$pid" 2>/dev/null && kill "$pid" 2>/dev/null; rm -rf "$tmp"' EXIT
. "$(dirname "$0")/watch_support.sh"

# The watcher is stopped (SIGSTOP) while a save is written and let go after it, so that it
# meets every save whole, however slowly the machine runs the test or the program: the outcome
# never depends on timing. Each wait below is for an outcome the program must reach, with a
# generous limit for a busy machine.

# save COMMAND...: runs COMMAND while the watcher is stopped, then waits until the watcher has
# dealt with it and waits for the next change (its "waiting for" line once more).
waits=0
save() {
  kill -STOP "$pid"
  "$@"
  kill -CONT "$pid"
  waits=$((waits + 1))
  wait_for "waiting for" "$tmp/err" "$waits"
}

version() {
  printf 'title Night\n{Pick}\nselect Pick\nA\nB\nscene A\nVersion %s.\nscene B\nVersion %s.\n' \
    "$1" "$1"
}

cat >"$tmp/story.vell" <<'VELL'
title Night
{Pick}
select Pick
A
B
scene A
Version one.
scene B
Version one.
VELL

"$bin" --watch --check --seed 1 "$tmp/story.vell" >"$tmp/out" 2>"$tmp/err" &
pid=$!
waits=1
wait_for "waiting for" "$tmp/err"

# Saved in place, with a mistake the diagnostics show first.
in_place() {
  printf 'title Night\n{Pick}\n{Nowhere}\nselect Pick\nA\nB\nscene A\nVersion two.\nscene B\nVersion two.\n' \
    >"$tmp/story.vell"
}
save in_place
wait_for "Version two." "$tmp/out"
wait_for "[V203]" "$tmp/err"

# Written anew and renamed over it, three times in a row: one change, one story.
burst() {
  for n in 3 4 5; do
    version "$n" >"$tmp/new.vell"
    mv "$tmp/new.vell" "$tmp/story.vell"
  done
}
save burst
wait_for "Version 5." "$tmp/out"
[ "$(count 'Version 3.' "$tmp/out")$(count 'Version 4.' "$tmp/out")" = "00" ] ||
  fail "a burst of saves told more than one story"

# Missing for a while (the watcher says it cannot read it and goes on), then back.
save rm "$tmp/story.vell"
save eval 'version six >"$tmp/story.vell"'
wait_for "Version six." "$tmp/out"

kill -INT "$pid"
wait "$pid"
status=$?
pid=
[ "$status" -eq 0 ] || fail "Ctrl+C: exit status $status, expected 0"
[ "$(count 'Plotwright English Version Ver1.00' "$tmp/out")" -eq 4 ] ||
  fail "four stories expected: $(count 'Ver1.00' "$tmp/out")"
# Each of the four stories used Night and Pick once, and one of A and B.
[ -f "$tmp/story.vus" ] || fail "no statistics file after Ctrl+C"
night=$(sed -n 14p "$tmp/story.vus" | awk '{print $1}')
[ "$night" = 4 ] || fail "statistics: Night used $night times, expected 4"

"$bin" --watch - <"$tmp/story.vell" >"$tmp/out" 2>"$tmp/err"
[ $? -eq 2 ] || fail "--watch on standard input: exit status should be 2"

if [ "$failures" -ne 0 ]; then
  echo "--- standard error of the watch:"
  cat "$tmp/err"
  exit 1
fi
echo "watch: all passed"
