#!/usr/bin/env bash
# The statistics file under faults, on the real disk: the program killed at random points while
# it saves, many programs saving at once, a folder it may not write, a full disk. The file must
# always be the old one or the new one, whole, no run's count may be lost, and the story must
# not suffer.
# Usage: statistics_faults.sh PATH/TO/plotwright SOURCE_DIR
set -u

bin=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0

fail() {
  echo "FAIL: $1"
  failures=$((failures + 1))
}

# A scenario of 100,015 scenes (two titles, so that it has a choice): its statistics file has
# 100,014 records, 2.5 MB, which takes the program milliseconds to write.
scenes=100000
records=$((scenes + 14))
scenario=$tmp/big.vell
stats=$tmp/big.vus
{
  printf 'title A\nOne.\ntitle B\nTwo.\n'
  for ((i = 0; i < scenes; i++)); do printf 'scene S%d\n' "$i"; done
} >"$scenario"

# whole FILE: every line two 12-character fields and a line feed, one line for each record.
whole() {
  [ "$(wc -l <"$1")" -eq "$records" ] && [ "$(wc -c <"$1")" -eq $((records * 25)) ] &&
    ! grep -qvE '^[ 0-9-]{11}[0-9][ 0-9-]{11}[0-9]$' "$1"
}

# raised OLD NEW [BY...]: every run count of NEW is the one of OLD plus the same number, one of
# BY (default 1).
raised() {
  local old=$1 new=$2
  shift 2
  paste -d' ' <(cut -c13-24 "$old") <(cut -c13-24 "$new") |
    awk -v allowed=" ${*:-1} " '
      { step = $2 - $1; if (NR == 1) first = step; if (step != first) bad = 1 }
      END { exit bad || index(allowed, " " first " ") == 0 }'
}

start=$(date +%s%N)
"$bin" --seed 1 "$scenario" >/dev/null 2>"$tmp/err" || fail "first run: exit status $?"
first_run_ms=$((($(date +%s%N) - start) / 1000000 + 1))
whole "$stats" || fail "first run: the statistics file is not whole"

# --- Killed while saving ---------------------------------------------------------------------
# Half of the kills fall anywhere in a run; the other half wait for the temporary file to
# appear, so that they land while the file is being written, flushed or renamed.
rounds=12
replaced=0
kept=0
for ((round = 0; round < rounds; round++)); do
  cp "$stats" "$tmp/old.vus"
  "$bin" --seed "$round" --count 3 "$scenario" >/dev/null 2>&1 &
  pid=$!
  if ((round % 2 == 0)); then
    delay=$((RANDOM % first_run_ms))
    sleep "$((delay / 1000)).$(printf '%03d' $((delay % 1000)))"
  else
    while kill -0 "$pid" 2>/dev/null && ! compgen -G "$tmp/.plotwright.$pid.*" >/dev/null; do :; done
    sleep "0.00$((RANDOM % 8))"
  fi
  kill -KILL "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  if cmp -s "$stats" "$tmp/old.vus"; then
    kept=$((kept + 1))
  elif whole "$stats" && raised "$tmp/old.vus" "$stats"; then
    replaced=$((replaced + 1))
  else
    fail "round $round: the statistics file is neither the old one nor the new one"
    cp "$tmp/old.vus" "$stats"
  fi
done
echo "killed $rounds times: the old file stayed $kept times, the new one replaced it $replaced times"

# The temporary files that the killed programs left are removed by the next save.
left=$(find "$tmp" -name ".plotwright.*" | wc -l)
echo "the killed programs left $left temporary files"
"$bin" --seed 1 "$scenario" >/dev/null 2>&1 || fail "run after the kills: exit status $?"
whole "$stats" || fail "run after the kills: the statistics file is not whole"
[ "$(find "$tmp" -name '.plotwright.*' | wc -l)" -eq 0 ] ||
  fail "the temporary files of killed runs stay after a save ($left were left)"

# --- Many programs at once ----------------------------------------------------------------------
# Each save adds its own run to what the others saved: 24 runs, eight at a time, count 24 uses
# of the opening scene and 24 saves, whatever the order in which they finish.
busy=$tmp/busy.vell
printf 'title A\nOne.\ntitle B\nTwo.\n' >"$busy"
for ((batch = 0; batch < 3; batch++)); do
  pids=()
  for ((i = 0; i < 8; i++)); do
    "$bin" --seed $((batch * 8 + i)) "$busy" >/dev/null 2>&1 &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do wait "$pid" || fail "many at once: a program's exit status $?"; done
done
[ "$(head -n 1 "$tmp/busy.vus")" = "$(printf '%12d%12d' 24 24)" ] ||
  fail "many at once: the opening scene's record is '$(head -n 1 "$tmp/busy.vus")', expected 24 uses in 24 runs"

# --- A folder it may not write -----------------------------------------------------------------
small=$tmp/locked/story.vell
mkdir "$tmp/locked"
printf 'title A\nOne.\ntitle B\nTwo.\n' >"$small"
"$bin" --seed 1 "$small" >/dev/null 2>&1
cp "$tmp/locked/story.vus" "$tmp/locked-old.vus"
chmod 555 "$tmp/locked"
chmod 755 "$tmp"
as_user=()
if [ "$(id -u)" = 0 ]; then  # the superuser writes anywhere: run as nobody instead
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
  "${as_user[@]}" true 2>/dev/null || as_user=(none)
fi
if [ "${as_user[0]:-}" = none ]; then
  echo "SKIP: a folder it may not write (running as root without setpriv)"
else
  "${as_user[@]}" "$bin" --seed 1 "$small" >"$tmp/out" 2>"$tmp/err"
  status=$?
  [ "$status" -eq 0 ] || fail "read-only folder: exit status $status, expected 0"
  grep -q 'One\.\|Two\.' "$tmp/out" || fail "read-only folder: no story"
  grep -q '^plotwright: warning: could not save statistics: ' "$tmp/err" ||
    fail "read-only folder: no warning on standard error"
  cmp -s "$tmp/locked/story.vus" "$tmp/locked-old.vus" ||
    fail "read-only folder: the statistics file changed"
  [ -z "$(find "$tmp/locked" -name '.plotwright.*')" ] || fail "read-only folder: a temporary file"
fi
chmod 755 "$tmp/locked"

# --- A full disk ---------------------------------------------------------------------------------
# A small tmpfs of its own, in a mount namespace of its own, when this machine allows one.
full=$tmp/full
mkdir "$full"
cp "$small" "$full.vell"
cp "$tmp/locked-old.vus" "$full.vus"
namespace=(unshare -m --propagation private)
"${namespace[@]}" true 2>/dev/null || namespace=(unshare -r -m --propagation private)
if "${namespace[@]}" true 2>/dev/null; then
  "${namespace[@]}" bash -c '
    set -u
    full=$1 bin=$2
    mount -t tmpfs -o size=64k tmpfs "$full" || exit 3
    cp "$full.vell" "$full/story.vell" && cp "$full.vus" "$full/story.vus" || exit 4
    head -c 1M /dev/zero >"$full/filler" 2>/dev/null
    "$bin" --seed 1 "$full/story.vell" >"$full.out" 2>"$full.err"
    echo $? >"$full.status"
    cmp -s "$full/story.vus" "$full.vus" || echo changed >"$full.changed"
    find "$full" -name ".plotwright.*" >"$full.temporaries"
  ' bash "$full" "$bin" 2>/dev/null
  mounted=$?
else
  mounted=3
fi
case $mounted in
  0)
    [ "$(cat "$full.status")" = 0 ] || fail "full disk: exit status $(cat "$full.status"), expected 0"
    grep -q 'One\.\|Two\.' "$full.out" || fail "full disk: no story"
    grep -q '^plotwright: warning: could not save statistics: .*No space left on device' \
      "$full.err" || fail "full disk: no warning on standard error"
    [ ! -e "$full.changed" ] || fail "full disk: the statistics file changed"
    [ ! -s "$full.temporaries" ] || fail "full disk: a temporary file stayed"
    ;;
  3) echo "SKIP: a full disk (no tmpfs can be mounted here)" ;;
  *) fail "full disk: the test could not set up its disk (status $mounted)" ;;
esac

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "all statistics fault tests passed"
