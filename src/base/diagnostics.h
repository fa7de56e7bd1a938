// Where the compile's trace and diagnostic lines go: a seam, so that front ends decide whether
// and where to show them.
#pragma once

#include <string>
#include <string_view>

namespace plotwright {

// Receives diagnostic bytes (Shift-JIS, as the engine works); front ends decide whether and
// how to show them.
class DiagnosticSink {
 public:
  virtual ~DiagnosticSink() = default;
  virtual void write(std::string_view bytes) = 0;
};

class NullDiagnostics final : public DiagnosticSink {
 public:
  void write(std::string_view) override {}
};

// Keeps everything written: for tests and for front ends that show it later.
class CollectingDiagnostics final : public DiagnosticSink {
 public:
  void write(std::string_view bytes) override { text_.append(bytes); }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

}  // namespace plotwright
