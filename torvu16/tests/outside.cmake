# Builds outside the tree's own setup: a user's programs against the
# installed library, and the library with another C library.
#
# A user's programs built against the installed library, outside the tree.
# Sanitizer and fuzzer builds leave it out: their library needs their
# runtime, which a plain consumer does not link.
if(NOT QUORVEL_SANITIZE AND NOT QUORVEL_TSAN AND NOT QUORVEL_LIBFUZZER)
  add_test(NAME torvu16_consumer
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/consumer/check_consumer.sh
                   ${PROJECT_BINARY_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/tests/consumer)
  set_tests_properties(torvu16_consumer PROPERTIES LABELS integration TIMEOUT 120)
endif()

# The library and its C tests built with musl: the portable stream paths.
find_program(MUSL_GCC musl-gcc)
if(MUSL_GCC)
  add_test(NAME torvu16_musl
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/musl/check_musl.sh ${CMAKE_CURRENT_SOURCE_DIR})
  set_tests_properties(torvu16_musl PROPERTIES LABELS unit TIMEOUT 300)
else()
  message(STATUS "torvu16: musl-gcc not found (Debian package musl-tools), torvu16_musl not run")
endif()
