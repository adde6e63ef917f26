# The command line.
add_executable(cli_tests cli_test.cpp)
target_link_libraries(cli_tests PRIVATE bruvik_cli bruvik_warnings GTest::gtest_main)
gtest_discover_tests(cli_tests DISCOVERY_TIMEOUT 60)

# Experiment files of the first version, made by the 1.0.0 program, with what it printed for
# them; with the clock's shortcuts and without.
foreach(clock IN ITEMS "" plain)
  set(name version1_files_replay_as_released)
  if(clock)
    set(name ${name}.${clock})
  endif()
  add_test(NAME ${name}
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/version1/check.sh $<TARGET_FILE:bruvik>
                   ${CMAKE_CURRENT_SOURCE_DIR}/version1:${CMAKE_CURRENT_SOURCE_DIR}/version1
                   ${PROJECT_SOURCE_DIR}/experiments:${CMAKE_CURRENT_SOURCE_DIR}/version1/guided)
  if(clock)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "BRUVIK_CLOCK=${clock}")
  endif()
endforeach()

# The permissions of the files the terminal writes.
add_test(NAME output_file_modes
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/output_modes.sh $<TARGET_FILE:bruvik>)

# Qt only for the window and the pictures, from a library loaded on demand.
add_test(NAME qt_loaded_on_demand
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/qt_on_demand.sh $<TARGET_FILE:bruvik>)
