#!/usr/bin/env bash
# The program among hostile and careless files that golden cases cannot set up: links planted
# at the statistics path, a scenario that is its own statistics file, permissions, FIFOs,
# devices and folders, odd paths and names, and output that cannot be written.
# Usage: file_safety.sh PATH/TO/plotwright
set -u

bin=$(realpath "$1")
tmp=$(mktemp -d)
chmod 755 "$tmp"
trap 'chmod -R u+w "$tmp" 2>/dev/null; rm -rf "$tmp"' EXIT
failures=0

fail() {
  echo "FAIL: $1"
  failures=$((failures + 1))
}

# The superuser may write anything: the checks run as nobody where the test runs as root.
as_user=()
if [ "$(id -u)" = 0 ]; then
  if ! setpriv --reuid=nobody --regid=nogroup --clear-groups true 2>/dev/null; then
    echo "SKIP: every check (running as root without setpriv)"
    exit 0
  fi
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
own() { [ "$(id -u)" != 0 ] || chown -R nobody:nogroup "$@"; }

# check WHAT STATUS ERROR ARGS...: runs the program (never longer than 20 s) and expects the
# exit status, ERROR (if not empty) on standard error and, with status 0, a story.
check() {
  local what=$1 expected=$2 error=$3
  shift 3
  timeout 20 "${as_user[@]}" "$bin" "$@" >"$tmp/out" 2>"$tmp/err" </dev/null
  local status=$?
  [ "$status" -eq "$expected" ] || fail "$what: exit status $status, expected $expected"
  [ -z "$error" ] || grep -qF -- "$error" "$tmp/err" || fail "$what: no '$error': $(cat "$tmp/err")"
  [ "$expected" -ne 0 ] || grep -q 'One\.\|Two\.' "$tmp/out" || fail "$what: no story"
}
unchanged() { cmp -s "$1" "$2" || fail "$3: $1 changed"; }
mode_is() { [ "$(stat -c %a "$1")" = "$2" ] || fail "$3: mode $(stat -c %a "$1"), expected $2"; }

work=$tmp/work
mkdir "$work"
printf 'title A\nOne.\ntitle B\nTwo.\n' >"$work/story.vell"
own "$work"
chmod 777 "$work"

# --- Links planted at the statistics path ------------------------------------------------------
# Another user who may write the folder links the statistics path, and names a temporary file
# could take, to a file of ours: the program writes through none of them.
mkdir "$tmp/precious" && printf 'keep me\n' >"$tmp/precious/file" && own "$tmp/precious"
chmod 600 "$tmp/precious/file"
cp "$tmp/precious/file" "$tmp/precious.copy"
ln -s "$tmp/precious/file" "$work/story.vus"
last=$(cat /proc/sys/kernel/ns_last_pid 2>/dev/null || echo 1000)
for ((pid = last + 1; pid < last + 100; pid++)); do
  ln -s "$tmp/precious/file" "$work/story.vus.tmp.$pid"
  ln -s "$tmp/precious/file" "$work/.plotwright.$pid.0"
done
check "link at the statistics path" 0 "story.vus: is a symbolic link" --seed 1 "$work/story.vell"
unchanged "$tmp/precious/file" "$tmp/precious.copy" "link at the statistics path"
[ -L "$work/story.vus" ] || fail "link at the statistics path: the link was replaced"
rm -f "$work"/story.vus* "$work"/.plotwright.*

# --- A scenario that is its own statistics file (by its name: a golden case) -----------------
cp "$work/story.vell" "$work/hard.vell" && ln "$work/hard.vell" "$work/hard.vus"
check "statistics path linked to the scenario" 0 "is its own statistics file" "$work/hard.vell"
unchanged "$work/hard.vell" "$work/story.vell" "statistics path linked to the scenario"
rm -f "$work/hard."*

# --- Permissions --------------------------------------------------------------------------------
check "first save" 0 "" --seed 1 "$work/story.vell"
cp "$work/story.vus" "$tmp/first.vus"
chmod 444 "$work/story.vus"
check "read-only statistics" 0 "could not save statistics: $work/story.vus:" "$work/story.vell"
unchanged "$work/story.vus" "$tmp/first.vus" "read-only statistics"
mode_is "$work/story.vus" 444 "read-only statistics"
chmod 640 "$work/story.vus"
check "private statistics" 0 "" "$work/story.vell"
cmp -s "$work/story.vus" "$tmp/first.vus" && fail "private statistics: not saved"
mode_is "$work/story.vus" 640 "private statistics"
# A folder it may not write, with a file it may: the file is rewritten in place.
chmod 555 "$work"
check "folder it may not write" 0 "" "$work/story.vell"
[ "$(cut -c13-24 "$work/story.vus" | head -n 1)" -eq 3 ] || fail "folder it may not write: not saved"
# ...and with a file it may not write either: nothing changes, and no temporary file is left.
chmod 444 "$work/story.vus"
cp "$work/story.vus" "$tmp/third.vus"
check "folder and file it may not write" 0 "could not save statistics: " "$work/story.vell"
unchanged "$work/story.vus" "$tmp/third.vus" "folder and file it may not write"
[ -z "$(find "$work" -name '.plotwright.*')" ] || fail "folder and file it may not write: a temporary file"
chmod 777 "$work" && chmod 644 "$work/story.vus"

# --- Odd files at the statistics path or as the scenario ---------------------------------------
rm -f "$work/story.vus" && mkfifo "$work/story.vus" && own "$work/story.vus"
check "FIFO at the statistics path" 0 "story.vus: is not a regular file" "$work/story.vell"
rm -f "$work/story.vus" && ln -s /dev/zero "$work/story.vus"
check "link to /dev/zero at the statistics path" 0 "story.vus: is a symbolic link" "$work/story.vell"
rm -f "$work/story.vus" && mkdir "$work/story.vus"
check "folder at the statistics path" 0 "story.vus: is not a regular file" "$work/story.vell"
rmdir "$work/story.vus"
cp "$work/story.vell" "$work/locked.vell" && chmod 000 "$work/locked.vell"
check "unreadable scenario" 2 "$work/locked.vell: Permission denied" "$work/locked.vell"

# --- Paths: the statistics go beside the file that was read ---------------------------------------
mkdir -p "$work/real/inner" "$work/other"
cp "$work/story.vell" "$work/real/ex.vell"
ln -s "$work/real/inner" "$work/other/lnk"
own "$work"
check "link/.." 0 "" --seed 1 "$work/other/lnk/../ex.vell"
[ -f "$work/real/ex.vus" ] && [ ! -e "$work/other/ex.vus" ] || fail "link/..: statistics misplaced"
long=$work/$(printf 's%.0s' $(seq 240)).vell
cp "$work/story.vell" "$long" && own "$long"
check "a name of 245 characters" 0 "" --seed 1 "$long"
[ -f "${long%.vell}.vus" ] || fail "a name of 245 characters: no statistics saved"

# --- Output that cannot be written ------------------------------------------------------------------
for option in --help --version; do
  "$bin" "$option" >/dev/full 2>"$tmp/err"
  [ $? -eq 2 ] && grep -q "could not write to standard output" "$tmp/err" ||
    fail "$option to a full device: $(cat "$tmp/err")"
done
check "a save before" 0 "" "$work/story.vell"
cp "$work/story.vus" "$tmp/before-full.vus"
timeout 20 "${as_user[@]}" "$bin" --seed 1 "$work/story.vell" >/dev/full 2>"$tmp/err"
[ $? -eq 2 ] || fail "story to a full device: not exit status 2"
unchanged "$work/story.vus" "$tmp/before-full.vus" "story to a full device"

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "all file safety checks passed"
