# Version information and the title text (included by this folder's CMakeLists.txt).
add_library(bcglobal STATIC ${CMAKE_CURRENT_LIST_DIR}/bcglobal.cpp)
target_include_directories(bcglobal PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(bcglobal PUBLIC orobase kvtplatform)

# kvt_embed_version(target [DESCRIPTION text] [VERSION a.b.c.d])
# Gives an executable its version block: the build writes the block into a
# generated source of the target, which places it in the ELF section
# ".kvtversion". Defaults: "KVT Editor" and the project's version.
function(kvt_embed_version target)
  cmake_parse_arguments(V "" "DESCRIPTION;VERSION" "" ${ARGN})
  if(NOT V_DESCRIPTION)
    set(V_DESCRIPTION "KVT Editor")
  endif()
  if(NOT V_VERSION)
    set(V_VERSION "${PROJECT_VERSION}")
  endif()
  set(out "${CMAKE_CURRENT_BINARY_DIR}/${target}_kvtversion.cpp")
  add_custom_command(
    OUTPUT "${out}"
    COMMAND kvtversiongen "${out}" "${V_DESCRIPTION}" "${V_VERSION}" "${target}"
    DEPENDS kvtversiongen
    COMMENT "Writing the version block of ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE "${out}")
endfunction()
