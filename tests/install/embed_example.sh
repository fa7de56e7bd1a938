#!/usr/bin/env bash
# Builds examples/embed against an installed libplotwright, once through its CMake package and
# once through its pkg-config file, and checks that both tell the command line's story; and
# that the library exports its C interface and nothing else.
#   usage: embed_example.sh PREFIX LIBDIR SOURCE_DIR PLOTWRIGHT
set -euo pipefail
prefix=$1 libdir=$1/$2 source=$3 cli=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
example=$source/examples/the-lighthouse-keeper.vell
"$cli" --no-stats --seed 7 "$example" > "$work/expected"

fail() { echo "embed_example: $*" >&2; exit 1; }

# Only the interface's symbols: the engine and the C++ library stay inside.
others=$(nm -D --defined-only "$libdir/libplotwright.so" | awk '{print $3}' | grep -v '^plotwright_' || true)
[ -z "$others" ] || fail "the library exports more than its interface: $others"
objdump -p "$libdir/libplotwright.so" | grep -q 'SONAME *libplotwright\.so\.1$' ||
  fail "the library's SONAME is not libplotwright.so.1"

# find_package(Plotwright).
cmake -S "$source/examples/embed" -B "$work/cmake" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_C_FLAGS="-std=c99 -Wall -Wextra -Werror -pedantic" > "$work/log" 2>&1 ||
  { cat "$work/log"; fail "the example does not configure against $prefix"; }
cmake --build "$work/cmake" > "$work/log" 2>&1 || { cat "$work/log"; fail "the example does not build"; }
"$work/cmake/story" "$example" 7 > "$work/cmake.out"
cmp -s "$work/expected" "$work/cmake.out" || fail "the CMake-built example tells another story"

# pkg-config.
export PKG_CONFIG_PATH=$libdir/pkgconfig
[ "$(pkg-config --modversion plotwright)" = "$(sed -n 's/^project(Plotwright VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")" ] ||
  fail "pkg-config gives another version"
# shellcheck disable=SC2046
cc -std=c99 -Wall -Wextra -Werror $(pkg-config --cflags plotwright) \
  "$source/examples/embed/story.c" $(pkg-config --libs plotwright) -o "$work/story"
LD_LIBRARY_PATH=$libdir "$work/story" "$example" 7 > "$work/pc.out"
cmp -s "$work/expected" "$work/pc.out" || fail "the pkg-config-built example tells another story"

# A failure reaches the program as a message.
if LD_LIBRARY_PATH=$libdir "$work/story" /no/such.vell 2> "$work/err"; then
  fail "a missing file was not reported"
fi
grep -q '^story: /no/such.vell: ' "$work/err" || fail "unexpected message: $(cat "$work/err")"
echo "embed_example: the CMake and pkg-config builds tell the command line's story"
