# emscripten's compiler does not look in /usr/include, and must not: its own C library stands
# there. The header-only libraries it needs from Debian's packages are linked into a folder of
# the build, which is all it sees of them.
set(BRUVIK_WEB_HEADERS ${CMAKE_BINARY_DIR}/web-headers)
file(MAKE_DIRECTORY ${BRUVIK_WEB_HEADERS})
foreach(dir nlohmann fast_float fmt)
  if(NOT IS_DIRECTORY /usr/include/${dir})
    message(FATAL_ERROR "/usr/include/${dir} is missing: tools/setup installs it")
  endif()
  file(CREATE_LINK /usr/include/${dir} ${BRUVIK_WEB_HEADERS}/${dir} SYMBOLIC)
endforeach()

add_library(FastFloat::fast_float INTERFACE IMPORTED)
add_library(fmt::fmt-header-only INTERFACE IMPORTED)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
foreach(lib FastFloat::fast_float fmt::fmt-header-only nlohmann_json::nlohmann_json)
  # Imported, so its headers count as the system's: their warnings are not ours.
  set_target_properties(${lib} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${BRUVIK_WEB_HEADERS})
endforeach()
set_target_properties(fmt::fmt-header-only PROPERTIES INTERFACE_COMPILE_DEFINITIONS FMT_HEADER_ONLY=1)
