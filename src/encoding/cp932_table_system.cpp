// In WebAssembly, whose C library has no CP932, the tables generated from glibc's iconv are the
// system's converter. A regular build keeps the tables beside iconv and leaves this file out.
#include "encoding/cp932_table.h"

namespace plotwright {

bool open_system_cp932_backend(std::unique_ptr<Cp932Backend>& backend, std::string* error) {
  static_cast<void>(error);
  backend = make_table_cp932_backend();
  return true;
}

}  // namespace plotwright
