# Tests, fuzzer and benchmark of the formatted-output engine. Included from
# torvu16/CMakeLists.txt.

# A C program that links the shared library as a user's program would.
add_executable(torvu16_test_print ${CMAKE_CURRENT_SOURCE_DIR}/tests/test_print.c)
target_link_libraries(torvu16_test_print PRIVATE torvu16vc71 m Threads::Threads)
target_include_directories(torvu16_test_print PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tests)
add_test(NAME torvu16_test_print COMMAND torvu16_test_print)
set_tests_properties(torvu16_test_print PROPERTIES LABELS unit TIMEOUT 300)

# The buffer printf against the C library's snprintf over generated specifications.
add_executable(torvu16_test_print_vs_c ${CMAKE_CURRENT_SOURCE_DIR}/tests/test_print_vs_c.c)
target_link_libraries(torvu16_test_print_vs_c PRIVATE torvu16vc71 m)
target_include_directories(torvu16_test_print_vs_c PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tests)
add_test(NAME torvu16_test_print_vs_c COMMAND torvu16_test_print_vs_c)
set_tests_properties(torvu16_test_print_vs_c PROPERTIES LABELS unit TIMEOUT 300)

# Fuzz target: any format and capacity in every mode. The engine is compiled
# in (its argument source is internal), with the frame's sources beside it.
set(TORVU16_PRINT_FUZZ_SOURCES u16_aux.c u16_str.c u16_mem.c u16_cty.c u16_utf8.c u16_get.c
                               u16_put.c ${TORVU16_TRANSCODE_SOURCES})
list(TRANSFORM TORVU16_PRINT_FUZZ_SOURCES PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
quorvel_add_fuzzer(torvu16_fuzz_print
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/fuzz_print.c ${TORVU16_PRINT_FUZZ_SOURCES}
  LIBS m
  CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/corpus/print)
target_include_directories(torvu16_fuzz_print PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}
                                                      ${CMAKE_CURRENT_SOURCE_DIR}/include)

# Buffer and stream output beside ICU's ustdio and the C library.
if(QUORVEL_BENCHMARKS)
  find_package(PkgConfig QUIET)
  if(PkgConfig_FOUND)
    pkg_check_modules(TORVU16_PRINT_ICU IMPORTED_TARGET icu-uc icu-io)
  endif()
  if(TORVU16_PRINT_ICU_FOUND)
    quorvel_add_benchmark(torvu16_bench_print
      SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench/bench_print.cpp
      LIBS torvu16vc71 PkgConfig::TORVU16_PRINT_ICU)
  else()
    message(STATUS "torvu16: ICU not found, torvu16_bench_print not built")
  endif()
endif()

# Allocation failures: the program replaces malloc, which the sanitizers' own
# allocator does not allow, so it runs in the plain presets only.
if(NOT QUORVEL_SANITIZE AND NOT QUORVEL_TSAN)
  add_executable(torvu16_test_print_oom ${CMAKE_CURRENT_SOURCE_DIR}/tests/test_print_oom.c)
  target_link_libraries(torvu16_test_print_oom PRIVATE torvu16vc71)
  target_include_directories(torvu16_test_print_oom PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tests)
  add_test(NAME torvu16_test_print_oom COMMAND torvu16_test_print_oom)
  set_tests_properties(torvu16_test_print_oom PROPERTIES LABELS unit TIMEOUT 60)
endif()
