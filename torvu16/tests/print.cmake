# Tests, fuzzer and benchmark of the formatted-output engine. Included from
# torvu16/CMakeLists.txt.

# A C program that links the shared library as a user's program would.
add_executable(torvu16_test_print ${CMAKE_CURRENT_SOURCE_DIR}/tests/test_print.c)
target_link_libraries(torvu16_test_print PRIVATE torvu16vc71 m)
target_include_directories(torvu16_test_print PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tests)
add_test(NAME torvu16_test_print COMMAND torvu16_test_print)
set_tests_properties(torvu16_test_print PROPERTIES LABELS unit TIMEOUT 300)
