# The fuzz targets' committed corpus seeds, replayed without libFuzzer in every test build.
foreach(target numtext actions experiment link)
  add_executable(${target}_replay ${PROJECT_SOURCE_DIR}/fuzz/replay.cpp
                                  ${PROJECT_SOURCE_DIR}/fuzz/${target}_fuzz.cpp)
  target_link_libraries(${target}_replay PRIVATE bruvik_core bruvik_warnings)
  add_test(NAME fuzz_regression_${target}
           COMMAND ${target}_replay ${PROJECT_SOURCE_DIR}/fuzz/corpus/${target})
endforeach()
target_link_libraries(actions_replay PRIVATE bruvik_user_actions)
target_link_libraries(experiment_replay PRIVATE bruvik_history)
target_link_libraries(link_replay PRIVATE bruvik_history)
