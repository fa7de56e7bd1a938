// Fuzz target: the encoding detection and conversion of scenario files, and the conversion of
// engine text to UTF-8, from arbitrary bytes, held to whole-text iconv. The first byte chooses
// the encoding asked for.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "encoding/iconv_reference.h"
#include "encoding/scenario_encoding.h"

namespace {

// CR LF to LF, as the conversion to UTF-8 does it.
std::string without_crlf(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out.push_back(text[i]);
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace plotwright;
  // Made once for the whole run, as a front end does: the tables fill as inputs come.
  static std::optional<Cp932Codec> codec;
  static testing::IconvReference reference;
  if (!codec && !Cp932Codec::open(codec, nullptr)) std::abort();
  if (size < 1) return 0;
  static constexpr InputEncoding kEncodings[] = {InputEncoding::AUTO, InputEncoding::SHIFT_JIS,
                                                 InputEncoding::UTF8};
  const InputEncoding encoding = kEncodings[data[0] % 3];
  std::string_view file(reinterpret_cast<const char*>(data) + 1, size - 1);

  const std::string engine_text = codec->engine_text_to_utf8(file);
  // iconv's whole-text conversion is valid UTF-8, so matching it also proves the codec's is.
  if (engine_text != reference.engine_text_to_utf8(file)) std::abort();

  DecodedScenario decoded;
  std::string error;
  const bool ok = decode_scenario(*codec, file, encoding, decoded, &error);
  // iconv drops the tag characters U+E0000 to U+E007F; the codec refuses them as formless.
  if (file.find("\xF3\xA0\x80") == file.npos && file.find("\xF3\xA0\x81") == file.npos) {
    std::string reference_bytes, reference_error;
    if (reference.decode_scenario(file, encoding, reference_bytes, reference_error) != ok ||
        (ok ? decoded.bytes != reference_bytes : error != reference_error)) {
      std::abort();
    }
  }
  if (!ok) {
    if (encoding == InputEncoding::SHIFT_JIS || error.empty()) std::abort();
    return 0;
  }
  const std::string shown = codec->engine_text_to_utf8(decoded.bytes);
  if (shown != reference.engine_text_to_utf8(decoded.bytes)) std::abort();
  if (decoded.was_utf8) {
    // A UTF-8 file is only accepted when it converts without loss.
    if (file.starts_with("\xEF\xBB\xBF")) file.remove_prefix(3);
    if (shown != without_crlf(file)) std::abort();
  } else if (decoded.bytes != file) {
    std::abort();
  }
  return 0;
}
