#!/usr/bin/env bash
# The completion of bash, fish and zsh, asked as a user's Tab asks them: the commands, the
# values of --encoding and --format, each command's options, and .vell files (not others) for
# FILE. A shell that is not installed is skipped; with none, the test is (status 77).
#   usage: shell_completion.sh COMPLETIONS_DIR
set -uo pipefail
completions=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" && mkdir folder && touch story.vell notes.txt
failures=0 shells=0

# expect SHELL LINE WORD...: what SHELL offers after LINE, sorted, is exactly the WORDs.
expect() {
  local shell=$1 line=$2 got want
  shift 2
  got=$(offers_$shell "$line" | sed 's/[[:space:]].*//; s|/$||' | sort -u | xargs)
  want=$(printf '%s\n' "$@" | sort -u | xargs)
  [ "$got" = "$want" ] ||
    { echo "$shell: after '$line': got '$got', expected '$want'" >&2; failures=$((failures + 1)); }
}

# The cases every shell must get right.
check_shell() {
  local shell=$1
  shells=$((shells + 1))
  expect "$shell" "plotwright " check graph coverage lsp story.vell folder
  expect "$shell" "plotwright --encoding " auto shift_jis utf-8
  expect "$shell" "plotwright check --format " text json sarif
  expect "$shell" "plotwright graph --format " dot mermaid
  expect "$shell" "plotwright coverage --" --help --encoding --seed --runs --format --save-stats \
    --no-stats
  expect "$shell" "plotwright-gui " story.vell folder
}

# bash, through bash-completion's own loader and the file as installed.
offers_bash() {
  bash --norc --noprofile -c '
    source /usr/share/bash-completion/bash_completion
    source "$1/plotwright.bash"
    read -ra COMP_WORDS <<< "$2"
    [[ $2 == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) COMP_LINE=$2 COMP_POINT=${#2}
    spec=$(complete -p "${COMP_WORDS[0]}") && function=${spec#*-F } && function=${function%% *}
    "$function" "${COMP_WORDS[0]}" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf "%s\n" "${COMPREPLY[@]}"' bash "$completions" "$1"
}
if [ -f /usr/share/bash-completion/bash_completion ]; then
  check_shell bash
  expect bash "plotwright story.vell --r" --raw
  expect bash "plotwright lsp "
fi

offers_fish() {
  fish --no-config -c "source '$completions/plotwright.fish'; complete -C '$1'"
}
if command -v fish > /dev/null; then
  check_shell fish
  expect fish "plotwright story.vell --r" --raw
fi

# zsh completes only inside its line editor: an interactive zsh on a terminal of its own, sent
# the line and a Tab, its screen read until the offers and the next prompt appear (however long
# that takes: the test's time limit ends a zsh that never offers).
offers_zsh() {
  ZDOTDIR=$work zsh -f -c '
    zmodload zsh/zpty
    zpty z "TERM=dumb PS1=\"> \" zsh -f -i"
    zpty -w z "fpath=($1 \$fpath); autoload -U compinit; compinit -u -d $PWD/.zcompdump; \
               print -r ZSH_READY"
    while zpty -r z line; do [[ $line == ZSH_READY* ]] && break; done
    zpty -w -n z "$2"$'"'"'\t'"'"'
    zpty -r z screen "*"$'"'"'\n'"'"'"*> *"
    zpty -d z
    # The offers are between the echoed line and the next prompt: a word and its description
    # on each line, or words in columns.
    print -r -- "${${screen#*$'"'"'\n'"'"'}%> *}" | tr -d "\r" |
      awk "/ -- /{print \$1; next} {for (i = 1; i <= NF; i++) print \$i}"
  ' zsh "$completions" "$1"
}
command -v zsh > /dev/null && check_shell zsh

[ "$shells" -gt 0 ] || { echo "shell_completion: no shell to try (bash-completion, fish, zsh)"; exit 77; }
[ "$failures" -eq 0 ] || exit 1
echo "shell_completion: $shells shells offer what they should"
