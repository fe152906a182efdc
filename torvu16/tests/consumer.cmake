# A user's programs built against the installed library, outside the tree.
# Sanitizer and fuzzer builds leave it out: their library needs their
# runtime, which a plain consumer does not link.
if(NOT QUORVEL_SANITIZE AND NOT QUORVEL_TSAN AND NOT QUORVEL_LIBFUZZER)
  add_test(NAME torvu16_consumer
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/consumer/check_consumer.sh
                   ${PROJECT_BINARY_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/tests/consumer)
  set_tests_properties(torvu16_consumer PROPERTIES LABELS integration TIMEOUT 120)
endif()
