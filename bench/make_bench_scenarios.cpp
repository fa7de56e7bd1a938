// Writes the benchmark scenarios into a folder, for measurements of the whole program.
#include <cstdio>
#include <fstream>
#include <string>

#include "bench_scenarios.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  const std::pair<const char*, std::string> files[] = {
      {"peer-shaped.vell", plotwright::bench::peer_shaped_scenario()},
      {"long-run.vell", plotwright::bench::long_run_scenario()},
      {"large.vell", plotwright::bench::large_scenario(199998)},
      {"large-half.vell", plotwright::bench::large_scenario(99999)},
      {"dense.vell", plotwright::bench::dense_scenario(4000000)},
      {"mixed.vell", plotwright::bench::mixed_scenario(20000)},
  };
  for (const auto& [name, text] : files) {
    const std::string path = folder + "/" + name;
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out) {
      std::fprintf(stderr, "%s: cannot write\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
