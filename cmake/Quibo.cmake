# Helpers shared by every folder's CMakeLists.

# quibo_test(NAME SOURCES... LIBS lib...): a GoogleTest suite whose tests CTest lists one by one.
# Every suite runs with its own temporary data folder and headless SDL drivers (tests/support).
function(quibo_test name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE quibo_test_main ${ARG_LIBS} GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endfunction()

# quibo_bench(NAME SOURCES... LIBS lib...): a Google Benchmark program, built by the `bench` target.
function(quibo_bench name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  add_executable(${name} EXCLUDE_FROM_ALL ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark_main)
  add_dependencies(bench ${name})
endfunction()
