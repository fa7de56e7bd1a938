#!/usr/bin/env bash
# The story command's --watch on odd files: a FIFO put where the file was (refused without
# waiting on it, the watch going on, Ctrl+C still ending it), a link (saving what it points to,
# pointing it elsewhere), and the folder removed while it is the working folder. Each wait has a
# generous limit, so that a busy machine only makes it slower.
# Usage: watch_files.sh PATH/TO/plotwright
set -u

bin=$(realpath "$1")
tmp=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; rm -rf "$tmp"' EXIT
. "$(dirname "$0")/watch_support.sh"

# ends STATUS [SIGNAL]: the watch ends (after SIGNAL, if given) with STATUS.
ends() {
  [ -n "${2:-}" ] && kill "-$2" "$pid"
  timeout 30 tail --pid="$pid" -f /dev/null || fail "still running 30 seconds later"
  kill -9 "$pid" 2>/dev/null
  wait "$pid"
  local status=$?
  pid=
  [ "$status" -eq "$1" ] || fail "exit status $status, expected $1"
}

# version N FILE: a scenario whose story says "Version N."
version() { printf 'title Night\n{Pick}\nselect Pick\nA\nscene A\nVersion %s.\n' "$1" >"$2"; }

# The watch in FOLDER on NAME; its output in $tmp/out and $tmp/err.
start() {
  (cd "$1" && exec "$bin" --watch --seed 1 "$2") >"$tmp/out" 2>"$tmp/err" &
  pid=$!
  wait_for "waiting for" "$tmp/err"
}

mkdir "$tmp/a" "$tmp/real"
version 1 "$tmp/a/story.vell"
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

if [ "$failures" -ne 0 ]; then
  echo "--- standard error of the last watch:"
  cat "$tmp/err"
  exit 1
fi
echo "watch_files: all passed"
