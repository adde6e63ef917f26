# The soak: random user actions against many forms; 200 runs in CI.
if(NOT TARGET bruvik_user_actions)
  add_library(bruvik_user_actions STATIC user_actions.cpp)
  target_link_libraries(bruvik_user_actions PUBLIC bruvik_core PRIVATE bruvik_warnings)
endif()
add_executable(bruvik-soak soak.cpp)
target_link_libraries(bruvik-soak PRIVATE bruvik_user_actions bruvik_warnings)
add_test(NAME soak_200_runs COMMAND bruvik-soak --runs 200 --seed 1)
set_tests_properties(soak_200_runs PROPERTIES TIMEOUT 900)
