# The command line (needs Qt Core for its parser).
add_executable(cli_tests cli_test.cpp)
target_link_libraries(cli_tests PRIVATE bruvik_cli bruvik_warnings GTest::gtest_main)
gtest_discover_tests(cli_tests DISCOVERY_TIMEOUT 60)
