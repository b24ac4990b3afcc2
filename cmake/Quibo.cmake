# Helpers shared by every folder's CMakeLists.

# quibo_test(NAME SOURCES... LIBS lib...): a GoogleTest suite whose tests CTest lists one by one.
# Every suite runs with its own temporary data folder and headless SDL drivers (tests/support).
function(quibo_test name)
  if(QUIBO_FUZZ)
    return()
  endif()
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

# quibo_fuzz(NAME SOURCE SEEDS seed_sources... LIBS lib...): a libFuzzer target fuzz_NAME over
# SOURCE, built only in the fuzzing configure (QUIBO_FUZZ). The seed program seeds_NAME writes a
# fresh starting corpus; CTest then runs the fuzzer over it for a bounded number of inputs.
# RUNS (default 20000) and SECONDS (default 20) bound each run.
function(quibo_fuzz name source)
  if(NOT QUIBO_FUZZ)
    return()
  endif()
  cmake_parse_arguments(ARG "" "RUNS;SECONDS" "SEEDS;LIBS" ${ARGN})
  if(NOT ARG_RUNS)
    set(ARG_RUNS 20000)
  endif()
  if(NOT ARG_SECONDS)
    set(ARG_SECONDS 20)
  endif()
  add_executable(fuzz_${name} EXCLUDE_FROM_ALL ${source})
  target_link_libraries(fuzz_${name} PRIVATE ${ARG_LIBS})
  target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  add_executable(seeds_${name} EXCLUDE_FROM_ALL ${ARG_SEEDS})
  target_link_libraries(seeds_${name} PRIVATE quibo_fuzz_seeds ${ARG_LIBS})
  add_dependencies(fuzz fuzz_${name} seeds_${name})

  set(dir ${CMAKE_BINARY_DIR}/fuzz-runs/${name})
  add_test(NAME seeds_${name} COMMAND seeds_${name} ${dir})
  set_tests_properties(seeds_${name} PROPERTIES LABELS fuzz FIXTURES_SETUP corpus_${name})
  # New inputs go to the first folder, so the seeds stay as they were written.
  add_test(NAME fuzz_${name}
    COMMAND fuzz_${name} -runs=${ARG_RUNS} -max_total_time=${ARG_SECONDS} -max_len=65536
            -print_final_stats=1 ${dir}/corpus ${dir}/seeds)
  set_tests_properties(fuzz_${name} PROPERTIES LABELS fuzz FIXTURES_REQUIRED corpus_${name})
endfunction()
