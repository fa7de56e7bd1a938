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
  "Examples:"; do
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

# --- Stories -------------------------------------------------------------------------------

english=$src/examples/the-lighthouse-keeper.vell
japanese=$src/examples/yoru-no-eki.vell
japanese_sjis=$src/examples/yoru-no-eki.sjis.vell

# Exact bytes of a scenario without chance: the banners, the start message's empty line, the
# story line, the closing scene's empty line; CR LF throughout.
printf 'title A\nHello~world.\n' >"$tmp/hello.vell"
run --raw --no-stats --seed 1 "$tmp/hello.vell"
expect_status 0 "raw story"
printf '%s\r\n' "---------------------- Plotwright English Version -----------------------" "" \
  "Hello world." "" "-------- Plotwright English Version Ver1.00 ---------" >"$tmp/expected"
cmp -s "$tmp/out" "$tmp/expected" || fail "raw story: bytes differ from the expected story"

# By default the same story is shown with LF line ends, and standard error stays quiet.
run --no-stats --seed 1 "$tmp/hello.vell"
tr -d '\r' <"$tmp/expected" | cmp -s - "$tmp/out" || fail "UTF-8 story: not the raw story with LF"
expect_no_err "UTF-8 story"

run --no-stats --seed 1 "$english"
expect_status 0 "English example"
expect_out "the lantern" "English example"
cp "$tmp/out" "$tmp/english-1"
run --no-stats --seed 1 "$english"
cmp -s "$tmp/out" "$tmp/english-1" || fail "the same seed gave another story"
different=0
for seed in 2 3 4 5; do
  run --no-stats --seed "$seed" "$english"
  cmp -s "$tmp/out" "$tmp/english-1" || different=1
done
[ "$different" -eq 1 ] || fail "five seeds gave one and the same story"

# The Japanese example: UTF-8 in, UTF-8 out with full-width-space paragraph indents; the
# Shift-JIS copy tells the same story for the same seed.
for seed in 1 2 3; do
  run --no-stats --seed "$seed" "$japanese"
  expect_status 0 "Japanese example"
  grep -q $'^\xe3\x80\x80' "$tmp/out" || fail "Japanese example: no U+3000 paragraph indent"
  grep -q $'\r' "$tmp/out" && fail "Japanese example: CR in the UTF-8 output"
  cp "$tmp/out" "$tmp/utf8-story"
  run --no-stats --seed "$seed" "$japanese_sjis"
  cmp -s "$tmp/out" "$tmp/utf8-story" || fail "Shift-JIS example: another story for seed $seed"
  run --no-stats --seed "$seed" --encoding shift_jis "$japanese_sjis"
  cmp -s "$tmp/out" "$tmp/utf8-story" || fail "--encoding shift_jis: another story"
done
run --raw --no-stats --seed 1 "$japanese"
grep -q $'\x81\x40' "$tmp/out" || fail "--raw: no Shift-JIS full-width space"

# Several stories: form-feed lines between them, or one JSON object per line.
run --no-stats --seed 1 --count 3 "$tmp/hello.vell"
[ "$(grep -c $'^\f$' "$tmp/out")" -eq 2 ] || fail "--count 3: expected two form-feed lines"
run --no-stats --seed 1 --count 3 --json "$english"
expect_status 0 "--json"
[ "$(wc -l <"$tmp/out")" -eq 3 ] || fail "--count 3 --json: expected three lines"
index=0
while IFS= read -r line; do
  case "$line" in
    "{\"index\":$index,\"text\":\""*"\"}") ;;
    *) fail "--json: line $index is not {\"index\":$index,\"text\":...}" ;;
  esac
  if command -v jq >/dev/null; then
    [ "$(jq -r .index <<<"$line")" = "$index" ] || fail "--json: line $index is not valid JSON"
  fi
  index=$((index + 1))
done <"$tmp/out"

# --- Scenario faults: the text is still shown, the status is 1 -----------------------------

printf 'title A\n{Road}\nselect Road\nForst\nRiver\nscene River\nWet.\n' >"$tmp/missing-scene.vell"
run --no-stats "$tmp/missing-scene.vell"
expect_status 1 "missing destination"
expect_out 'Scene "Forst" not found in select statement "Road"' "missing destination"
# The messages are shown once, however many stories were asked for.
run --no-stats --count 3 --json "$tmp/missing-scene.vell"
expect_status 1 "missing destination, three stories"
[ "$(wc -l <"$tmp/out")" -eq 1 ] || fail "missing destination, three stories: $(wc -l <"$tmp/out") lines"

yes 'x' | head -n 199999 >"$tmp/long.vell"
run --no-stats "$tmp/long.vell"
expect_status 1 "line limit"
expect_out "Source code exceed over max 200000 lines" "line limit"

# --- Diagnostics and statistics ------------------------------------------------------------

run --verbose --no-stats "$tmp/hello.vell"
expect_status 0 "--verbose"
expect_err "開始メッセージ,0" "--verbose"

mkdir "$tmp/stats"
cp "$english" "$tmp/stats/story.vell"
cp "$english" "$tmp/stats/quiet.vell"
run --seed 1 "$tmp/stats/story.vell"
[ -f "$tmp/stats/story.vus" ] || fail "statistics: no story.vus beside the scenario"
run --seed 1 --no-stats "$tmp/stats/quiet.vell"
[ -e "$tmp/stats/quiet.vus" ] && fail "--no-stats: a statistics file was written"

# Two runs with the same seed: the first writes one record per scene but the last (16 scenes:
# the 13 built-in ones, A, B and Z), the second favours the title the first did not use.
printf 'title A\nAlpha.\ntitle B\nBeta.\nscene Z\nZed.\n' >"$tmp/stats/two.vell"
run --seed 1 "$tmp/stats/two.vell"
cp "$tmp/out" "$tmp/two-first"
records=$(wc -l <"$tmp/stats/two.vus")
[ "$records" -eq 15 ] || fail "statistics: $records records instead of 15"
grep -qvE '^ {0,11}-?[0-9]+ {0,11}-?[0-9]+$' "$tmp/stats/two.vus" && fail "statistics: malformed record"
[ "$(awk '{ print length($0) }' "$tmp/stats/two.vus" | sort -u)" = "24" ] ||
  fail "statistics: records are not 24 characters wide"
run --seed 1 "$tmp/stats/two.vell"
if grep -q Alpha "$tmp/two-first"; then
  expect_out "Beta." "second run favours the unused title"
else
  expect_out "Alpha." "second run favours the unused title"
fi

# A statistics file that cannot be used is a warning, not a failure.
cp "$english" "$tmp/stats/blocked.vell"
mkdir "$tmp/stats/blocked.vus"
run --seed 1 "$tmp/stats/blocked.vell"
expect_status 0 "unusable statistics"
expect_err "plotwright: warning: $tmp/stats/blocked.vus: is not a regular file" "unusable statistics"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all command-line checks passed"
