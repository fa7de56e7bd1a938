// The Python module plotwright over the C interface: Scenario, its stories as str, its
// diagnostics as named tuples, its failures as exceptions.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>
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
struct FileError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

plotwright_encoding parse_encoding(const std::string& name) {
  if (name == "auto") return PLOTWRIGHT_ENCODING_AUTO;
  if (name == "shift_jis") return PLOTWRIGHT_ENCODING_SHIFT_JIS;
  if (name == "utf-8") return PLOTWRIGHT_ENCODING_UTF8;
  throw py::value_error("encoding must be 'auto', 'shift_jis' or 'utf-8', not '" + name + "'");
}

// The words the command line and the other front ends give the severities.
const char* severity_word(plotwright_severity severity) {
  switch (severity) {
    case PLOTWRIGHT_SEVERITY_ERROR:
      return "error";
    case PLOTWRIGHT_SEVERITY_WARNING:
      return "warning";
    case PLOTWRIGHT_SEVERITY_NOTE:
      return "note";
  }
  return "error";
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
    scenario->check(plotwright_open_file(scenario->handle(), path.c_str(), parse_encoding(encoding),
                                         keep_statistics ? PLOTWRIGHT_KEEP_STATISTICS : 0));
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
  py::str story(std::optional<std::uint32_t> seed) {
    const auto from = seed ? *seed : static_cast<std::uint32_t>(std::time(nullptr));
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
      out.append(make(d.line, d.column, d.end_line, d.end_column, severity_word(d.severity), d.code,
                      d.message));
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
        throw FileError(message);
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

void declare_exceptions(py::module_& m) {
  const py::exception<std::runtime_error> error(m, "Error");
  py::register_exception<ScenarioError>(m, "ScenarioError", error);
  py::register_exception<EncodingError>(m, "EncodingError", error);
  py::register_exception<StatisticsError>(m, "StatisticsError", error);
  // A file that cannot be read is an OSError too, as Python's own open() reports it.
  const py::tuple file_bases = py::make_tuple(error, py::handle(PyExc_OSError));
  py::register_exception<FileError>(m, "FileError", file_bases);
}

}  // namespace

PYBIND11_MODULE(plotwright, m) {
  m.doc() = "Random short stories from scenarios in the Vell language.";
  m.attr("__version__") = plotwright_version();
  m.attr("Diagnostic") = py::module_::import("collections")
                             .attr("namedtuple")("Diagnostic",
                                                 "line column end_line end_column severity code "
                                                 "message");
  declare_exceptions(m);
  py::class_<Scenario>(m, "Scenario", "A scenario in the Vell language and its stories.")
      .def_static("from_file", &Scenario::from_file, py::arg("path"), py::arg("encoding") = "auto",
                  py::arg("keep_statistics") = false,
                  "Opens a scenario file ('auto', 'shift_jis' or 'utf-8'); with "
                  "keep_statistics, its statistics live in NAME.vus beside it.")
      .def_static("from_text", &Scenario::from_text, py::arg("text"), py::arg("encoding") = "auto",
                  "Opens a scenario from a str, or from bytes in the encoding given.")
      .def("story", &Scenario::story, py::arg("seed") = py::none(),
           "Starts a run from the seed (or the clock) and returns its first story, as "
           "`plotwright --seed SEED FILE` tells it.")
      .def("regenerate", &Scenario::regenerate, "The run's next story.")
      .def("raw_story", &Scenario::raw_story, "The last story as Shift-JIS bytes, CR LF line ends.")
      .def_property("statistics", &Scenario::statistics, &Scenario::set_statistics,
                    "The usage statistics as the text of a .vus file; setting them ends the run.")
      .def("save_statistics", &Scenario::save_statistics,
           "Ends the run and keeps its counts for the next runs (in the .vus file with "
           "keep_statistics).")
      .def("diagnostics", &Scenario::diagnostics,
           "What `plotwright check` reports, as a list of Diagnostic named tuples.")
      .def("__enter__", [](py::object self) { return self; })
      .def("__exit__", [](Scenario& self, const py::args&) { self.save_statistics(); });
}
