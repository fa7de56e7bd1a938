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

}  // namespace plotwright
