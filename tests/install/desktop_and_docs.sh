#!/usr/bin/env bash
# The installed desktop entry, AppStream metainfo, file type and manual pages, as the desktop's
# and man's own tools read them; and every option and command of the program's help in its
# manual page and in the completion of each shell, so that none is forgotten when one is added.
#   usage: desktop_and_docs.sh PREFIX SOURCE_DIR PLOTWRIGHT
set -euo pipefail
prefix=$1 source=$2 cli=$3
share=$prefix/share
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "desktop_and_docs: $*" >&2; failures=$((failures + 1)); }

# The desktop entry opens .vell files; the metainfo names it.
desktop=$share/applications/org.plotwright.Plotwright.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
grep -qx 'MimeType=text/x-vell;' "$desktop" || fail "the desktop entry does not open text/x-vell"
appstreamcli validate --no-net "$share/metainfo/org.plotwright.Plotwright.metainfo.xml" \
  > "$work/appstream" 2>&1 || { cat "$work/appstream"; fail "appstreamcli rejects the metainfo"; }

# The file type, in a MIME database of its own built from the installed package file.
install -D -m 644 "$share/mime/packages/plotwright.xml" "$work/mime/packages/plotwright.xml"
XDG_DATA_HOME=$work XDG_DATA_DIRS=$work update-mime-database "$work/mime" 2> "$work/mime.err" || fail "update-mime-database rejects it"
[ -s "$work/mime.err" ] && fail "update-mime-database: $(cat "$work/mime.err")"
touch "$work/story.vell"
type=$(XDG_DATA_HOME=$work XDG_DATA_DIRS=$work mimetype --brief "$work/story.vell")
[ "$type" = text/x-vell ] || fail "story.vell is $type, not text/x-vell"
[ -f "$share/icons/hicolor/scalable/apps/plotwright.svg" ] || fail "no icon in the hicolor theme"

# The manual pages render without a warning.
for page in man1/plotwright.1 man1/plotwright-gui.1 man5/vell.5; do
  file=$share/man/$page.gz
  [ -f "$file" ] || { fail "no $file"; continue; }
  warnings=$(MANWIDTH=80 man --warnings -l "$file" 2>&1 > /dev/null || true)
  [ -z "$warnings" ] || fail "$page: $warnings"
done

# Every command and option of the help, in the manual page and in each shell's completion.
commands="check graph coverage lsp"
options=$("$cli" --help; for c in $commands; do "$cli" "$c" --help; done)
options=$(grep -o -- '--[a-z][a-z-]*' <<< "$options" | sort -u)
[ "$(wc -l <<< "$options")" -ge 15 ] || fail "too few options found in the help: $options"
for word in $commands $options; do
  name=${word#--}
  grep -q -- "\*$word\*\|\*plotwright $word\*" "$source/docs/man/plotwright.1.scd" ||
    fail "plotwright(1) does not describe $word"
  grep -q -- "$word\b" "$source/completions/plotwright.bash" || fail "bash completion lacks $word"
  grep -q -- "$word\b" "$source/completions/_plotwright" || fail "zsh completion lacks $word"
  grep -q -- "-l $name\b\|-a $name\b" "$source/completions/plotwright.fish" ||
    fail "fish completion lacks $word"
done

[ "$failures" -eq 0 ] || exit 1
echo "desktop_and_docs: all valid, every option documented and completed"
