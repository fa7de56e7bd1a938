#!/usr/bin/env bash
# The Debian package as a user meets it: built with CPack from this build, checked by lintian,
# installed with dpkg, then used (a story from an installed example, the manual pages, the
# .vell file type and the program that opens it, the completion, the C and Python interfaces)
# and purged. Installing needs root: as anyone else the test is skipped (status 77). The
# machine is left as it was, whatever fails; a plotwright package installed before is never
# touched (the test is skipped).
#   usage: debian_package.sh BUILD_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
if [ "$(id -u)" != 0 ]; then
  echo "debian_package: skipped: installing a package needs root (CI runs as root)"
  exit 77
fi
if dpkg-query -W -f='${Status}' plotwright 2> /dev/null | grep -q 'install ok installed'; then
  echo "debian_package: skipped: a plotwright package is installed already (dpkg --purge plotwright)"
  exit 77
fi
work=$(mktemp -d)
failures=0
fail() { echo "debian_package: $*" >&2; failures=$((failures + 1)); }

# dpkg COMMAND...: dpkg, waiting while another package manager holds its lock.
dpkg_waiting() {
  local attempt
  for attempt in $(seq 120); do
    dpkg "$@" > "$work/dpkg.log" 2>&1 && return 0
    grep -q 'lock' "$work/dpkg.log" || break
    sleep 5
  done
  cat "$work/dpkg.log" >&2
  return 1
}
installed=0
cleanup() {
  [ "$installed" = 1 ] && { dpkg_waiting --purge plotwright || echo "debian_package: COULD NOT PURGE plotwright" >&2; }
  rm -rf "$work"
}
trap cleanup EXIT

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" > "$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; exit 1; }
deb=$(ls "$work"/out/plotwright_*.deb)
lintian "$deb" > "$work/lintian.log" 2>&1
grep '^E:' "$work/lintian.log" && fail "lintian reports errors"

installed=1
dpkg_waiting -i "$deb" || { fail "dpkg -i failed"; exit 1; }

# A story from an installed example, as the build's program tells it.
example=/usr/share/doc/plotwright/examples/the-lighthouse-keeper.vell
[ "$(command -v plotwright)" = /usr/bin/plotwright ] || fail "plotwright is not /usr/bin/plotwright"
/usr/bin/plotwright --no-stats --seed 1 "$example" > "$work/installed.out" || fail "the installed plotwright failed"
"$build/plotwright" --no-stats --seed 1 "$example" > "$work/built.out"
cmp -s "$work/installed.out" "$work/built.out" || fail "the installed plotwright tells another story"
[ -x /usr/bin/plotwright-gui ] || fail "no /usr/bin/plotwright-gui"

# The manual pages, the file type of .vell files and the desktop entry that opens them.
[ "$(man -w plotwright)" = /usr/share/man/man1/plotwright.1.gz ] || fail "man -w plotwright: $(man -w plotwright 2>&1)"
man -w 5 vell > /dev/null 2>&1 || fail "man -w 5 vell finds nothing"
touch "$work/story.vell"
type=$(xdg-mime query filetype "$work/story.vell")
[ "$type" = text/x-vell ] || fail "xdg-mime: story.vell is '$type', not text/x-vell"
opener=$(xdg-mime query default text/x-vell)
[ "$opener" = org.plotwright.Plotwright.desktop ] || fail "xdg-mime: text/x-vell opens with '$opener'"

# bash-completion finds the completion by the command's name.
spec=$(bash -c 'source /usr/share/bash-completion/bash_completion && __load_completion plotwright && complete -p plotwright')
[ "$spec" = "complete -F _plotwright plotwright" ] || fail "bash completion not loaded: $spec"

# The interfaces for programs: the C example through the installed pkg-config file, and Python.
# shellcheck disable=SC2046
cc -std=c99 -Wall -Werror -o "$work/story" /usr/share/doc/plotwright/examples/embed/story.c \
  $(pkg-config --cflags --libs plotwright) || fail "the C example does not build against /usr"
"$work/story" "$example" 1 > "$work/c.out" 2> /dev/null && cmp -s "$work/c.out" "$work/built.out" ||
  fail "the C example tells another story"
/usr/bin/python3 -c 'import sys, plotwright
sys.stdout.write(plotwright.Scenario.from_file(sys.argv[1]).story(seed=1))' "$example" \
  > "$work/python.out" && cmp -s "$work/python.out" "$work/built.out" ||
  fail "the Python module tells another story"

installed=0
dpkg_waiting --purge plotwright || fail "dpkg --purge failed"
[ -e /usr/bin/plotwright ] && fail "/usr/bin/plotwright is left after the purge"
[ "$(xdg-mime query filetype "$work/story.vell")" = text/x-vell ] && fail "text/x-vell is left after the purge"

[ "$failures" -eq 0 ] || exit 1
echo "debian_package: lintian without errors; installed, used and purged"
