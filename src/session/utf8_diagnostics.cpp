// Diagnostics shown as UTF-8, a whole line at a time.
#include "session/utf8_diagnostics.h"

#include <ostream>

namespace plotwright::session {

void Utf8StreamDiagnostics::write(std::string_view bytes) {
  pending_.append(bytes);
  const std::size_t end = pending_.rfind('\n');
  if (end == std::string::npos) return;
  stream_ << codec_.engine_text_to_utf8(std::string_view(pending_).substr(0, end + 1));
  pending_.erase(0, end + 1);
}

void Utf8StreamDiagnostics::finish() {
  if (pending_.empty()) return;
  stream_ << codec_.engine_text_to_utf8(pending_) << '\n';
  pending_.clear();
}

}  // namespace plotwright::session
