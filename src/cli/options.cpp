// Parsing the plotwright command line with CLI11.
#include "cli/options.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <cstdint>
#include <memory>
#include <ostream>

#include "build_version.h"

namespace plotwright::cli {

namespace {

constexpr const char* kDescription =
    "Plotwright writes a random short story from a scenario in the Vell language.";

constexpr const char* kFooter =
    "FILE - reads the scenario from standard input (no statistics are kept for it).\n"
    "\n"
    "Exit status: 0 a story was shown; 1 the scenario has errors (they are shown instead)\n"
    "or is 199,999 lines or more; 2 a bad command line, a file that cannot be read, a story\n"
    "that cannot be written, or a character that has no Shift-JIS form.\n"
    "\n"
    "Example:\n"
    "  plotwright --seed 7 --count 3 examples/the-lighthouse-keeper.vell\n";

constexpr const char* kUsage = "Usage: plotwright [OPTIONS] FILE\n";

// CLI11 shows an optional positional as [FILE]; the program needs one, it only reports its
// absence in its own words.
class UsageFormatter final : public CLI::Formatter {
 public:
  std::string make_usage(const CLI::App*, std::string) const override { return kUsage; }
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

// Declares every option of the program on `app`, bound to `options` (the encoding's name
// goes to `encoding_name`, the seed's digits to `seed_text`).
void declare_options(CLI::App& app, Options& options, std::string& encoding_name,
                     std::string& seed_text) {
  app.add_option("FILE", options.file, "The scenario file, UTF-8 or Shift-JIS")->type_name("");
  app.add_option("--seed", seed_text,
                 "Seed from N (0 to 4294967295) instead of the clock: same N, same story")
      ->type_name("N")
      ->check(kSeedNumber);
  app.add_option("--count", options.count, "Write N stories, separated by form-feed lines")
      ->type_name("N")
      ->check(CLI::Range(1, 1000000));
  app.add_option("--encoding", encoding_name,
                 "Read FILE as UTF-8 or Shift-JIS; auto (the default) takes UTF-8 when the "
                 "file is valid UTF-8")
      ->type_name("NAME")
      ->check(CLI::IsMember({"auto", "shift_jis", "utf-8"}));
  CLI::Option* raw =
      app.add_flag("--raw", options.raw, "Write the story's own bytes (Shift-JIS, CR LF)");
  app.add_flag("--json", options.json, "Write each story as a JSON line {\"index\",\"text\"}")
      ->excludes(raw);
  app.add_flag("--no-stats", options.no_stats, "Neither read nor write the statistics file");
  app.add_flag("--verbose", options.verbose, "Show the compile's diagnostics on standard error");
  app.set_version_flag("--version", version_text(), "Show the version and exit");
}

}  // namespace

std::string version_text() {
  return std::string("Plotwright(English version) Ver1.00 (build ") + PLOTWRIGHT_BUILD_VERSION +
         ")";
}

ParsedCommandLine parse_command_line(int argc, const char* const* argv, std::ostream& out,
                                     std::ostream& err) {
  CLI::App app(kDescription, "plotwright");
  app.footer(kFooter);
  app.formatter(std::make_shared<UsageFormatter>());
  Options options;
  std::string encoding_name = "auto";
  std::string seed_text;
  declare_options(app, options, encoding_name, seed_text);
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
  parse_input_encoding(encoding_name, options.encoding);  // the check admits only known names
  if (!seed_text.empty()) {
    std::uint32_t seed = 0;
    std::from_chars(seed_text.data(), seed_text.data() + seed_text.size(), seed);
    options.seed = seed;
  }
  if (options.file.empty()) {
    err << "Vell language scenario file is required\n\n" << app.help();
    return {std::nullopt, kExitUsage};
  }
  return {options, kExitStory};
}

}  // namespace plotwright::cli
