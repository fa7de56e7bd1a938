// Code page 932 conversion of single characters through glibc's iconv ("CP932").
#pragma once

#include <memory>
#include <string>

#include "encoding/cp932_backend.h"

namespace plotwright {

// Opens iconv's converters between CP932 and UTF-32. False, with the reason in `error` when it
// is not null, when the C library has none (iconv_open fails).
[[nodiscard]] bool open_iconv_cp932_backend(std::unique_ptr<Cp932Backend>& backend,
                                            std::string* error);
// The same over `charset`: the seam through which tests give the backend what this system's
// CP932 never does, a missing converter or codes longer than two bytes (refused as no code).
[[nodiscard]] bool open_iconv_backend(const char* charset, std::unique_ptr<Cp932Backend>& backend,
                                      std::string* error);

}  // namespace plotwright
