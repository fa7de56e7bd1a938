#!/usr/bin/env bash
# The story command's --watch, end to end: a story at each save (in place, or renamed over the
# file, as editors do), the diagnostics first with --check, a file briefly missing, Ctrl+C ending
# it with the statistics of every story written; then odd files: a FIFO put where the file was
# (refused without waiting on it), a link (saving what it points to, pointing it elsewhere), and
# the working folder removed. --portable leaves out the odd files, which Windows does not have.
# Usage: watch.sh PATH/TO/plotwright [--portable]
set -u

bin=$(realpath "$1")
tmp=$(mktemp -d)
pid=
failures=0
trap '[ -n "$pid" ] && kill -CONT "$pid" 2>/dev/null; [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; rm -rf "$tmp"' EXIT

fail() {
  echo "FAIL: $1"
  failures=$((failures + 1))
}

# count TEXT FILE: the lines of FILE that hold TEXT.
count() { grep -cF -- "$1" "$2" 2>/dev/null || true; }

# wait_for TEXT FILE [N]: until FILE holds at least N lines (1) with TEXT. Each wait is for an
# outcome the program must reach, with a generous limit: a busy machine only makes it slower.
wait_for() {
  for _ in $(seq 600); do
    [ "$(count "$1" "$2")" -ge "${3:-1}" ] && return 0
    sleep 0.1
  done
  fail "no '$1' (${3:-1} times) in $(basename "$2") after a minute"
  return 1
}

# version N FILE: a scenario whose story says "Version N."
version() {
  printf 'title Night\n{Pick}\nselect Pick\nA\nB\nscene A\nVersion %s.\nscene B\nVersion %s.\n' \
    "$1" "$1" >"$2"
}

# start FOLDER NAME [OPTION...]: the watch in FOLDER on NAME; its output in $tmp/out and $tmp/err.
start() {
  (cd "$1" && exec "$bin" --watch --seed 1 "${@:3}" "$2") >"$tmp/out" 2>"$tmp/err" &
  pid=$!
  waits=1
  wait_for "waiting for" "$tmp/err"
}

# ends STATUS [SIGNAL]: the watch ends (after SIGNAL, if given) with STATUS.
ends() {
  [ -n "${2:-}" ] && kill "-$2" "$pid"
  timeout 60 tail --pid="$pid" -f /dev/null || fail "still running a minute later"
  kill -9 "$pid" 2>/dev/null
  wait "$pid"
  local status=$?
  pid=
  [ "$status" -eq "$1" ] || fail "exit status $status, expected $1"
}

# save COMMAND...: runs COMMAND while the watcher is stopped (SIGSTOP), so that it meets every
# save whole however slowly the machine runs, then waits until it waits for the next change.
save() {
  kill -STOP "$pid"
  "$@"
  kill -CONT "$pid"
  waits=$((waits + 1))
  wait_for "waiting for" "$tmp/err" "$waits"
}

mkdir "$tmp/a" "$tmp/real"
version one "$tmp/a/story.vell"
start "$tmp/a" story.vell --check

# Saved in place, with a mistake the diagnostics show first.
save eval 'version two "$tmp/new.vell"; sed "2a {Nowhere}" "$tmp/new.vell" >"$tmp/a/story.vell"'
wait_for "Version two." "$tmp/out"
wait_for "[V203]" "$tmp/err"

# Written anew and renamed over it, three times in a row: one change, one story.
burst() {
  for n in 3 4 5; do
    version "$n" "$tmp/a/new.vell"
    mv "$tmp/a/new.vell" "$tmp/a/story.vell"
  done
}
save burst
wait_for "Version 5." "$tmp/out"
[ "$(count 'Version 3.' "$tmp/out")$(count 'Version 4.' "$tmp/out")" = "00" ] ||
  fail "a burst of saves told more than one story"

# Missing for a while (the watcher says it cannot read it and goes on), then back.
save rm "$tmp/a/story.vell"
save version six "$tmp/a/story.vell"
wait_for "Version six." "$tmp/out"

ends 0 INT
[ "$(count 'Plotwright English Version Ver1.00' "$tmp/out")" -eq 4 ] ||
  fail "four stories expected: $(count 'Ver1.00' "$tmp/out")"
# Each of the four stories used Night and Pick once, and one of A and B.
night=$(sed -n 14p "$tmp/a/story.vus" 2>/dev/null | awk '{print $1}')
[ "$night" = 4 ] || fail "statistics: Night used '$night' times after Ctrl+C, expected 4"

"$bin" --watch - <"$tmp/a/story.vell" >"$tmp/out" 2>"$tmp/err"
[ $? -eq 2 ] || fail "--watch on standard input: exit status should be 2"

if [ "${2:-}" != --portable ]; then
  rm -f "$tmp/a/story.vus"
  start "$tmp/a" story.vell
  rm "$tmp/a/story.vell"
  mkfifo "$tmp/a/story.vell"
  wait_for "story.vell: is not a regular file" "$tmp/err"
  wait_for "waiting for" "$tmp/err" 2
  rm "$tmp/a/story.vell"
  version 2 "$tmp/a/story.vell"
  wait_for "Version 2." "$tmp/out"
  mkfifo "$tmp/a/fifo"
  mv "$tmp/a/fifo" "$tmp/a/story.vell"
  wait_for "story.vell: is not a regular file" "$tmp/err" 2
  ends 0 INT
  rm "$tmp/a/story.vell"

  version 1 "$tmp/real/one.vell"
  version 3 "$tmp/real/two.vell"
  ln -s ../real/one.vell "$tmp/a/link.vell"
  start "$tmp/a" link.vell
  version 2 "$tmp/real/one.vell"
  wait_for "Version 2." "$tmp/out"
  ln -sfn ../real/two.vell "$tmp/a/link.vell"
  wait_for "Version 3." "$tmp/out"
  version 4 "$tmp/real/two.vell"
  wait_for "Version 4." "$tmp/out"
  ends 0 TERM

  # Removed with the file, or after it.
  for removal in 'rm -r "$tmp/a"' 'rm "$tmp/a/story.vell"; wait_for "waiting for" "$tmp/err" 2; rmdir "$tmp/a"'; do
    mkdir -p "$tmp/a"
    version 1 "$tmp/a/story.vell"
    start "$tmp/a" story.vell
    eval "$removal"
    ends 2
    grep -qF "plotwright: --watch: story.vell: its folder was removed or moved" "$tmp/err" ||
      fail "$removal: no message on the folder's removal"
  done
fi

if [ "$failures" -ne 0 ]; then
  echo "--- standard error of the last watch:"
  cat "$tmp/err"
  exit 1
fi
echo "watch: all passed"
