# fish completion for plotwright(1) and plotwright-gui(1): commands, options, the values of
# --encoding and --format, and *.vell files for FILE.

# The files and folders that complete the current token, less files that are no scenario.
function __plotwright_scenarios
    for path in (complete -C"__plotwright_no_such_command "(commandline -ct))
        string match -q -r -i -- '(/|\.vell)$' $path; and echo $path
    end
end

set -l commands check graph coverage lsp
set -l story "not __fish_seen_subcommand_from $commands"
complete -c plotwright -f

# The commands, and FILE: a scenario.
complete -c plotwright -n $story -a check -d "Report what is wrong in a scenario"
complete -c plotwright -n $story -a graph -d "Draw the scenes, choices and jumps"
complete -c plotwright -n $story -a coverage -d "Run N stories and report what they reach"
complete -c plotwright -n $story -a lsp -d "Serve the Language Server Protocol"
complete -c plotwright -n "not __fish_seen_subcommand_from lsp" -a "(__plotwright_scenarios)"

# Every command.
complete -c plotwright -s h -l help -d "Show the usage and exit"
complete -c plotwright -n "not __fish_seen_subcommand_from lsp" -l encoding -x \
    -a "auto shift_jis utf-8" -d "How to read FILE"
complete -c plotwright -n "not __fish_seen_subcommand_from check lsp" -l seed -x \
    -d "Seed the random source from N instead of the clock"

# A story: plotwright FILE.
complete -c plotwright -n $story -l version -d "Show the version and exit"
complete -c plotwright -n $story -l count -x -d "Write N stories"
complete -c plotwright -n $story -l raw -d "Write the story's own bytes (Shift-JIS, CR LF)"
complete -c plotwright -n $story -l json -d "Write each story as a JSON line"
complete -c plotwright -n $story -l no-stats -d "Neither read nor write the statistics file"
complete -c plotwright -n $story -l start -x -d "Begin the story at this block"
complete -c plotwright -n $story -l trace -d "Show the path each story took"
complete -c plotwright -n $story -l watch -d "Tell a new story each time FILE is saved"
complete -c plotwright -n $story -l check -d "With --watch: the diagnostics before each story"
complete -c plotwright -n $story -l verbose -d "Show the compile's diagnostics"

# The commands' own options.
complete -c plotwright -n "__fish_seen_subcommand_from check" -l format -x -a "text json sarif" -d "Output format"
complete -c plotwright -n "__fish_seen_subcommand_from check" -l werror \
    -d "Warnings make the exit status 1 too"
complete -c plotwright -n "__fish_seen_subcommand_from check" -l docs-uri -x \
    -d "Address of diagnostics.md for SARIF help"
complete -c plotwright -n "__fish_seen_subcommand_from graph" -l format -x -a "dot mermaid" -d "Output format"
complete -c plotwright -n "__fish_seen_subcommand_from graph" -l coverage -x \
    -d "Colour scenes by how many of N stories reached them"
complete -c plotwright -n "__fish_seen_subcommand_from graph coverage" -l no-stats \
    -d "Start from no statistics"
complete -c plotwright -n "__fish_seen_subcommand_from coverage" -l runs -x \
    -d "The number of stories"
complete -c plotwright -n "__fish_seen_subcommand_from coverage" -l format -x -a "text json csv" -d "Output format"
complete -c plotwright -n "__fish_seen_subcommand_from coverage" -l save-stats \
    -d "Count the stories in the statistics file afterwards"

# The desktop program.
complete -c plotwright-gui -f -a "(__plotwright_scenarios)"
complete -c plotwright-gui -s h -l help -d "Show the usage and exit"
complete -c plotwright-gui -s v -l version -d "Show the version and exit"
