# GoogleTest, built from the sources that Debian's googletest package installs,
# with this project's own flags (sanitizers natively, MinGW-w64 for Windows).
set(KORVANE_GTEST_SOURCE /usr/src/googletest/googletest CACHE PATH
    "GoogleTest sources")
if(NOT TARGET gtest AND NOT KORVANE_FUZZ)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  # GoogleTest's own sources are not held to this project's warning set.
  set(_korvane_saved_options ${CMAKE_CXX_FLAGS})
  add_subdirectory(${KORVANE_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest
                   EXCLUDE_FROM_ALL SYSTEM)
  target_compile_options(gtest PRIVATE -Wno-error)
  target_compile_options(gtest_main PRIVATE -Wno-error)
endif()

include(GoogleTest)

# Registers a GoogleTest program with CTest. Natively every test case is its
# own CTest test; under Wine the program runs once as one test, since each
# Wine process start costs far more than the tests inside it.
function(korvane_add_gtest target)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target} --gtest_color=no ${ARGN})
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
