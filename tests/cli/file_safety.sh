#!/usr/bin/env bash
# The program among hostile and careless files: links planted at the statistics path, a scenario
# that is its own statistics file, permissions, FIFOs and devices, odd paths and names, output
# that cannot be written, and seeds that are not plain numbers.
# Usage: file_safety.sh PATH/TO/plotwright
set -u

bin=$(realpath "$1")
tmp=$(mktemp -d)
chmod 755 "$tmp"
trap 'chmod -R u+w "$tmp" 2>/dev/null; rm -rf "$tmp"' EXIT
failures=0
status=0

fail() {
  echo "FAIL: $1"
  failures=$((failures + 1))
}

# run ARGS...: runs the program (never longer than 20 s); output in $tmp/out and $tmp/err.
run() {
  timeout 20 "${as_user[@]}" "$bin" "$@" >"$tmp/out" 2>"$tmp/err" </dev/null
  status=$?
}
expect_status() { [ "$status" -eq "$1" ] || fail "$2: exit status $status, expected $1"; }
expect_err() { grep -qF -- "$1" "$tmp/err" || fail "$2: standard error lacks '$1': $(head -c 300 "$tmp/err")"; }
expect_story() { grep -q 'One\.\|Two\.' "$tmp/out" || fail "$1: no story"; }
unchanged() { cmp -s "$1" "$2" || fail "$3: $1 changed"; }

# The superuser may write anything: the checks run as nobody where the test runs as root.
as_user=()
if [ "$(id -u)" = 0 ]; then
  if setpriv --reuid=nobody --regid=nogroup --clear-groups true 2>/dev/null; then
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
  else
    echo "SKIP: every check (running as root without setpriv)"
    exit 0
  fi
fi
own() { [ "$(id -u)" != 0 ] || chown -R nobody:nogroup "$@"; }

two_titles='title A\nOne.\ntitle B\nTwo.\n'
work=$tmp/work
mkdir "$work"
printf "$two_titles" >"$work/story.vell"
own "$work"
chmod 777 "$work"

# --- Links planted at the statistics path ------------------------------------------------------
# Another user who may write the folder links the statistics path, and the names a temporary
# file could take, to a file of ours: the program writes through none of them.
precious=$tmp/precious
mkdir "$precious" && printf 'keep me\n' >"$precious/file" && own "$precious" && chmod 600 "$precious/file"
cp "$precious/file" "$tmp/precious.copy"
ln -s "$precious/file" "$work/story.vus"
last=$(cat /proc/sys/kernel/ns_last_pid 2>/dev/null || echo 1000)
for ((pid = last + 1; pid < last + 400; pid++)); do ln -s "$precious/file" "$work/story.vus.tmp.$pid"; done
run --seed 1 "$work/story.vell"
expect_status 0 "link at the statistics path"
expect_story "link at the statistics path"
expect_err "story.vus: is a symbolic link" "link at the statistics path"
unchanged "$precious/file" "$tmp/precious.copy" "link at the statistics path"
[ -L "$work/story.vus" ] || fail "link at the statistics path: the link was replaced"
rm -f "$work"/story.vus*

# --- A scenario that is its own statistics file ---------------------------------------------------
cp "$work/story.vell" "$work/own.vus"
ln "$work/story.vell" "$work/hard.vus"
cp "$work/story.vell" "$work/hard.copy"
cp "$work/own.vus" "$tmp/own.copy"
run --seed 1 "$work/own.vus"
expect_status 0 "scenario named .vus"
expect_story "scenario named .vus"
expect_err "is its own statistics file" "scenario named .vus"
unchanged "$work/own.vus" "$tmp/own.copy" "scenario named .vus"
ln "$work/hard.copy" "$work/hard.vell" 2>/dev/null || cp "$work/hard.copy" "$work/hard.vell"
rm -f "$work/hard.vus" && ln "$work/hard.vell" "$work/hard.vus"
run --seed 1 "$work/hard.vell"
expect_err "is its own statistics file" "statistics path linked to the scenario"
unchanged "$work/hard.vell" "$work/hard.copy" "statistics path linked to the scenario"
rm -f "$work/own.vus" "$work/hard."*

# --- Permissions ------------------------------------------------------------------------------------
run --seed 1 "$work/story.vell"
cp "$work/story.vus" "$tmp/first.vus"
chmod 444 "$work/story.vus"
run --seed 2 "$work/story.vell"
expect_status 0 "read-only statistics"
expect_err "could not save statistics: $work/story.vus:" "read-only statistics"
unchanged "$work/story.vus" "$tmp/first.vus" "read-only statistics"
[ "$(stat -c %a "$work/story.vus")" = 444 ] || fail "read-only statistics: mode changed"
chmod 640 "$work/story.vus"
run --seed 2 "$work/story.vell"
cmp -s "$work/story.vus" "$tmp/first.vus" && fail "private statistics: not saved"
[ "$(stat -c %a "$work/story.vus")" = 640 ] || fail "private statistics: mode $(stat -c %a "$work/story.vus"), expected 640"
# A folder it may not write, with a file it may: the file is rewritten in place.
cp "$work/story.vus" "$tmp/second.vus"
chmod 555 "$work"
run --seed 3 "$work/story.vell"
chmod 777 "$work"
expect_status 0 "folder it may not write"
[ -s "$work/story.vus" ] && ! cmp -s "$work/story.vus" "$tmp/second.vus" ||
  fail "folder it may not write: the statistics were not saved in place"
[ "$(cut -c13-24 "$work/story.vus" | head -n 1)" -eq 3 ] || fail "folder it may not write: run count"

# --- Odd files at the statistics path ---------------------------------------------------------------
rm -f "$work/story.vus"
mkfifo "$work/story.vus"
own "$work/story.vus"
run --seed 1 "$work/story.vell"
expect_status 0 "FIFO at the statistics path"
expect_story "FIFO at the statistics path"
expect_err "story.vus: is not a regular file" "FIFO at the statistics path"
rm -f "$work/story.vus"
ln -s /dev/zero "$work/story.vus"
run --seed 1 "$work/story.vell"
expect_status 0 "link to /dev/zero at the statistics path"
expect_story "link to /dev/zero at the statistics path"
rm -f "$work/story.vus"
truncate -s 1G "$work/story.vus" && own "$work/story.vus"
run --seed 1 "$work/story.vell"
expect_status 0 "a statistics file of a gigabyte"
expect_err "too long for this scenario's statistics" "a statistics file of a gigabyte"
[ "$(wc -c <"$work/story.vus")" -eq $((14 * 25)) ] || fail "a statistics file of a gigabyte: not replaced"

# --- Odd scenarios ------------------------------------------------------------------------------------
run /dev/zero
expect_status 2 "/dev/zero as the scenario"
expect_err "/dev/zero: is longer than 256 MiB" "/dev/zero as the scenario"
printf 'title A\rOne.\r' >"$work/mac.vell"
run --no-stats "$work/mac.vell"
expect_err "has carriage returns but no line feeds" "old Mac line ends"

# --- Paths: the statistics go beside the file that was read ------------------------------------------
mkdir -p "$work/real/inner" "$work/other"
printf "$two_titles" >"$work/other/ex.vell"
ln -s "$work/real/inner" "$work/other/lnk"
cp "$work/other/ex.vell" "$work/real/ex.vell"
own "$work"
run --seed 1 "$work/other/lnk/../ex.vell"
[ -f "$work/real/ex.vus" ] && [ ! -e "$work/other/ex.vus" ] ||
  fail "link/..: the statistics are not beside the file that was read"
( cd "$work" && cat "$work/story.vell" | timeout 20 "$bin" --seed 1 /dev/stdin >"$tmp/out" 2>"$tmp/err" )
expect_story "/dev/stdin"
expect_err "/dev/stdin: is not a regular file; no statistics are kept" "/dev/stdin"
timeout 20 "${as_user[@]}" "$bin" --seed 1 - <"$work/story.vell" >"$tmp/out" 2>"$tmp/err"
expect_story "- for standard input"
expect_err "standard input: no statistics are kept for it" "- for standard input"
[ -z "$(find "$tmp" -name 'stdin*.vus' -o -name '-.vus')" ] || fail "a stream got a statistics file"
long=$work/$(printf 's%.0s' $(seq 240)).vell
printf "$two_titles" >"$long"
own "$long"
run --seed 1 "$long"
expect_status 0 "a name of 245 characters"
[ -f "${long%.vell}.vus" ] || fail "a name of 245 characters: no statistics saved: $(cat "$tmp/err")"

# --- Output that cannot be written ----------------------------------------------------------------------
for option in --help --version; do
  "$bin" "$option" >/dev/full 2>"$tmp/err"
  status=$?
  expect_status 2 "$option to a full device"
  expect_err "could not write to standard output" "$option to a full device"
done
cp "$work/story.vus" "$tmp/before-full.vus"
timeout 20 "${as_user[@]}" "$bin" --seed 1 "$work/story.vell" >/dev/full 2>"$tmp/err"
status=$?
expect_status 2 "story to a full device"
unchanged "$work/story.vus" "$tmp/before-full.vus" "story to a full device"

# --- Seeds ---------------------------------------------------------------------------------------------
"$bin" --no-stats --seed 10 "$work/story.vell" >"$tmp/ten"
for seed in 010 0000000010; do
  run --no-stats --seed "$seed" "$work/story.vell"
  cmp -s "$tmp/out" "$tmp/ten" || fail "--seed $seed is not ten"
done
for seed in 0x10 -1 +5 1e3 4294967296 99999999999999999999 ""; do
  run --no-stats --seed "$seed" "$work/story.vell"
  expect_status 2 "--seed '$seed'"
  expect_err "is not a number from 0 to 4294967295" "--seed '$seed'"
done
"$bin" --help | grep -q "199,999 lines or more" || fail "--help: the line limit is misstated"

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "all file safety checks passed"
