#!/usr/bin/env bash
# End-to-end tests of the plotwright program: options, messages, exit statuses, encodings.
# Usage: run_cli_tests.sh PATH/TO/plotwright SOURCE_DIR
set -u

bin=$1
src=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
status=0

# run ARGS...: runs the program; its output goes to $tmp/out and $tmp/err, its status to $status.
run() {
  "$bin" "$@" >"$tmp/out" 2>"$tmp/err"
  status=$?
}

fail() {
  echo "FAIL: $1"
  failures=$((failures + 1))
}

expect_status() { [ "$status" -eq "$1" ] || fail "$2: exit status $status, expected $1"; }
expect_out() { grep -qF -- "$1" "$tmp/out" || fail "$2: standard output lacks '$1'"; }
expect_err() { grep -qF -- "$1" "$tmp/err" || fail "$2: standard error lacks '$1'"; }
expect_no_err() { [ ! -s "$tmp/err" ] || fail "$1: standard error is not empty"; }

# --- The command line ----------------------------------------------------------------------

run
expect_status 2 "no file"
expect_err "Vell language scenario file is required" "no file"
expect_err "Usage: plotwright [OPTIONS] FILE" "no file"

run --version
expect_status 0 "--version"
expect_out "Plotwright(English version) Ver1.00" "--version"

run --help
expect_status 0 "--help"
for option in --raw --no-stats --seed --encoding --count --json --help --version --verbose \
  "Example:"; do
  expect_out "$option" "--help"
done

run --bogus "$tmp/x.vell"
expect_status 2 "unknown option"
expect_err "--bogus" "unknown option"

run --seed
expect_status 2 "missing argument"
expect_err "--seed" "missing argument"

run --count 0 "$tmp/x.vell"
expect_status 2 "--count 0"

run --encoding latin1 "$tmp/x.vell"
expect_status 2 "unknown encoding"
expect_err "latin1" "unknown encoding"

run --raw --json "$tmp/x.vell"
expect_status 2 "--raw with --json"

# --- Files that cannot be read -------------------------------------------------------------

run --no-stats "$tmp/missing.vell"
expect_status 2 "missing file"
expect_err "$tmp/missing.vell: No such file or directory" "missing file"

mkdir "$tmp/folder.vell"
run --no-stats "$tmp/folder.vell"
expect_status 2 "directory"
expect_err "$tmp/folder.vell: Is a directory" "directory"

if [ "$(id -u)" != 0 ]; then  # the superuser reads any file
  printf 'title A\nText.\n' >"$tmp/locked.vell"
  chmod 000 "$tmp/locked.vell"
  run --no-stats "$tmp/locked.vell"
  expect_status 2 "unreadable file"
  expect_err "$tmp/locked.vell: Permission denied" "unreadable file"
fi

# --- Encodings -----------------------------------------------------------------------------

# A character outside Shift-JIS is refused with the file, the line and the character.
printf 'title Smile\nA smile: \xf0\x9f\x98\x80\n' >"$tmp/emoji.vell"
run --no-stats "$tmp/emoji.vell"
expect_status 2 "character outside Shift-JIS"
expect_err "$tmp/emoji.vell: line 2: character U+1F600" "character outside Shift-JIS"

# A Shift-JIS file is no UTF-8: forcing UTF-8 names the first bad byte.
printf 'title A\n\x82\xa0\n' >"$tmp/sjis.vell"
run --no-stats --encoding utf-8 "$tmp/sjis.vell"
expect_status 2 "Shift-JIS read as UTF-8"
expect_err "$tmp/sjis.vell: line 2: byte 0x82 is not valid UTF-8" "Shift-JIS read as UTF-8"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all command-line checks passed"
