# The terminal runs: outputs, statistics, many runs, sweeps, traces, the state dump, golden runs.
# No Qt; the plot test has an executable of its own, built with the plot library.
add_executable(headless_tests
  headless_curves_test.cpp
  headless_format_test.cpp
  headless_run_codec_test.cpp
  headless_stats_test.cpp
  headless_terminal_test.cpp
  headless_trace_test.cpp
  headless_dump_test.cpp
  headless_golden_test.cpp
  view_test.cpp
)
target_link_libraries(headless_tests PRIVATE bruvik_headless bruvik_warnings bruvik_test_main)
target_compile_definitions(headless_tests PRIVATE
                           BRUVIK_GOLDEN_DIR="${CMAKE_CURRENT_SOURCE_DIR}/golden")
bruvik_discover_in_both_modes(headless_tests)

if(TARGET bruvik_plot)
  add_executable(headless_plot_tests headless_plot_test.cpp)
  target_link_libraries(headless_plot_tests PRIVATE bruvik_plot bruvik_headless bruvik_warnings
                        GTest::gtest_main)
  gtest_discover_tests(headless_plot_tests DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endif()

if(TARGET bruvik_timeline_export)
  add_executable(headless_timeline_tests headless_timeline_test.cpp)
  target_link_libraries(headless_timeline_tests PRIVATE bruvik_timeline_export bruvik_headless
                        bruvik_warnings GTest::gtest_main)
  gtest_discover_tests(headless_timeline_tests DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endif()
