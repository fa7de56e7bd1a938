# CLI11 and nlohmann-json for a cross build: both are headers only, so the build machine's
# Debian packages serve any target. Their CMake packages would add the build machine's
# /usr/include, whose C library headers would shadow the target's; instead each library's own
# folder is linked into a folder of its own, which is all the targets see.

# plotwright_host_headers(TARGET FOLDER HEADER PACKAGE WHY): TARGET includes FOLDER/... from
# the build machine's /usr/include.
function(plotwright_host_headers target folder header package why)
  find_path(found_${folder} ${folder}/${header} PATHS /usr/include NO_DEFAULT_PATH
            NO_CMAKE_FIND_ROOT_PATH)
  if(NOT found_${folder})
    message(FATAL_ERROR "${folder}/${header} not found: install the Debian package ${package} "
                        "(scripts/install-deps installs everything), ${why}")
  endif()
  set(root ${CMAKE_BINARY_DIR}/host-headers/${folder})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${found_${folder}}/${folder} ${root}/${folder} SYMBOLIC)
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  target_include_directories(${target} SYSTEM INTERFACE ${root})
endfunction()

plotwright_host_headers(CLI11::CLI11 CLI CLI.hpp libcli11-dev "which parses the command line")
plotwright_host_headers(nlohmann_json::nlohmann_json nlohmann json.hpp nlohmann-json3-dev
                        "which writes JSON")
