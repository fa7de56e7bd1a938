// Whether a standard stream is a terminal, where a person watches it (and a progress bar helps).
#pragma once

namespace plotwright::platform {

bool standard_error_is_terminal();

}  // namespace plotwright::platform
