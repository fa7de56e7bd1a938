# What the --watch tests share (sourced): counting failures, and waiting for an outcome the
# program must reach, with a generous limit so that a busy machine only makes a test slower.

failures=0

fail() {
  echo "FAIL: $1"
  failures=$((failures + 1))
}

# count TEXT FILE: the lines of FILE that hold TEXT.
count() { grep -cF -- "$1" "$2" 2>/dev/null || true; }

# wait_for TEXT FILE [N]: until FILE holds at least N lines (1) with TEXT, a minute at most.
wait_for() {
  for _ in $(seq 600); do
    [ "$(count "$1" "$2")" -ge "${3:-1}" ] && return 0
    sleep 0.1
  done
  fail "no '$1' (${3:-1} times) in $(basename "$2") after a minute"
  return 1
}
