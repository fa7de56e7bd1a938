// The Python module plotwright over the C interface: Scenario, its stories as str, its
// diagnostics as named tuples, its failures as exceptions (subclasses of Python's own where one
// fits: a file that cannot be read is an OSError, a seed out of range a ValueError).
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "plotwright/plotwright.h"

namespace py = pybind11;

namespace {

// The module's exceptions, each a plotwright.Error.
struct ScenarioError : std::runtime_error {
  using std::runtime_error::runtime_error;
};
struct EncodingError : std::runtime_error {
  using std::runtime_error::runtime_error;
};
struct StatisticsError : std::runtime_error {
  using std::runtime_error::runtime_error;
};
// A scenario file that cannot be read, raised as FileError(errno, strerror, filename) the way
// Python's open() raises its OSError; `error_number` is 0 for a refusal that is no system
// error (a file too long, not a regular file), which keeps the whole message.
struct FileError : std::runtime_error {
  FileError(const std::string& message, std::string path, std::string reason, int error_number)
      : std::runtime_error(message),
        path(std::move(path)),
        reason(std::move(reason)),
        error_number(error_number) {}
  std::string path;
  std::string reason;
  int error_number;
};

// Past the largest errno of any system this runs on.
constexpr int kErrnoLimit = 256;

// The errno whose words `reason` is, or 0. The file layer reports a system failure in the
// system's own words (strerror), and a Python caller wants its number too.
int error_number_of(const std::string& reason) {
  for (int error = 1; error < kErrnoLimit; ++error) {
    if (reason == std::strerror(error)) return error;
  }
  return 0;
}

// The FileError for the message "PATH: reason" that opening `path` left.
FileError file_error(const std::string& path, const std::string& message) {
  const std::string prefix = path + ": ";
  const std::string reason =
      message.compare(0, prefix.size(), prefix) == 0 ? message.substr(prefix.size()) : message;
  return FileError(message, path, reason, error_number_of(reason));
}

// A seed as the command line takes it, 0 to 4294967295: a ValueError below, an OverflowError
// above, rather than a seed taken modulo 2**32 or pybind11's "incompatible function arguments".
std::uint32_t seed_of(const py::handle& seed) {
  if (!PyLong_Check(seed.ptr())) {
    throw py::type_error("seed must be an int, not " +
                         py::str(py::type::of(seed).attr("__name__")).cast<std::string>());
  }
  constexpr auto largest = std::numeric_limits<std::uint32_t>::max();
  const std::string range = "seed must be from 0 to " + std::to_string(largest) + ", not ";
  int overflow = 0;
  const long long value = PyLong_AsLongLongAndOverflow(seed.ptr(), &overflow);
  if (overflow < 0 || (overflow == 0 && value < 0)) {
    throw py::value_error(range + py::str(seed).cast<std::string>());
  }
  if (overflow > 0 || value > static_cast<long long>(largest)) {
    throw std::overflow_error(range + py::str(seed).cast<std::string>());
  }
  return static_cast<std::uint32_t>(value);
}

plotwright_encoding parse_encoding(const std::string& name) {
  if (name == "auto") return PLOTWRIGHT_ENCODING_AUTO;
  if (name == "shift_jis") return PLOTWRIGHT_ENCODING_SHIFT_JIS;
  if (name == "utf-8") return PLOTWRIGHT_ENCODING_UTF8;
  throw py::value_error("encoding must be 'auto', 'shift_jis' or 'utf-8', not '" + name + "'");
}

// What a str that UTF-8 cannot carry holds (a lone surrogate, from a file read with
// errors='surrogateescape', say): the module's EncodingError naming it, for the UnicodeEncodeError
// being raised.
[[noreturn]] void refuse_unencodable(py::error_already_set& raised) {
  if (!raised.matches(PyExc_UnicodeEncodeError)) throw std::move(raised);
  const py::object error = raised.value();
  const auto start = error.attr("start").cast<py::ssize_t>();
  const auto code = py::cast<std::uint32_t>(
      py::module_::import("builtins").attr("ord")(error.attr("object")[py::int_(start)]));
  char hex[16];
  std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(code));
  throw EncodingError("the text holds " + std::string(hex) + " at index " + std::to_string(start) +
                      ", a lone surrogate, which is not a character and has no UTF-8 form");
}

// A str or bytes, as it is.
const py::object& str_or_bytes(const py::object& text) {
  if (py::isinstance<py::str>(text) || py::isinstance<py::bytes>(text)) return text;
  throw py::type_error("a str or bytes is needed, not " +
                       py::str(py::type::of(text).attr("__name__")).cast<std::string>());
}

// The bytes of a str (its UTF-8, which Python keeps with it) or of a bytes object, for as
// long as the object lives.
std::string_view bytes_of(const py::object& text) {
  Py_ssize_t size = 0;
  if (py::isinstance<py::str>(text)) {
    const char* data = PyUnicode_AsUTF8AndSize(text.ptr(), &size);
    if (!data) {
      py::error_already_set raised;
      refuse_unencodable(raised);
    }
    return {data, static_cast<std::size_t>(size)};
  }
  char* data = nullptr;
  if (PyBytes_AsStringAndSize(text.ptr(), &data, &size) != 0) throw py::error_already_set();
  return {data, static_cast<std::size_t>(size)};
}

class Scenario {
 public:
  Scenario() : handle_(plotwright_new(), plotwright_free) {
    if (!handle_) throw std::bad_alloc();
  }

  static std::unique_ptr<Scenario> from_file(const std::filesystem::path& path,
                                             const std::string& encoding, bool keep_statistics) {
    auto scenario = std::make_unique<Scenario>();
    const plotwright_status status =
        plotwright_open_file(scenario->handle(), path.c_str(), parse_encoding(encoding),
                             keep_statistics ? PLOTWRIGHT_KEEP_STATISTICS : 0);
    if (status == PLOTWRIGHT_FILE_ERROR) {
      throw file_error(path.string(), plotwright_message(scenario->handle()));
    }
    scenario->check(status);
    return scenario;
  }

  // A str is given as its UTF-8; bytes as they are, read as `encoding` says. Neither is
  // copied: the library refuses one too long before it reads it.
  static std::unique_ptr<Scenario> from_text(const py::object& text, const std::string& encoding) {
    const std::string_view bytes = bytes_of(str_or_bytes(text));
    auto scenario = std::make_unique<Scenario>();
    scenario->check(plotwright_open_text(scenario->handle(), bytes.data(), bytes.size(),
                                         parse_encoding(encoding)));
    return scenario;
  }

  // Without a seed, the run is seeded from the clock, as the plotwright command's is.
  py::str story(const py::object& seed) {
    const auto from =
        seed.is_none() ? static_cast<std::uint32_t>(std::time(nullptr)) : seed_of(seed);
    return text_of([&](const char** text, std::size_t* length) {
      return plotwright_story(handle(), from, text, length);
    });
  }

  py::str regenerate() {
    return text_of([&](const char** text, std::size_t* length) {
      return plotwright_regenerate(handle(), text, length);
    });
  }

  py::bytes raw_story() {
    const char* bytes = nullptr;
    std::size_t length = 0;
    check(plotwright_raw_story(handle(), &bytes, &length));
    return py::bytes(bytes, length);
  }

  py::str statistics() {
    return text_of([&](const char** text, std::size_t* length) {
      return plotwright_statistics(handle(), text, length);
    });
  }

  void set_statistics(const py::object& text) {
    const std::string_view bytes = bytes_of(str_or_bytes(text));
    check(plotwright_set_statistics(handle(), bytes.data(), bytes.size()));
  }

  void save_statistics() { check(plotwright_save_statistics(handle())); }

  py::list diagnostics() {
    const plotwright_diagnostic* list = nullptr;
    std::size_t count = 0;
    check(plotwright_diagnostics(handle(), &list, &count));
    const py::object make = py::module_::import("plotwright").attr("Diagnostic");
    py::list out;
    for (std::size_t i = 0; i < count; ++i) {
      const plotwright_diagnostic& d = list[i];
      out.append(make(d.line, d.column, d.end_line, d.end_column,
                      plotwright_severity_name(d.severity), d.code, d.message));
    }
    return out;
  }

 private:
  plotwright_scenario* handle() { return handle_.get(); }

  template <typename Call>
  py::str text_of(Call call) {
    const char* text = nullptr;
    std::size_t length = 0;
    check(call(&text, &length));
    return py::str(text, length);
  }

  // Raises the exception that stands for a status.
  void check(plotwright_status status) {
    const std::string message = plotwright_message(handle());
    switch (status) {
      case PLOTWRIGHT_OK:
        return;
      case PLOTWRIGHT_SCENARIO_ERROR:
        throw ScenarioError(message);
      case PLOTWRIGHT_FILE_ERROR:
        throw FileError(message, "", message, 0);
      case PLOTWRIGHT_ENCODING_ERROR:
        throw EncodingError(message);
      case PLOTWRIGHT_STATISTICS_ERROR:
        throw StatisticsError(message);
      case PLOTWRIGHT_MEMORY_ERROR:
        throw std::bad_alloc();
      case PLOTWRIGHT_INTERNAL_ERROR:
        throw std::runtime_error(message);
      case PLOTWRIGHT_STATE_ERROR:
      case PLOTWRIGHT_ARGUMENT_ERROR:
        break;
    }
    throw py::value_error(message);
  }

  std::unique_ptr<plotwright_scenario, void (*)(plotwright_scenario*)> handle_;
};

// One of the module's exception classes, under `base`, with its docstring.
template <typename Cpp>
py::object declare_exception(py::module_& m, const char* name, py::handle base, const char* doc) {
  const py::exception<Cpp> type(m, name, base);
  type.attr("__doc__") = doc;
  return type;
}

// Raises a FileError as Python's open() raises its OSError: errno, strerror and filename set,
// and str() "[Errno 2] No such file or directory: 'story.vell'".
void raise_file_error(const FileError& failure) {
  const py::object type = py::module_::import("plotwright").attr("FileError");
  py::object error;
  if (failure.error_number != 0) {
    error = type(failure.error_number, failure.reason, failure.path);
  } else {
    error = type(failure.what());
    error.attr("strerror") = failure.reason;
    if (!failure.path.empty()) error.attr("filename") = failure.path;
  }
  PyErr_SetObject(type.ptr(), error.ptr());
}

void declare_exceptions(py::module_& m) {
  const py::object error = declare_exception<std::runtime_error>(
      m, "Error", PyExc_Exception, "The base class of every plotwright exception.");
  py::register_exception<ScenarioError>(m, "ScenarioError", error).attr("__doc__") =
      "The scenario tells no story: it does not compile (diagnostics() says why) or has "
      "199,999 lines or more. The message is what the plotwright command prints instead.";
  py::register_exception<EncodingError>(m, "EncodingError", error).attr("__doc__") =
      "A text that cannot be read or written in the encoding asked for: a character with no "
      "Shift-JIS form, bytes that are not UTF-8, a lone surrogate. The message names the line.";
  py::register_exception<StatisticsError>(m, "StatisticsError", error).attr("__doc__") =
      "The statistics file (NAME.vus beside the scenario) could not be written; the old file "
      "is as it was.";
  // A file that cannot be read is an OSError too, as Python's own open() reports it.
  declare_exception<FileError>(m, "FileError", py::make_tuple(error, py::handle(PyExc_OSError)),
                               "A scenario file that cannot be read: missing, unreadable, not "
                               "a regular file, longer than 256 MiB. An OSError, with errno "
                               "(None for a refusal that is no system error), strerror and "
                               "filename.");
  py::register_exception_translator([](std::exception_ptr raised) {
    try {
      if (raised) std::rethrow_exception(raised);
    } catch (const FileError& failure) {
      raise_file_error(failure);
    }
  });
}

}  // namespace

PYBIND11_MODULE(plotwright, m) {
  m.doc() = "Random short stories from scenarios in the Vell language.";
  m.attr("__version__") = plotwright_version();
  // A named tuple that pickles and shows in help(plotwright): it says which module it is of.
  const py::object diagnostic = py::module_::import("collections")
                                    .attr("namedtuple")("Diagnostic",
                                                        "line column end_line end_column "
                                                        "severity code message",
                                                        py::arg("module") = "plotwright");
  diagnostic.attr("__doc__") =
      "One thing `plotwright check` reports: where (line and column, 1-based, columns in "
      "characters; the end not included), its severity ('error', 'warning' or 'note'), its "
      "code (V101, listed in the diagnostics reference) and its message.";
  m.attr("Diagnostic") = diagnostic;
  declare_exceptions(m);
  py::class_<Scenario>(m, "Scenario", "A scenario in the Vell language and its stories.")
      .def_static("from_file", &Scenario::from_file, py::arg("path"), py::arg("encoding") = "auto",
                  py::arg("keep_statistics") = false,
                  "Opens a scenario file ('auto', 'shift_jis' or 'utf-8'); with "
                  "keep_statistics, its statistics live in NAME.vus beside it.")
      .def_static("from_text", &Scenario::from_text, py::arg("text"), py::arg("encoding") = "auto",
                  "Opens a scenario from a str, or from bytes in the encoding given.")
      .def("story", &Scenario::story, py::arg("seed") = py::none(),
           "Starts a run from the seed (0 to 4294967295, or the clock's seconds) and returns its "
           "first story, as `plotwright --seed SEED FILE` tells it.")
      .def("regenerate", &Scenario::regenerate, "The run's next story.")
      .def("raw_story", &Scenario::raw_story, "The last story as Shift-JIS bytes, CR LF line ends.")
      .def_property("statistics", &Scenario::statistics, &Scenario::set_statistics,
                    "The usage statistics as the text of a .vus file; setting them ends the run.")
      .def("save_statistics", &Scenario::save_statistics,
           "Ends the run and keeps its counts for the next runs (in the .vus file with "
           "keep_statistics).")
      .def("diagnostics", &Scenario::diagnostics,
           "What `plotwright check` reports, as a list of Diagnostic named tuples.")
      .def(
          "__enter__", [](py::object self) { return self; }, "The scenario itself.")
      .def(
          "__exit__", [](Scenario& self, const py::args&) { self.save_statistics(); },
          "Saves the statistics, as save_statistics() does.");
}
