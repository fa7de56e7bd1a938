#!/usr/bin/env bash
# The Debian packages as their users meet them: built from the source tree with
# dpkg-buildpackage (scripts/debian-package), checked by lintian --pedantic and hardening-check,
# then installed with apt one at a time with what they need of each other, used (a story from
# an installed example, the desktop program, a C program through pkg-config, the Python module)
# and purged. Installing needs root and apt: otherwise the test is skipped (status 77). The
# machine is left as it was, whatever fails: what apt installed is purged again, and a
# plotwright package installed before makes the test skip.
#   usage: debian_package.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
packages="plotwright plotwright-gui libplotwright1 libplotwright-dev python3-plotwright"
skip() { echo "debian_package: skipped: $*"; exit 77; }
[ "$(id -u)" = 0 ] || skip "installing a package needs root (CI runs as root)"
for tool in apt-get dpkg-buildpackage lintian hardening-check; do
  command -v "$tool" > /dev/null || skip "no $tool (scripts/install-deps package installs it)"
done
skip_if_installed() {
  for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2> /dev/null | grep -q 'install ok installed' &&
      skip "the package $p is installed already (apt-get purge $p)"
  done
  return 0
}
skip_if_installed
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "debian_package: $*" >&2; failures=$((failures + 1)); }
installed_names() { dpkg-query -W -f='${db:Status-Status} ${Package}\n' | awk '$1 == "installed" {print $2}' | sort; }

# apt COMMAND...: apt-get, waiting while another package manager holds its lock.
apt() {
  DEBIAN_FRONTEND=noninteractive apt-get -y -qq -o DPkg::Lock::Timeout=900 \
    --no-install-recommends "$@" > "$work/apt.log" 2>&1 || { cat "$work/apt.log" >&2; return 1; }
}
# Purges whatever was installed since the test began: ours, and anything apt brought with them.
restore() {
  local added
  added=$(installed_names | comm -13 "$work/before" -)
  [ -z "$added" ] && return 0
  # shellcheck disable=SC2086
  apt purge $added || echo "debian_package: COULD NOT PURGE $added" >&2
}

"$source_dir/scripts/debian-package" "$work/out" 2 > /dev/null || { fail "the build failed"; exit 1; }
deb() { ls "$work"/out/"$1"_*.deb; }

# What each package weighs and needs: only the desktop program needs Qt, only it and the
# command line carry the engine besides the library. Each is unpacked for hardening-check.
for p in $packages; do
  dpkg-deb -f "$(deb "$p")" Installed-Size Depends > "$work/fields"
  echo "debian_package: $p: $(tr '\n' ' ' < "$work/fields")"
  [ "$p" != plotwright-gui ] && grep -q 'libqt6' "$work/fields" && fail "$p depends on Qt"
  mkdir -p "$work/root/$p" && dpkg-deb -x "$(deb "$p")" "$work/root/$p" || fail "$p does not unpack"
done
dpkg-deb -f "$(deb python3-plotwright)" Depends | grep -q 'libplotwright1' ||
  fail "python3-plotwright does not use libplotwright1"

# lintian, pedantic: any tag kept is overridden in debian/*.lintian-overrides with its reason.
lintian --pedantic --fail-on none "$work"/out/*.changes > "$work/lintian.log" 2>&1
cat "$work/lintian.log"
grep -q '^[EW]:' "$work/lintian.log" && fail "lintian reports errors or warnings"

# Every ELF file of every package, hardened. Control-flow protection is not asked for: the
# program would have it only if the C library's start files had it too, which Debian 12's do
# not (no program there has it, /usr/bin/ls neither); the flag is given all the same.
elves=0
while IFS= read -r -d '' file; do
  [ "$(od -An -c -N4 "$file" | tr -d ' ')" = '177ELF' ] || continue
  elves=$((elves + 1))
  hardening-check --quiet --nocfprotection "$file" || fail "hardening-check: $file"
done < <(find "$work/root" -type f -print0)
# The two programs, the library and the Python module.
[ "$elves" = 4 ] || fail "hardening-check saw $elves ELF files, not 4"

# From here on the machine's packages change: one run at a time (another checkout's tests may
# run beside this one), and what this run adds is purged whatever happens.
exec 9> /run/lock/plotwright-debian-package.lock
flock 9
skip_if_installed
installed_names > "$work/before"
trap 'restore; rm -rf "$work"' EXIT

example=/usr/share/doc/plotwright/examples/the-lighthouse-keeper.vell
"$build/plotwright" --no-stats --seed 1 "$source_dir/examples/the-lighthouse-keeper.vell" > "$work/built.out"
# The C interface: the example program through the installed pkg-config file.
apt install "$(deb libplotwright1)" "$(deb libplotwright-dev)" || fail "libplotwright-dev does not install"
[ "$(pkg-config --variable=libdir plotwright)" = "/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)" ] ||
  fail "the library is not in the multiarch folder"
# shellcheck disable=SC2046
cc -std=c99 -Wall -Werror -o "$work/story" /usr/share/doc/libplotwright-dev/examples/story.c \
  $(pkg-config --cflags --libs plotwright) || fail "the C example does not build against /usr"
"$work/story" "$source_dir/examples/the-lighthouse-keeper.vell" 1 > "$work/c.out" 2> /dev/null &&
  cmp -s "$work/c.out" "$work/built.out" || fail "the C example tells another story"
restore

# The Python module, with the library it needs.
apt install "$(deb python3-plotwright)" "$(deb libplotwright1)" || fail "python3-plotwright does not install"
/usr/bin/python3 -c 'import sys, plotwright
sys.stdout.write(plotwright.Scenario.from_file(sys.argv[1]).story(seed=1))' \
  "$source_dir/examples/the-lighthouse-keeper.vell" > "$work/python.out" &&
  cmp -s "$work/python.out" "$work/built.out" || fail "the Python module tells another story"
restore

# The command line: a story from an installed example, which keeps no statistics under /usr
# (root could write them there, but no package would own them) and says so once, plainly.
apt install "$(deb plotwright)" || fail "plotwright does not install"
/usr/bin/plotwright --seed 1 "$example" > "$work/installed.out" 2> "$work/installed.err" ||
  fail "the installed plotwright failed"
cmp -s "$work/installed.out" "$work/built.out" || fail "the installed plotwright tells another story"
[ "$(cat "$work/installed.err")" = "plotwright: note: $example: is one of the system's files; no \
statistics are kept for it (copy it to a folder of your own to keep them)" ] ||
  fail "the installed example's note: $(cat "$work/installed.err")"
[ -z "$(find /usr/share/doc/plotwright -name '*.vus')" ] || fail "statistics were left under /usr"
[ "$(man -w plotwright)" = /usr/share/man/man1/plotwright.1.gz ] || fail "man -w plotwright: $(man -w plotwright 2>&1)"
man -w 5 vell > /dev/null 2>&1 || fail "man -w 5 vell finds nothing"
spec=$(bash -c 'source /usr/share/bash-completion/bash_completion && __load_completion plotwright && complete -p plotwright')
[ "$spec" = "complete -F _plotwright plotwright" ] || fail "bash completion not loaded: $spec"
restore

# The desktop program, its file type for .vell files and the desktop entry that opens them.
apt install "$(deb plotwright-gui)" || fail "plotwright-gui does not install"
QT_QPA_PLATFORM=offscreen /usr/bin/plotwright-gui --version > "$work/gui.out" 2>&1 &&
  grep -q '^Plotwright 1\.' "$work/gui.out" || fail "plotwright-gui --version: $(cat "$work/gui.out")"
touch "$work/story.vell"
type=$(xdg-mime query filetype "$work/story.vell")
[ "$type" = text/x-vell ] || fail "xdg-mime: story.vell is '$type', not text/x-vell"
opener=$(xdg-mime query default text/x-vell)
[ "$opener" = org.plotwright.Plotwright.desktop ] || fail "xdg-mime: text/x-vell opens with '$opener'"
restore
[ "$(xdg-mime query filetype "$work/story.vell")" = text/x-vell ] && fail "text/x-vell is left after the purge"

[ "$failures" -eq 0 ] || exit 1
echo "debian_package: lintian and hardening-check clean; each package installed, used and purged"
