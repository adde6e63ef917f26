# The window: widgets built from the table, keeping in step, input, pacing, keyboard, pictures,
# the timeline.
# Offscreen platform; no display needed.
find_package(Qt6 REQUIRED COMPONENTS Test)

add_executable(window_tests
  window_main_test.cpp
  window_layout_test.cpp
  window_sync_test.cpp
  window_input_test.cpp
  window_pacer_test.cpp
  window_keyboard_test.cpp
  window_screenshot_test.cpp
  window_robustness_test.cpp
  window_history_test.cpp
  window_timeline_test.cpp
)
target_link_libraries(window_tests PRIVATE bruvik_ui bruvik_user_actions Qt6::Test GTest::gtest
                      bruvik_warnings)
# The program itself, for what only a separate process shows (no display, --screenshot).
target_compile_definitions(window_tests PRIVATE BRUVIK_PROGRAM="$<TARGET_FILE:bruvik>")
add_dependencies(window_tests bruvik)
# The tests' own main sets the offscreen platform.
bruvik_discover_in_both_modes(window_tests)

# RESTART for real: the program on a private X display, its RESTART button pressed from outside
# twenty times; exactly one copy must run at the end. Skipped (77) without Xvfb, xdotool,
# xwininfo (x11-utils) or pgrep (procps).
add_test(NAME restart_twenty_times
         COMMAND ${PROJECT_SOURCE_DIR}/tools/restart-check $<TARGET_FILE:bruvik> 20)
set_tests_properties(restart_twenty_times PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300 COST 900)
