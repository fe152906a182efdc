# Test, fuzz and benchmark helpers shared by every module.
include(CTest)
find_package(GTest REQUIRED)
include(GoogleTest)

# quorvel_add_gtest(<name> LABEL <unit|integration|gui> SOURCES ... LIBS ...)
function(quorvel_add_gtest name)
  cmake_parse_arguments(T "" "LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT T_LABEL)
    set(T_LABEL unit)
  endif()
  # Above the tests' own two-minute waits, so a wait that gives up reports
  # what it waited for before CTest ends the test.
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  gtest_discover_tests(${name} PROPERTIES LABELS ${T_LABEL} TIMEOUT ${T_TIMEOUT}
                       DISCOVERY_TIMEOUT 60)
endfunction()

# quorvel_add_fuzzer(<name> SOURCES ... LIBS ... [CORPUS dir])
# Each target defines LLVMFuzzerTestOneInput. With QUORVEL_LIBFUZZER (clang)
# it links libFuzzer, and the target fuzz_run runs every fuzzer for
# QUORVEL_FUZZ_SECONDS from its corpus (new inputs go to a copy in the build
# tree, the committed corpus stays as it is); otherwise a standalone driver
# replays the corpus and a fixed number of pseudo-random and mutated inputs,
# so CTest runs it as a regression test in every preset (the asan preset is
# where it earns its keep).
if(QUORVEL_LIBFUZZER)
  set(QUORVEL_FUZZ_SECONDS 20 CACHE STRING "How long fuzz_run runs each fuzzer")
  add_custom_target(fuzz_run)
endif()

function(quorvel_add_fuzzer name)
  cmake_parse_arguments(F "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  if(QUORVEL_LIBFUZZER)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set(grown ${CMAKE_CURRENT_BINARY_DIR}/${name}.corpus)
    add_custom_target(${name}_run
      COMMAND ${CMAKE_COMMAND} -E make_directory ${grown}
      COMMAND $<TARGET_FILE:${name}> -max_total_time=${QUORVEL_FUZZ_SECONDS}
              -print_final_stats=1 ${grown} ${F_CORPUS}
      DEPENDS ${name}
      COMMENT "Fuzzing ${name} for ${QUORVEL_FUZZ_SECONDS} s"
      VERBATIM)
    add_dependencies(fuzz_run ${name}_run)
  else()
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/fuzz_standalone_main.cpp)
    set(corpus "")
    if(F_CORPUS)
      set(corpus ${F_CORPUS})
    endif()
    add_test(NAME ${name} COMMAND ${name} ${corpus})
    set_tests_properties(${name} PROPERTIES LABELS unit TIMEOUT 300)
  endif()
endfunction()

# quorvel_add_benchmark(<name> SOURCES ... LIBS ...): built, never run by CTest.
function(quorvel_add_benchmark name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS;INCLUDES" ${ARGN})
  if(NOT QUORVEL_BENCHMARKS)
    return()
  endif()
  find_package(benchmark REQUIRED)
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark Threads::Threads)
  if(B_INCLUDES)
    target_include_directories(${name} PRIVATE ${B_INCLUDES})
  endif()
endfunction()
