#!/usr/bin/env bash
# The story command's --watch, end to end: a story at each save (in place, or renamed over the
# file, as editors do), the diagnostics first with --check, a file briefly missing, and Ctrl+C
# ending it with the statistics of every story written.
# Usage: watch.sh PATH/TO/plotwright
set -u

bin=$1
tmp=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$tmp"' EXIT
failures=0

fail() {
  echo "FAIL: $1"
  failures=$((failures + 1))
}

# wait_for TEXT FILE: until FILE holds TEXT, five seconds at most.
wait_for() {
  for _ in $(seq 50); do
    grep -qF -- "$1" "$2" 2>/dev/null && return 0
    sleep 0.1
  done
  fail "no '$1' in $(basename "$2") after five seconds"
  return 1
}

# count TEXT FILE: the lines of FILE that hold TEXT.
count() { grep -cF -- "$1" "$2"; }

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
wait_for "waiting for" "$tmp/err"

# Saved in place, with a mistake the diagnostics show first.
printf 'title Night\n{Pick}\n{Nowhere}\nselect Pick\nA\nB\nscene A\nVersion two.\nscene B\nVersion two.\n' \
  >"$tmp/story.vell"
wait_for "Version two." "$tmp/out"
wait_for "[V203]" "$tmp/err"

# Written anew and renamed over it, three times in quick succession: one story.
for n in 3 4 5; do
  printf 'title Night\n{Pick}\nselect Pick\nA\nB\nscene A\nVersion %s.\nscene B\nVersion %s.\n' \
    "$n" "$n" >"$tmp/new.vell"
  mv "$tmp/new.vell" "$tmp/story.vell"
  sleep 0.02
done
wait_for "Version 5." "$tmp/out"
sleep 0.5
[ "$(count 'Version 3.' "$tmp/out")$(count 'Version 4.' "$tmp/out")" = "00" ] ||
  fail "a burst of saves told more than one story"

# Missing for a moment, then back: the watch goes on.
rm "$tmp/story.vell"
sleep 0.6
printf 'title Night\n{Pick}\nselect Pick\nA\nB\nscene A\nVersion six.\nscene B\nVersion six.\n' \
  >"$tmp/story.vell"
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
