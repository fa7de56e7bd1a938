# bash completion for plotwright(1) and plotwright-gui(1): commands, options, the values of
# --encoding and --format, and *.vell files for FILE. Needs the bash-completion package.

# The options of each command; "story" is plotwright FILE itself.
_plotwright_options() {
  case $1 in
    story) echo "--help --version --encoding --seed --count --raw --json --no-stats --start
                 --trace --watch --check --verbose" ;;
    check) echo "--help --encoding --format --werror --docs-uri" ;;
    graph) echo "--help --encoding --seed --format --coverage --no-stats" ;;
    coverage) echo "--help --encoding --seed --runs --format --save-stats --no-stats" ;;
    lsp) echo "--help" ;;
  esac
}

_plotwright() {
  local cur prev words cword
  _init_completion || return

  # The command is the first word that is neither an option nor an option's value; a first
  # word that names no command is the story's FILE.
  local command=story i
  local -i file_given=0
  for ((i = 1; i < cword; i++)); do
    case ${words[i]} in
      --encoding | --seed | --count | --start | --format | --coverage | --runs) ((i++)) ;;
      -*) ;;
      check | graph | coverage | lsp)
        [[ $command == story && $file_given == 0 ]] && command=${words[i]} || file_given=1
        ;;
      *) file_given=1 ;;
    esac
  done

  case $prev in
    --encoding)
      COMPREPLY=($(compgen -W "auto shift_jis utf-8" -- "$cur"))
      return
      ;;
    --format)
      local formats="text json sarif"
      [[ $command == graph ]] && formats="dot mermaid"
      [[ $command == coverage ]] && formats="text json csv"
      COMPREPLY=($(compgen -W "$formats" -- "$cur"))
      return
      ;;
    --seed | --count | --start | --coverage | --runs)
      return  # a number or a block's name: nothing to offer
      ;;
  esac

  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$(_plotwright_options $command)" -- "$cur"))
    return
  fi
  [[ $command == lsp || $file_given == 1 ]] && return
  [[ $command == story ]] && COMPREPLY=($(compgen -W "check graph coverage lsp" -- "$cur"))
  _filedir vell
}
complete -F _plotwright plotwright

_plotwright_gui() {
  local cur prev words cword
  _init_completion || return
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "--help --version" -- "$cur"))
    return
  fi
  _filedir vell
}
complete -F _plotwright_gui plotwright-gui
