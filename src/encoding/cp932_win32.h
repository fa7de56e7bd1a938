// Code page 932 conversion of single characters through Windows' own tables
// (MultiByteToWideChar and WideCharToMultiByte).
#pragma once

#include <memory>
#include <string>

#include "encoding/cp932_backend.h"

namespace plotwright {

// Opens the system's code page 932 converter (under Wine, Wine's tables). False, with the
// reason in `error` when it is not null, when the system has none (IsValidCodePage fails).
[[nodiscard]] bool open_win32_cp932_backend(std::unique_ptr<Cp932Backend>& backend,
                                            std::string* error);

}  // namespace plotwright
