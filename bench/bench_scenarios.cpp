// Generating the benchmark scenarios, deterministically.
#include "bench_scenarios.h"

#include <cstdio>

namespace plotwright::bench {

namespace {

const char* const kNouns[] = {"lantern", "harbour", "cliff", "gull",   "storm",
                              "ledger",  "rope",    "tide",  "beacon", "skiff"};
const char* const kAdjectives[] = {"grey", "quiet", "broken", "salt-white", "distant", "old"};

// A 3-way group; `nested` puts another 3-way group into its first alternative.
std::string group(int seed, bool nested) {
  std::string text = "(";
  text += nested
              ? std::string("very (") + kAdjectives[seed % 6] + "|" + kAdjectives[(seed + 1) % 6] +
                    "|" + kAdjectives[(seed + 2) % 6] + ") " + kNouns[seed % 10]
              : std::string(kAdjectives[seed % 6]) + " " + kNouns[seed % 10];
  text += "|";
  text += std::string(kAdjectives[(seed + 3) % 6]) + " " + kNouns[(seed + 3) % 10];
  text += "|";
  text += std::string(kAdjectives[(seed + 4) % 6]) + " " + kNouns[(seed + 7) % 10];
  return text + ")";
}

std::string text_line(int n) {
  const int groups = 2 + n % 3;
  std::string line = "A ";
  for (int g = 0; g < groups; ++g) {
    line += group(n * 7 + g, (n + g) % 3 == 0);
    line += g + 1 < groups ? ", a " : ".";
  }
  return line;
}

}  // namespace

std::string peer_shaped_scenario() {
  std::string text = "title Watch\n";
  text += "The Night (Watch|Keeper|Light)/\n";
  for (int line = 1; line <= 40; ++line) {
    if (line % 10 == 0) {
      text += "{Choice" + std::to_string(line / 10) + "}\n";
    } else {
      text += text_line(line) + "\n";
    }
  }
  for (int s = 1; s <= 3; ++s) {
    const std::string name = "Choice" + std::to_string(s);
    text += "select " + name + "\n";
    for (int c = 1; c <= 3; ++c) text += name + "Scene" + std::to_string(c) + "\n";
    for (int c = 1; c <= 3; ++c) {
      text += "scene " + name + "Scene" + std::to_string(c) + "\n";
      text += "A " + group(s * 3 + c, false) + " passed the " + group(s + c, false) + ".\n";
    }
  }
  return text;
}

std::string long_run_scenario() {
  return "title Loop\nscene Again\nThe lamp turned once more.\n{Again}\n"
         "title Start\n{Again}\n";
}

std::string dense_scenario(int bytes) {
  std::string line;
  for (int i = 0; i < 1000; ++i) line += "<%n>1> ";
  line += '\n';
  std::string text = "title Dense\n[%n=2]\n";
  text.reserve(static_cast<std::size_t>(bytes) + line.size());
  while (text.size() + line.size() <= static_cast<std::size_t>(bytes)) text += line;
  return text;
}

std::string mixed_scenario(int lines) {
  std::string text = "title Mixed\n[%n=2][a=x][%c+=1]\n";
  for (int i = 0; i < lines; ++i) {
    const std::string v = std::to_string(i % 90);
    const std::string part = "<%n>1>A[v" + v + "=x] (b|c) <$v" + v +
                             "=x>[%n++] {jump}[%c] <a=x>[v" + std::to_string(i % 50) +
                             "] <%n>1>z <%c<3>q ";
    for (int r = 0; r < 12; ++r) text += part;
    text += '\n';
  }
  return text;
}

std::string large_scenario(int lines) {
  // Names beyond the lookup window cannot be found by name, so choices name blocks among the
  // first 9000: neighbours before and after for most, wrapping round for the rest.
  auto wrap = [](int block) { return "B" + std::to_string((block - 1) % 9000 + 1); };
  std::string text;
  text.reserve(static_cast<std::size_t>(lines) * 24);
  int block = 0;
  int written = 0;
  auto add = [&](const std::string& line) {
    text += line;
    text += '\n';
    ++written;
  };
  add("title Start");
  add("The story begins.");
  while (written + 3 <= lines) {
    ++block;
    if (block % 3 == 0) {
      add("select B" + std::to_string(block));
      add(wrap(block - 1));
      add("<%n>=" + std::to_string(block % 7) + ">" + wrap(block + 1));
    } else {
      add("scene B" + std::to_string(block));
      add("Line one of block " + std::to_string(block) + ".");
      add("Line two.");
    }
  }
  while (written < lines) add("More text.");
  return text;
}

std::string statistics_file(int records) {
  std::string text;
  text.reserve(static_cast<std::size_t>(records) * 25);
  char line[64];
  for (int k = 0; k < records; ++k) {
    std::snprintf(line, sizeof line, "%12d%12d\n", k % 1000, k % 17);
    text += line;
  }
  return text;
}

}  // namespace plotwright::bench
