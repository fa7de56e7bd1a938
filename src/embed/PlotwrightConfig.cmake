# find_package(Plotwright): the shared library libplotwright as the target Plotwright::plotwright.
include("${CMAKE_CURRENT_LIST_DIR}/PlotwrightTargets.cmake")
