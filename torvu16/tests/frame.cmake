# Tests, fuzzers and benchmarks of the library's frame, UTF-8 conversion and
# stream I/O. Included from torvu16/CMakeLists.txt.

# C test programs that link the shared library as a user's program would.
foreach(t test_frame test_utf8 test_stream test_readers)
  add_executable(torvu16_${t} ${CMAKE_CURRENT_SOURCE_DIR}/tests/${t}.c)
  target_link_libraries(torvu16_${t} PRIVATE torvu16vc71)
  target_include_directories(torvu16_${t} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tests)
  add_test(NAME torvu16_${t} COMMAND torvu16_${t}
           WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set_tests_properties(torvu16_${t} PROPERTIES LABELS unit TIMEOUT 120)
endforeach()

# The internal helpers (message layout and cuts, the decoder) are not
# exported, so their test compiles the frame's sources in.
set(TORVU16_FRAME_SOURCES u16_aux.c u16_str.c u16_mem.c u16_cty.c u16_utf8.c u16_get.c u16_put.c
  ${TORVU16_TRANSCODE_SOURCES})
list(TRANSFORM TORVU16_FRAME_SOURCES PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
add_executable(torvu16_test_internal ${CMAKE_CURRENT_SOURCE_DIR}/tests/test_internal.c
                                     ${TORVU16_FRAME_SOURCES})
target_include_directories(torvu16_test_internal PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}
  ${CMAKE_CURRENT_SOURCE_DIR}/include ${CMAKE_CURRENT_SOURCE_DIR}/tests)
add_test(NAME torvu16_test_internal COMMAND torvu16_test_internal)
set_tests_properties(torvu16_test_internal PROPERTIES LABELS unit TIMEOUT 120)

# The converters' inner loops of each instruction set against each other
# and the unit-by-unit encoder; then the conversion tests and fuzzers again
# with the baseline loops (TORVU16_SIMD=baseline), the chosen ones (AVX2
# where the processor has it) having run above.
add_executable(torvu16_test_transcode ${CMAKE_CURRENT_SOURCE_DIR}/tests/test_transcode.c
                                      ${TORVU16_FRAME_SOURCES})
target_include_directories(torvu16_test_transcode PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}
  ${CMAKE_CURRENT_SOURCE_DIR}/include ${CMAKE_CURRENT_SOURCE_DIR}/tests)
add_test(NAME torvu16_test_transcode COMMAND torvu16_test_transcode)
set_tests_properties(torvu16_test_transcode PROPERTIES LABELS unit TIMEOUT 120)
foreach(t test_utf8 test_stream)
  add_test(NAME torvu16_${t}_baseline COMMAND torvu16_${t} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set_tests_properties(torvu16_${t}_baseline PROPERTIES LABELS unit TIMEOUT 120
                       ENVIRONMENT TORVU16_SIMD=baseline)
endforeach()

# The library exports exactly its public names.
add_test(NAME torvu16_exports
         COMMAND ${CMAKE_COMMAND} -DLIBRARY=$<TARGET_FILE:torvu16vc71>
                 -DEXPECTED=${CMAKE_CURRENT_SOURCE_DIR}/tests/exports.txt
                 -DNODE=TORVU16_1.0
                 -P ${CMAKE_CURRENT_SOURCE_DIR}/tests/check_exports.cmake)
set_tests_properties(torvu16_exports PROPERTIES LABELS unit TIMEOUT 60)

# Fuzz targets: arbitrary bytes and capacities into every converter and reader.
# Under libFuzzer the library itself carries the coverage counters, so the
# fuzzer is guided by the code it is meant to explore.
if(QUORVEL_LIBFUZZER)
  target_compile_options(torvu16vc71 PRIVATE -fsanitize=fuzzer-no-link)
endif()
foreach(f fuzz_utf8_from fuzz_utf8_to fuzz_stream)
  quorvel_add_fuzzer(torvu16_${f}
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/${f}.c
    LIBS torvu16vc71
    CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/corpus/${f})
endforeach()
if(NOT QUORVEL_LIBFUZZER)
  foreach(f fuzz_utf8_from fuzz_utf8_to)
    add_test(NAME torvu16_${f}_baseline
             COMMAND torvu16_${f} ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/corpus/${f})
    set_tests_properties(torvu16_${f}_baseline PROPERTIES LABELS unit TIMEOUT 300
                         ENVIRONMENT TORVU16_SIMD=baseline)
  endforeach()
endif()

# Converters and line I/O beside ICU and memcpy.
if(QUORVEL_BENCHMARKS)
  find_package(PkgConfig QUIET)
  if(PkgConfig_FOUND)
    pkg_check_modules(TORVU16_ICU IMPORTED_TARGET icu-uc icu-io)
  endif()
  if(TORVU16_ICU_FOUND)
    quorvel_add_benchmark(torvu16_bench_utf8
      SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench/bench_utf8.cpp
      LIBS torvu16vc71 PkgConfig::TORVU16_ICU)
  else()
    message(STATUS "torvu16: ICU not found, torvu16_bench_utf8 not built")
  endif()
endif()
