# The soak: random user actions against many forms; 200 runs in the optimised build, the first
# 40 of them under the sanitizers, which run it some thirty times slower.
if(NOT TARGET bruvik_user_actions)
  add_library(bruvik_user_actions STATIC user_actions.cpp)
  target_link_libraries(bruvik_user_actions PUBLIC bruvik_core PRIVATE bruvik_warnings)
endif()
add_executable(bruvik-soak soak.cpp)
target_link_libraries(bruvik-soak PRIVATE bruvik_user_actions bruvik_warnings)
if(BRUVIK_SANITIZE)
  set(soak_runs 40)
else()
  set(soak_runs 200)
endif()
add_test(NAME soak_${soak_runs}_runs COMMAND bruvik-soak --runs ${soak_runs} --seed 1)
# The longest tests start first, so that the two test jobs end together.
set_tests_properties(soak_${soak_runs}_runs PROPERTIES TIMEOUT 900 COST 1000)
