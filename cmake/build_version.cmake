# Writes the build's version header: the project version and, in a git checkout, what
# `git describe` says of the working tree. It runs at every build and rewrites the header only
# when the version changed, so the version follows the source without rebuilding the rest.
# Usage: cmake -DSOURCE_DIR=... -DOUTPUT=... -DVERSION=... -P build_version.cmake
set(version "${VERSION}")
find_package(Git QUIET)
if(GIT_FOUND)
  execute_process(COMMAND "${GIT_EXECUTABLE}" describe --always --dirty
                  WORKING_DIRECTORY "${SOURCE_DIR}"
                  OUTPUT_VARIABLE described OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE failed ERROR_QUIET)
  if(NOT failed AND described)
    set(version "${VERSION}+${described}")
  endif()
endif()
set(content "// The build's version, written by cmake/build_version.cmake at every build.\n"
            "#pragma once\n#define PLOTWRIGHT_BUILD_VERSION \"${version}\"\n")
string(CONCAT content ${content})
set(old "")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
endif()
if(NOT old STREQUAL content)
  file(WRITE "${OUTPUT}" "${content}")
endif()
