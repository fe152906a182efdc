# Tests, fuzzer and benchmark of the formatted-input engine. Included from
# torvu16/CMakeLists.txt.

# The engine through the shared library, as a user's program calls it.
add_executable(torvu16_test_scan ${CMAKE_CURRENT_SOURCE_DIR}/tests/test_scan.c)
target_link_libraries(torvu16_test_scan PRIVATE torvu16vc71)
target_include_directories(torvu16_test_scan PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tests)
add_test(NAME torvu16_test_scan COMMAND torvu16_test_scan
         WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
set_tests_properties(torvu16_test_scan PROPERTIES LABELS unit TIMEOUT 120)

# The scanner against the C library's sscanf and fscanf over generated numbers.
add_executable(torvu16_test_scan_vs_c ${CMAKE_CURRENT_SOURCE_DIR}/tests/test_scan_vs_c.c)
target_link_libraries(torvu16_test_scan_vs_c PRIVATE torvu16vc71 m)
target_include_directories(torvu16_test_scan_vs_c PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tests)
add_test(NAME torvu16_test_scan_vs_c COMMAND torvu16_test_scan_vs_c)
set_tests_properties(torvu16_test_scan_vs_c PROPERTIES LABELS unit TIMEOUT 300)

# The number parsers and the float recogniser are internal: their test
# compiles the sources in.
set(TORVU16_SCAN_INTERNAL_SOURCES u16_tol.c u16_tod.c u16_aux.c u16_str.c u16_mem.c u16_cty.c
    u16_utf8.c u16_get.c u16_put.c ${TORVU16_TRANSCODE_SOURCES})
list(TRANSFORM TORVU16_SCAN_INTERNAL_SOURCES PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
add_executable(torvu16_test_scan_numbers ${CMAKE_CURRENT_SOURCE_DIR}/tests/test_scan_numbers.c
                                         ${TORVU16_SCAN_INTERNAL_SOURCES})
target_include_directories(torvu16_test_scan_numbers PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}
  ${CMAKE_CURRENT_SOURCE_DIR}/include ${CMAKE_CURRENT_SOURCE_DIR}/tests)
add_test(NAME torvu16_test_scan_numbers COMMAND torvu16_test_scan_numbers)
set_tests_properties(torvu16_test_scan_numbers PROPERTIES LABELS unit TIMEOUT 120)

# Arbitrary formats over arbitrary input, from a string and from a stream.
quorvel_add_fuzzer(torvu16_fuzz_scan
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/fuzz_scan.c
  LIBS torvu16vc71
  CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/corpus/scan)

# Lines of integers, words and doubles beside ICU and the C library.
if(QUORVEL_BENCHMARKS)
  find_package(PkgConfig QUIET)
  if(PkgConfig_FOUND AND NOT TORVU16_ICU_FOUND)
    pkg_check_modules(TORVU16_ICU IMPORTED_TARGET icu-uc icu-io)
  endif()
  if(TORVU16_ICU_FOUND)
    quorvel_add_benchmark(torvu16_bench_scan
      SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench/bench_scan.cpp
      LIBS torvu16vc71 PkgConfig::TORVU16_ICU)
  else()
    message(STATUS "torvu16: ICU not found, torvu16_bench_scan not built")
  endif()
endif()

# Allocation failures of the number text: the program replaces malloc and
# realloc, which the sanitizers' allocators do not allow, so it runs in the
# plain presets only.
if(NOT QUORVEL_SANITIZE AND NOT QUORVEL_TSAN)
  add_executable(torvu16_test_scan_oom ${CMAKE_CURRENT_SOURCE_DIR}/tests/test_scan_oom.c)
  target_link_libraries(torvu16_test_scan_oom PRIVATE torvu16vc71)
  target_include_directories(torvu16_test_scan_oom PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tests)
  add_test(NAME torvu16_test_scan_oom COMMAND torvu16_test_scan_oom)
  set_tests_properties(torvu16_test_scan_oom PROPERTIES LABELS unit TIMEOUT 60)
endif()
