// The C functions of include/plotwright/plotwright.h: argument checks, and no exception
// crossing into C, around EmbeddedScenario.
#include <cstring>
#include <new>
#include <string_view>
#include <type_traits>

#include "embed/embedded_scenario.h"
#include "embed/failure_status.h"
#include "plotwright/plotwright.h"

struct plotwright_scenario {
  plotwright::embed::EmbeddedScenario impl;
};

namespace {

using plotwright::embed::EmbeddedScenario;

constexpr const char* kUnknownEncoding = "unknown encoding";

// Runs one operation on a handle: a fresh message, null pointers refused, and any exception
// turned into the status that names it.
template <typename Operation>
plotwright_status run(plotwright_scenario* handle, bool arguments_given, Operation operation) {
  if (!handle) return PLOTWRIGHT_ARGUMENT_ERROR;
  EmbeddedScenario& scenario = handle->impl;
  scenario.clear_message();
  if (!arguments_given) return scenario.fail(PLOTWRIGHT_ARGUMENT_ERROR, "a null pointer");
  try {
    return operation(scenario);
  } catch (...) {
    const plotwright::embed::Failure failure = plotwright::embed::current_failure();
    return scenario.fail_quietly(failure.status, failure.what);
  }
}

// An encoding as the caller passed it. C lets any int through an enum parameter, and C++ may
// not even load one outside the enum's values: its bytes are read as an integer and checked
// first.
bool known_encoding(const plotwright_encoding& given, plotwright_encoding& known) {
  std::underlying_type_t<plotwright_encoding> value = 0;
  std::memcpy(&value, &given, sizeof value);
  switch (value) {
    case PLOTWRIGHT_ENCODING_AUTO:
    case PLOTWRIGHT_ENCODING_SHIFT_JIS:
    case PLOTWRIGHT_ENCODING_UTF8:
      known = static_cast<plotwright_encoding>(value);
      return true;
    default:
      return false;
  }
}

// Hands a text out through the C pointers.
void hand_out(std::string_view text, const char** data, size_t* length) {
  *data = text.data() ? text.data() : "";
  if (length) *length = text.size();
}

// Runs an operation that yields a text, and hands that text out through the C pointers.
template <typename Operation>
plotwright_status run_for_text(plotwright_scenario* handle, const char** data, size_t* length,
                               Operation operation) {
  return run(handle, data != nullptr, [&](EmbeddedScenario& s) {
    std::string_view text;
    const plotwright_status status = operation(s, text);
    hand_out(text, data, length);
    return status;
  });
}

}  // namespace

extern "C" {

const char* plotwright_version(void) {
  return PLOTWRIGHT_LIBRARY_VERSION;
}

plotwright_scenario* plotwright_new(void) {
  return new (std::nothrow) plotwright_scenario;
}

void plotwright_free(plotwright_scenario* scenario) {
  if (!scenario) return;
  try {
    scenario->impl.close();
  } catch (...) {  // nothing may be thrown into C; the save was only a courtesy
  }
  delete scenario;
}

const char* plotwright_message(const plotwright_scenario* scenario) {
  return scenario ? scenario->impl.message().c_str() : "no handle";
}

plotwright_status plotwright_open_file(plotwright_scenario* scenario, const char* path,
                                       plotwright_encoding encoding, unsigned flags) {
  return run(scenario, path != nullptr, [&](EmbeddedScenario& s) {
    plotwright_encoding known{};
    if (!known_encoding(encoding, known)) {
      return s.fail(PLOTWRIGHT_ARGUMENT_ERROR, kUnknownEncoding);
    }
    return s.open_file(path, known, flags);
  });
}

plotwright_status plotwright_open_text(plotwright_scenario* scenario, const char* text,
                                       size_t length, plotwright_encoding encoding) {
  return run(scenario, text != nullptr || length == 0, [&](EmbeddedScenario& s) {
    plotwright_encoding known{};
    if (!known_encoding(encoding, known)) {
      return s.fail(PLOTWRIGHT_ARGUMENT_ERROR, kUnknownEncoding);
    }
    return s.open_text(std::string_view(text ? text : "", length), known);
  });
}

plotwright_status plotwright_story(plotwright_scenario* scenario, uint32_t seed, const char** text,
                                   size_t* length) {
  return run_for_text(scenario, text, length, [&](EmbeddedScenario& s, std::string_view& out) {
    return s.story(seed, out);
  });
}

plotwright_status plotwright_regenerate(plotwright_scenario* scenario, const char** text,
                                        size_t* length) {
  return run_for_text(scenario, text, length, [&](EmbeddedScenario& s, std::string_view& out) {
    return s.regenerate(out);
  });
}

plotwright_status plotwright_raw_story(plotwright_scenario* scenario, const char** bytes,
                                       size_t* length) {
  return run_for_text(scenario, bytes, length,
                      [&](EmbeddedScenario& s, std::string_view& out) { return s.raw_story(out); });
}

plotwright_status plotwright_statistics(plotwright_scenario* scenario, const char** text,
                                        size_t* length) {
  return run_for_text(scenario, text, length, [&](EmbeddedScenario& s, std::string_view& out) {
    return s.statistics(out);
  });
}

plotwright_status plotwright_set_statistics(plotwright_scenario* scenario, const char* text,
                                            size_t length) {
  return run(scenario, text != nullptr || length == 0, [&](EmbeddedScenario& s) {
    return s.set_statistics(std::string_view(text ? text : "", length));
  });
}

plotwright_status plotwright_save_statistics(plotwright_scenario* scenario) {
  return run(scenario, true, [](EmbeddedScenario& s) { return s.save_statistics(); });
}

const char* plotwright_severity_name(plotwright_severity severity) {
  // Read as an integer first, as an encoding is: C lets any int through.
  std::underlying_type_t<plotwright_severity> value = 0;
  std::memcpy(&value, &severity, sizeof value);
  return plotwright::embed::severity_name(value);
}

plotwright_status plotwright_diagnostics(plotwright_scenario* scenario,
                                         const plotwright_diagnostic** list, size_t* count) {
  return run(scenario, list != nullptr && count != nullptr, [&](EmbeddedScenario& s) {
    *list = nullptr;
    *count = 0;
    return s.diagnostics(*list, *count);
  });
}

}  // extern "C"
