# Helpers shared by every folder's CMakeLists.

# Where assets/ puts the game's generated sounds and intro files, with media.rc naming them
# (the target quibo_media makes them): a game script includes "media.rc" from here.
set(QUIBO_MEDIA_DIR ${CMAKE_BINARY_DIR}/media)
# Where assets/ puts the installer's skin and payload archives and its pictures.
set(QUIBO_INSTALLER_DIR ${CMAKE_BINARY_DIR}/installer)

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
# SOURCE, built only in the fuzzing configure (QUIBO_FUZZ), with tests/support's fuzz_check.h
# and fuzz_scratch.h at hand. The seed program seeds_NAME writes a fresh starting corpus; CTest
# then runs the fuzzer over it for a bounded number of inputs (scripts/fuzz runs it longer).
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
  target_link_libraries(fuzz_${name} PRIVATE ${ARG_LIBS} quibo_fuzz_support)
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

# quibo_resources(TARGET SCRIPT [DEPENDS files...] [INCLUDES folders...]): compiles a resource
# script into TARGET, which then carries its strings, dialogs and files (see
# platform/include/resourcemodule.h). Files the script names or includes are looked for beside
# it, then in the current source and binary folders, then in the INCLUDES folders; list
# generated ones (or the targets that make them) under DEPENDS so they are built first. The
# build reruns the compiler whenever the script or anything it includes or names changes.
function(quibo_resources target script)
  cmake_parse_arguments(ARG "" "" "DEPENDS;INCLUDES" ${ARGN})
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "STATIC_LIBRARY")
    # Nothing refers to the generated object, so the linker would leave it out of the program.
    message(FATAL_ERROR "quibo_resources: ${target} is a static library; give the script to the program")
  endif()
  get_filename_component(script ${script} ABSOLUTE)
  get_filename_component(name ${script} NAME_WE)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${target}_${name}_rc.cpp)
  set(includes)
  foreach(folder IN LISTS ARG_INCLUDES)
    list(APPEND includes -I ${folder})
  endforeach()
  add_custom_command(
    OUTPUT ${output}
    COMMAND quibo-rc -I ${CMAKE_CURRENT_SOURCE_DIR} -I ${CMAKE_CURRENT_BINARY_DIR} ${includes}
            --depfile ${output}.d ${script} ${output}
    MAIN_DEPENDENCY ${script}
    DEPENDS quibo-rc ${ARG_DEPENDS}
    DEPFILE ${output}.d
    COMMENT "Compiling resources ${name}.rc"
    VERBATIM)
  target_sources(${target} PRIVATE ${output})
  target_link_libraries(${target} PRIVATE quibo_platform)
endfunction()
