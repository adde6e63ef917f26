# The terminal's cases through headless's API, built natively and to WebAssembly; compared by
# tools/web-compare.
add_executable(terminal_cases ${CMAKE_CURRENT_LIST_DIR}/terminal_cases.cpp)
target_link_libraries(terminal_cases PRIVATE bruvik_headless bruvik_warnings)
# Its cases name only the options they set; the rest keep their defaults, on purpose.
# (On the file, so that it comes after the warnings that would turn it back on.)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/terminal_cases.cpp PROPERTIES
                            COMPILE_OPTIONS -Wno-missing-field-initializers)
if(EMSCRIPTEN)
  target_link_libraries(terminal_cases PRIVATE bruvik_node_program)
endif()
