// The variable store: 80 slots of a name, a number, a text (which may hold alternatives,
// expanded at every print) and a count of prints. Numeric and text variables share one name
// space; the prefix of a token (`%`, `%D`, `$`) says which field an operation means.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/limits.h"
#include "base/random_source.h"
#include "base/text.h"
#include "output/output_buffers.h"

namespace plotwright {

// Byte equality up to and including a terminator that both reach within 4096 bytes; an
// absent text equals nothing.
bool texts_equal(const char* a, const char* b);

struct VariableSlot {
  std::string name;  // without any prefix; at most 4096 bytes
  double number = 0;
  std::string text;  // at most 4095 bytes
  std::int32_t uses = 0;
};

class VariableStore {
 public:
  VariableStore(OutputBuffers& output, RandomSource& random) : output_(output), random_(random) {}

  // Gives every slot empty storage (each scenario load).
  void init_variable_buffers();
  // No variable is defined (the start of every story).
  void clear() { count_ = 0; }
  int count() const { return count_; }
  const VariableSlot& slot(int index) const { return slots_[index]; }

  // The slot of `name`, or -1. Each look-up counts towards the run's work.
  int find_variable(const char* name);
  // Takes the next slot for `name`, with number 0, an empty text and no uses. When all 80
  // slots are in use, writes the "could not be defined" message into the story and returns -1.
  int define_variable(const char* name);
  int add_to_variable(const char* token, double amount);
  int assign_variable(const char* token, const char* value);
  // Appends the variable's value to the pending line; returns the bytes appended.
  int print_variable(const char* token);

  // The bytes of names compared and of texts expanded so far, for the run's work limit.
  std::int64_t work() const { return work_; }

 private:
  int find_or_define(const char* name);
  int print_number(double number, bool full_width);

  OutputBuffers& output_;
  RandomSource& random_;
  std::array<VariableSlot, kMaxVariables> slots_;
  int count_ = 0;
  TextBuffer expanded_;
  std::int64_t work_ = 0;
};

}  // namespace plotwright
