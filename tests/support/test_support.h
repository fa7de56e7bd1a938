// Shared test helpers: scripted draws, classified texts, the language's state, a document.
#pragma once

#include <deque>
#include <string>
#include <string_view>

#include "base/clock.h"
#include "base/file_store.h"
#include "base/random_source.h"
#include "controller/document.h"
#include "controller/engine.h"
#include "generator/variables.h"
#include "language/char_classes.h"
#include "output/output_buffers.h"

namespace plotwright::testing {

// Yields the scripted values in order, then `fallback` forever; counts draws and seedings.
class ScriptedRandom final : public RandomSource {
 public:
  ScriptedRandom(std::initializer_list<int> values = {}, int fallback = 0)
      : values_(values), fallback_(fallback) {}
  void srand(std::uint32_t value) override { seed = value, ++seedings; }
  int rand() override {
    ++draws;
    if (values_.empty()) return fallback_;
    const int value = values_.front();
    values_.pop_front();
    return value;
  }
  void push(int value) { values_.push_back(value); }
  int draws = 0;
  int seedings = 0;
  std::uint32_t seed = 0;

 private:
  std::deque<int> values_;
  int fallback_;
};

// The character classes of a text, for the parsers that take both: f(t, Classes(t).data()).
struct Classes : ClassArray {
  explicit Classes(const char* text) { classify_text(text, data()); }
};

// The story buffers, scripted draws and the variables over them, as the language units use.
struct LanguageState {
  OutputBuffers output;
  ScriptedRandom random;
  VariableStore variables{output, random};
};

// A document over in-memory files, a fixed clock and scripted draws of 0.
//   ScenarioHarness h;
//   std::string story = h.load("title A\nHello.\n");
struct ScenarioHarness {
  // Loads `scenario` (LF line ends) as the file at `path`; returns the shown text.
  std::string load(std::string_view scenario, std::string_view path = "/stories/test.vell") {
    MemoryLineSource source(scenario);
    outcome = document.load_scenario(source, path);
    return std::string(outcome.text);
  }
  std::string regenerate() {
    auto text = document.regenerate();
    return text ? std::string(*text) : std::string("<nothing>");
  }
  const Engine& engine() const { return document.engine(); }

  ScriptedRandom scripted;
  FixedClock clock{0};
  MemoryFileStore files;
  Document document{DocumentServices{&scripted, &clock, &files, nullptr}};
  LoadOutcome outcome;
};

}  // namespace plotwright::testing
