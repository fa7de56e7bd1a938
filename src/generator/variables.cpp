// Defining, assigning, adding to and printing variables.
#include "generator/variables.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "generator/alternatives.h"

namespace plotwright {

bool texts_equal(const char* a, const char* b) {
  if (!a || !b) return false;
  for (int i = 0; i < kTextCapacity; ++i) {
    if (a[i] != b[i]) return false;
    if (a[i] == '\0') return true;
  }
  return false;
}

void VariableStore::init_variable_buffers() {
  for (VariableSlot& slot : slots_) {
    slot.name.clear();
    slot.text.clear();
    slot.name.reserve(64);
  }
}

int VariableStore::find_variable(const char* name) {
  work_ += static_cast<std::int64_t>(count_) * (1 + bounded_length(name));
  for (int i = 0; i < count_; ++i) {
    if (texts_equal(slots_[i].name.c_str(), name)) return i;
  }
  return -1;
}

int VariableStore::define_variable(const char* name) {
  if (count_ >= kMaxVariables) {
    output_.pending_put_text("Variable ");
    output_.pending_put_text("\"");
    output_.pending_put_text(name);
    output_.pending_put_text("\"");
    output_.pending_put_text(" could not be defined as count of variables exceed max 80");
    output_.flush_pending_line();
    return -1;
  }
  VariableSlot& slot = slots_[count_];
  slot.name.assign(name, static_cast<std::size_t>(bounded_length(name)));
  slot.number = 0;
  slot.text.clear();
  slot.uses = 0;
  return count_++;
}

int VariableStore::find_or_define(const char* name) {
  const int found = find_variable(name);
  return found >= 0 ? found : define_variable(name);
}

int VariableStore::add_to_variable(const char* token, double amount) {
  if (token[0] != '%') return 0;
  const int index = find_or_define(token + 1);
  if (index < 0) return 0;
  slots_[index].number += amount;
  return 1;
}

int VariableStore::assign_variable(const char* token, const char* value) {
  const bool numeric = token[0] == '%';
  const char* name = numeric ? token + 1 : token;
  int index = find_variable(name);
  if (index < 0) {
    if (value[0] == '\0') return 0;
    index = define_variable(name);
    if (index < 0) return 0;
  }
  VariableSlot& slot = slots_[index];
  if (value[0] == '%') return 1;
  if (numeric) {
    parse_number(value, slot.number);
    return 1;
  }
  if (value[0] == '\0') slot.uses = 0;
  slot.text.assign(value, static_cast<std::size_t>(bounded_length(value, kTextMaxLength)));
  return 1;
}

namespace {

// "%.0f", with a NaN written as glibc writes it, its sign included ("-nan" for infinity minus
// infinity), so that a story is the same whatever C library the program was built with.
void format_number(double number, char* out, std::size_t size) {
  if (std::isnan(number)) {
    std::snprintf(out, size, "%s", std::signbit(number) ? "-nan" : "nan");
  } else {
    std::snprintf(out, size, "%.0f", number);
  }
}

}  // namespace

int VariableStore::print_number(double number, bool full_width) {
  // Room for any double in "%.0f": up to 309 digits and a sign.
  char formatted[kNumberTextCapacity];
  format_number(number, formatted, sizeof formatted);
  if (!full_width) return output_.pending_put_text(formatted);
  int appended = 0;
  for (int i = 0; i < kFullWidthDigits && formatted[i] != '\0'; ++i) {
    output_.pending_put_char('\x82');
    output_.pending_put_char(static_cast<char>(formatted[i] + 0x1F));
    appended += 2;
  }
  return appended;
}

int VariableStore::print_variable(const char* token) {
  if (token[0] == '%') {
    const bool full_width = token[1] == 'D';
    const int index = find_variable(token + (full_width ? 2 : 1));
    if (index < 0) return output_.pending_put_text("0");
    return print_number(slots_[index].number, full_width);
  }
  const int index = find_variable(token);
  if (index < 0 || slots_[index].text.empty()) return output_.pending_put_text(token);
  VariableSlot& slot = slots_[index];
  work_ += static_cast<std::int64_t>(1 + slot.text.size()) * (1 + kMaxGroupPasses);
  expand_alternatives(slot.text.c_str(), expanded_.data(), random_);
  expand_groups(expanded_.data(), random_);
  const int appended = output_.pending_put_text(expanded_.data());
  ++slot.uses;
  return appended;
}

}  // namespace plotwright
