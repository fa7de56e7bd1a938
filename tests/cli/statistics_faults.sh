#!/usr/bin/env bash
# The statistics file under faults, on the real disk: the program killed while it saves, many
# programs saving at once, a full disk. The file must always be the old one or the new one,
# whole, no run's count may be lost, and the story must not suffer.
# Usage: statistics_faults.sh PATH/TO/plotwright
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
# 100,014 records, 2.5 MB, which takes the program milliseconds to write: time for a kill to
# land while it does.
records=100014
scenario=$tmp/big.vell
stats=$tmp/big.vus
{
  printf 'title A\nOne.\ntitle B\nTwo.\n'
  seq -f 'scene S%g' 0 99999
} >"$scenario"

# whole FILE: every line two 12-character fields and a line feed, one line for each record.
whole() {
  [ "$(wc -c <"$1")" -eq $((records * 25)) ] && ! grep -qvE '^[ 0-9-]{11}[0-9][ 0-9-]{11}[0-9]$' "$1"
}

"$bin" --seed 1 "$scenario" >/dev/null 2>"$tmp/err" || fail "first run: exit status $?"
whole "$stats" || fail "first run: the statistics file is not whole"

# --- Killed while saving ---------------------------------------------------------------------
# Each kill waits for the temporary file to appear, so that it lands while the file is being
# written, flushed or renamed. Whichever it hits, the file is the old one or the new one, with
# every run count raised by one.
kept=0
for round in 1 2 3 4 5 6; do
  cp "$stats" "$tmp/old.vus"
  "$bin" --seed "$round" "$scenario" >/dev/null 2>&1 &
  pid=$!
  while kill -0 "$pid" 2>/dev/null && ! compgen -G "$tmp/.plotwright.$pid.*" >/dev/null; do :; done
  sleep "0.00$round"
  kill -KILL "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  cmp -s "$stats" "$tmp/old.vus" && kept=$((kept + 1)) && continue
  if ! whole "$stats" || [ "$(cut -c13-24 "$stats" | sort -u | wc -l)" -ne 1 ] ||
    [ $(($(head -c 24 "$stats" | cut -c13-) - $(head -c 24 "$tmp/old.vus" | cut -c13-))) -ne 1 ]; then
    fail "round $round: the statistics file is neither the old one nor the new one"
    cp "$tmp/old.vus" "$stats"
  fi
done

echo "killed six times while saving: the old file stayed $kept times, the new one replaced it"

# The temporary files that the killed programs left are removed by the next save.
"$bin" --seed 1 "$scenario" >/dev/null 2>&1 || fail "run after the kills: exit status $?"
whole "$stats" || fail "run after the kills: the statistics file is not whole"
[ -z "$(find "$tmp" -name '.plotwright.*')" ] || fail "temporary files of killed runs stay"

# --- Many programs at once ----------------------------------------------------------------------
# Each save adds its own run to what the others saved: 16 runs, eight at a time, count 16 uses
# of the opening scene and 16 saves, whatever the order in which they finish.
busy=$tmp/busy.vell
printf 'title A\nOne.\ntitle B\nTwo.\n' >"$busy"
for batch in 0 1; do
  pids=()
  for i in 0 1 2 3 4 5 6 7; do
    "$bin" --seed $((batch * 8 + i)) "$busy" >/dev/null 2>&1 &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do wait "$pid" || fail "many at once: a program's exit status $?"; done
done
[ "$(head -n 1 "$tmp/busy.vus")" = "$(printf '%12d%12d' 16 16)" ] ||
  fail "many at once: the opening scene's record is '$(head -n 1 "$tmp/busy.vus")'"

# --- A lock held by someone else -------------------------------------------------------------
# Anyone who may read the file may hold its lock, for as long as they like (here for the whole
# run): the story is shown, the wait is told at once, and after the bounded wait the program
# ends, saying that this run's counts were lost. The file stays as it was.
cp "$tmp/busy.vus" "$tmp/before.vus"
flock "$tmp/busy.vus" "$bin" --seed 1 "$busy" >"$tmp/out" 2>"$tmp/err"
held=$?
[ "$held" = 0 ] || fail "held lock: exit status $held"
grep -q 'One\.\|Two\.' "$tmp/out" || fail "held lock: no story"
grep -qx "plotwright: warning: .*/busy.vus: is locked by another program; waiting for it to save the statistics" \
  <(head -n 1 "$tmp/err") || fail "held lock: no warning before the wait: $(head -n 1 "$tmp/err")"
grep -qx "plotwright: warning: could not save statistics: .*/busy.vus: stayed locked by another program; this run's counts were not saved" \
  <(tail -n +2 "$tmp/err") || fail "held lock: no warning that the counts were lost: $(cat "$tmp/err")"
cmp -s "$tmp/busy.vus" "$tmp/before.vus" || fail "held lock: the statistics file changed"

# --- A full disk ---------------------------------------------------------------------------------
# A small tmpfs of its own, in a mount namespace of its own, when this machine allows one.
full=$tmp/full
mkdir "$full"
cp "$busy" "$full.vell"
cp "$tmp/busy.vus" "$full.vus"
namespace=(unshare -m --propagation private)
"${namespace[@]}" true 2>/dev/null || namespace=(unshare -r -m --propagation private)
mounted=3
if "${namespace[@]}" true 2>/dev/null; then
  "${namespace[@]}" bash -c '
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
fi
case $mounted in
  0)
    [ "$(cat "$full.status")" = 0 ] || fail "full disk: exit status $(cat "$full.status")"
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
