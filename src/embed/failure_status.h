// The status of the C interface that names a failure thrown from below it. The C interface is
// where exceptions stop (none may cross into C); each kind becomes the status a caller would
// look for, rather than one status for all.
#pragma once

#include <exception>
#include <new>
#include <stdexcept>
#include <system_error>

#include "plotwright/plotwright.h"

namespace plotwright::embed {

struct Failure {
  plotwright_status status = PLOTWRIGHT_INTERNAL_ERROR;
  const char* what = "";  // lives as long as the exception being handled
};

// Only inside a catch block: the status of the exception being handled. Allocates nothing,
// so that it works when memory has run out.
inline Failure current_failure() noexcept {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return {PLOTWRIGHT_MEMORY_ERROR, "out of memory"};
  } catch (const std::length_error&) {  // a text longer than a string can grow
    return {PLOTWRIGHT_MEMORY_ERROR, "out of memory"};
  } catch (const std::system_error& e) {  // the host system refused: files, streams
    return {PLOTWRIGHT_FILE_ERROR, e.what()};
  } catch (const std::range_error& e) {  // a conversion between encodings
    return {PLOTWRIGHT_ENCODING_ERROR, e.what()};
  } catch (const std::invalid_argument& e) {
    return {PLOTWRIGHT_ARGUMENT_ERROR, e.what()};
  } catch (const std::out_of_range& e) {
    return {PLOTWRIGHT_ARGUMENT_ERROR, e.what()};
  } catch (const std::exception& e) {
    return {PLOTWRIGHT_INTERNAL_ERROR, e.what()};
  } catch (...) {
    return {PLOTWRIGHT_INTERNAL_ERROR, "an unknown failure"};
  }
}

}  // namespace plotwright::embed
