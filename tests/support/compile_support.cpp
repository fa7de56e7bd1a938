// Compiling test scenarios and reading back their scene tables.
#include "support/compile_support.h"

#include "compiler/line_source.h"

namespace plotwright::testing {

std::vector<std::string> strings_of(const LineList& list) {
  std::vector<std::string> out;
  for (int i = 0; list.present() && i < list.count; ++i) out.emplace_back(list.items[i]);
  return out;
}

CompiledText::CompiledText(std::string_view text) {
  MemoryLineSource source(text);
  read_result = read_source_lines(source, store);
  errors = compile_scenario(store, scenario, *output, diagnostics);
}

std::vector<Record> CompiledText::records(int scene) const {
  std::vector<Record> out;
  const Record* list = scenario.scenes.list(scene);
  for (int i = 0; list && !list[i].is_end(); ++i) out.push_back(list[i]);
  return out;
}

std::vector<int> CompiledText::targets(int scene) const {
  std::vector<int> out;
  for (const Record& record : records(scene)) out.push_back(record.target);
  return out;
}

std::vector<std::string> CompiledText::lines(int scene) const {
  const Record* list = scenario.scenes.list(scene);
  return list ? strings_of(list->lines) : std::vector<std::string>{};
}

std::vector<std::string> CompiledText::conditions(int scene) const {
  std::vector<std::string> out;
  for (const Record& record : records(scene)) {
    const auto texts = strings_of(record.condition);
    out.push_back(texts.empty() ? std::string() : texts.front());
  }
  return out;
}

}  // namespace plotwright::testing
