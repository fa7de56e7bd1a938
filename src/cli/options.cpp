// Parsing the plotwright command line with CLI11.
#include "cli/options.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

#include "build_version.h"

namespace plotwright::cli {

namespace {

constexpr const char* kDescription =
    "Plotwright writes a random short story from a scenario in the Vell language.";

constexpr const char* kStdinNote =
    "FILE - reads the scenario from standard input (no statistics are kept for it).\n"
    "A file named like a command is given as ./check, ./graph, ...\n";

constexpr const char* kStoryExitStatus =
    "Exit status: 0 a story was shown; 1 the scenario has errors (they are shown instead)\n"
    "or is 199,999 lines or more; 2 a bad command line, a file that cannot be read, a story\n"
    "that cannot be written, or a character that has no Shift-JIS form.\n";

constexpr const char* kExamples =
    "Examples:\n"
    "  plotwright --seed 7 --count 3 examples/the-lighthouse-keeper.vell\n"
    "  plotwright check examples/the-lighthouse-keeper.vell\n"
    "  plotwright graph examples/the-lighthouse-keeper.vell | dot -Tsvg > story.svg\n"
    "  plotwright coverage --runs 1000 examples/the-lighthouse-keeper.vell\n";

// Each command states its own exit statuses: CLI11 would otherwise give every command the
// story's footer.
constexpr const char* kCheckExitStatus =
    "Exit status: 0 nothing is wrong; 1 an error (with --werror, a warning too); 2 a bad\n"
    "command line or a file that cannot be read.\n";

constexpr const char* kCoverageExitStatus =
    "Exit status: 0 the report was written; 1 the scenario has errors (they are shown\n"
    "instead) or is 199,999 lines or more; 2 a bad command line, a file that cannot be read,\n"
    "or a report that cannot be written.\n";

constexpr const char* kGraphExitStatus =
    "Exit status: 0 the picture was written (a scenario with errors is drawn too, with a\n"
    "warning); 1 with --coverage, the scenario has errors or is 199,999 lines or more; 2 a bad\n"
    "command line, a file that cannot be read, or a picture that cannot be written.\n";

constexpr const char* kLspExitStatus =
    "Exit status: 0 the client asked the server to shut down before it sent exit or closed\n"
    "the input; 1 it did not.\n";

constexpr const char* kUsage =
    "Usage: plotwright [OPTIONS] FILE\n       plotwright check|graph|coverage [OPTIONS] FILE\n"
    "       plotwright lsp\n";

// CLI11 shows an optional positional as [FILE]; the story command needs one, it only reports
// its absence in its own words. The commands keep CLI11's own usage lines.
class UsageFormatter final : public CLI::Formatter {
 public:
  std::string make_usage(const CLI::App* app, std::string name) const override {
    return app->get_parent() ? CLI::Formatter::make_usage(app, name) : kUsage;
  }
};

// --seed takes decimal digits only: no sign, no base prefix (010 is ten, not eight), and no
// value beyond the range the help states.
const CLI::Validator kSeedNumber(
    [](std::string& text) -> std::string {
      std::uint32_t value = 0;
      const char* end = text.data() + text.size();
      const auto [stop, failure] = std::from_chars(text.data(), end, value);
      if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
          failure != std::errc() || stop != end) {
        return "'" + text + "' is not a number from 0 to 4294967295";
      }
      return {};
    },
    "", "seed");

// What every command that reads a scenario takes.
struct Shared {
  std::string encoding_name = "auto";
  std::string seed_text;
};

void declare_file(CLI::App& app, Options& options, Shared& shared) {
  app.add_option("FILE", options.file, "The scenario file, UTF-8 or Shift-JIS")->type_name("");
  app.add_option("--encoding", shared.encoding_name,
                 "Read FILE as UTF-8 or Shift-JIS; auto (the default) takes UTF-8 when the "
                 "file is valid UTF-8")
      ->type_name("NAME")
      ->check(CLI::IsMember({"auto", "shift_jis", "utf-8"}));
}

void declare_seed(CLI::App& app, Shared& shared) {
  app.add_option("--seed", shared.seed_text,
                 "Seed from N (0 to 4294967295) instead of the clock: same N, same story")
      ->type_name("N")
      ->check(kSeedNumber);
}

// plotwright [OPTIONS] FILE
void declare_story(CLI::App& app, Options& options, Shared& shared) {
  declare_file(app, options, shared);
  declare_seed(app, shared);
  app.add_option("--count", options.count, "Write N stories, separated by form-feed lines")
      ->type_name("N")
      ->check(CLI::Range(1, 1000000));
  CLI::Option* raw =
      app.add_flag("--raw", options.raw, "Write the story's own bytes (Shift-JIS, CR LF)");
  app.add_flag("--json", options.json, "Write each story as a JSON line {\"index\",\"text\"}")
      ->excludes(raw);
  app.add_flag("--no-stats", options.no_stats, "Neither read nor write the statistics file");
  app.add_option("--start", options.start,
                 "Begin the story at this block (a name, or a scene number) instead of the "
                 "start")
      ->type_name("NAME|NUMBER");
  app.add_flag("--trace", options.trace,
               "After each story, the path it took (standard error; in --json, \"trace\")");
  CLI::Option* watch = app.add_flag("--watch", options.watch,
                                    "Tell a new story each time FILE is saved; Ctrl+C ends");
  app.add_flag("--check", options.check, "With --watch: the diagnostics before each story")
      ->needs(watch);
  app.add_flag("--verbose", options.verbose, "Show the compile's diagnostics on standard error");
}

// plotwright check [OPTIONS] FILE
void declare_check(CLI::App& app, Options& options, Shared& shared) {
  CLI::App* check = app.add_subcommand(
      "check", "Report what is wrong in a scenario, as FILE:LINE:COL: severity: message [CODE]");
  declare_file(*check, options, shared);
  options.format = "text";
  check->add_option("--format", options.format, "text (the default), json or sarif")
      ->type_name("FORMAT")
      ->check(CLI::IsMember({"text", "json", "sarif"}));
  check->add_flag("--werror", options.werror, "Warnings make the exit status 1 too");
  check
      ->add_option("--docs-uri", options.docs_uri,
                   "With sarif: the diagnostics.md the rules' help points into")
      ->type_name("URI");
  check->footer(std::string(kStdinNote) + "\n" + kCheckExitStatus);
}

// plotwright graph [OPTIONS] FILE
void declare_graph(CLI::App& app, Options& options, Shared& shared) {
  CLI::App* graph =
      app.add_subcommand("graph", "Draw the scenario's scenes, choices and jumps (Graphviz)");
  declare_file(*graph, options, shared);
  declare_seed(*graph, shared);
  graph->add_option("--format", options.format, "dot (the default) or mermaid")
      ->type_name("FORMAT")
      ->check(CLI::IsMember({"dot", "mermaid"}));
  graph
      ->add_option("--coverage", options.runs,
                   "Colour each scene by how many of N stories reached it")
      ->type_name("N")
      ->check(CLI::Range(1, 10000000));
  graph->add_flag("--no-stats", options.no_stats,
                  "With --coverage: start from no statistics instead of the scenario's");
  graph->footer(std::string(kStdinNote) + "\n" + kGraphExitStatus);
}

// plotwright coverage [OPTIONS] FILE
void declare_coverage(CLI::App& app, Options& options, Shared& shared) {
  CLI::App* coverage = app.add_subcommand(
      "coverage", "Run N stories and report what they reach, which choices they take");
  declare_file(*coverage, options, shared);
  declare_seed(*coverage, shared);
  coverage->add_option("--runs", options.runs, "The number of stories")
      ->type_name("N")
      ->required()
      ->check(CLI::Range(1, 10000000));
  coverage->add_option("--format", options.format, "text (the default), json or csv")
      ->type_name("FORMAT")
      ->check(CLI::IsMember({"text", "json", "csv"}));
  CLI::Option* no_stats =
      coverage->add_flag("--no-stats", options.no_stats,
                         "Start from no statistics instead of the scenario's statistics file");
  coverage
      ->add_flag("--save-stats", options.save_stats,
                 "Count the stories in the statistics file afterwards")
      ->excludes(no_stats);
  coverage->footer(std::string(kStdinNote) + "\n" + kCoverageExitStatus);
}

Command command_of(const CLI::App& app) {
  if (app.got_subcommand("check")) return Command::CHECK;
  if (app.got_subcommand("graph")) return Command::GRAPH;
  if (app.got_subcommand("coverage")) return Command::COVERAGE;
  if (app.got_subcommand("lsp")) return Command::LSP;
  return Command::STORY;
}

// Fills in what the parse left as text.
void finish_options(const Shared& shared, Options& options) {
  // The option's check admits only the names this knows.
  static_cast<void>(parse_input_encoding(shared.encoding_name, options.encoding));
  if (!shared.seed_text.empty()) {
    std::uint32_t seed = 0;
    std::from_chars(shared.seed_text.data(), shared.seed_text.data() + shared.seed_text.size(),
                    seed);
    options.seed = seed;
  }
  if (options.format.empty()) {
    options.format = options.command == Command::GRAPH ? "dot" : "text";
  }
}

}  // namespace

std::string version_text() {
  return std::string("Plotwright(English version) Ver1.00 (build ") + PLOTWRIGHT_BUILD_VERSION +
         ")";
}

ParsedCommandLine parse_command_line(int argc, const char* const* argv, std::ostream& out,
                                     std::ostream& err) {
  CLI::App app(kDescription, "plotwright");
  // The same command line on every system: on Windows CLI11 would also take "/seed" for
  // --seed, and a path starting with '/' for an option.
  app.allow_windows_style_options(false);
  app.footer(std::string(kStdinNote) + "\n" + kStoryExitStatus + "\n" + kExamples);
  app.formatter(std::make_shared<UsageFormatter>());
  Options options;
  Shared shared;
  declare_story(app, options, shared);
  declare_check(app, options, shared);
  declare_graph(app, options, shared);
  declare_coverage(app, options, shared);
  app.add_subcommand("lsp", "Serve the Language Server Protocol on standard input and output")
      ->footer(kLspExitStatus);
  app.set_version_flag("--version", version_text(), "Show the version and exit");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
      app.exit(e, out, err);  // --help or --version
      if (!out.flush()) {
        err << "plotwright: could not write to standard output\n";
        return {std::nullopt, kExitUsage};
      }
      return {std::nullopt, kExitStory};
    }
    err << "plotwright: " << e.what() << '\n'
        << kUsage << "Run 'plotwright --help' for the options.\n";
    return {std::nullopt, kExitUsage};
  }
  options.command = command_of(app);
  finish_options(shared, options);
  if (options.file.empty() && options.command != Command::LSP) {
    err << "Vell language scenario file is required\n\n" << app.help();
    return {std::nullopt, kExitUsage};
  }
  return {options, kExitStory};
}

}  // namespace plotwright::cli
