// The compile's trace (DiagnosticSink) as a person reads it: UTF-8 on a stream.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

#include "base/diagnostics.h"
#include "encoding/cp932_codec.h"

namespace plotwright::session {

// Shows diagnostic bytes (Shift-JIS, as the engine writes them) as UTF-8 on a stream. Only
// whole lines are converted, so a double-byte character is never cut in two: a line feed
// byte never occurs inside one.
class Utf8StreamDiagnostics final : public DiagnosticSink {
 public:
  Utf8StreamDiagnostics(std::ostream& stream, Cp932Codec& codec) : stream_(stream), codec_(codec) {}
  void write(std::string_view bytes) override;
  // Writes a last line that came without its line feed.
  void finish();

 private:
  std::ostream& stream_;
  Cp932Codec& codec_;
  std::string pending_;
};

}  // namespace plotwright::session
