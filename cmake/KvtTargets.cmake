# Every program of the project replaces the global allocation operators with the
# guarded allocator. The operators live in an object library so that they are
# linked into each executable directly instead of depending on archive order.
function(kvt_guarded_executable target)
  target_link_libraries(${target} PRIVATE oroalloc)
endfunction()

include(GoogleTest)

# kvt_add_gtest(NAME name SOURCES a.cpp ... LIBS lib ... [LABELS label ...])
# One GoogleTest program linked with the guarded allocator; each of its cases
# is registered with CTest on its own (listed by the program after the build).
function(kvt_add_gtest)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  find_package(GTest REQUIRED)
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main kvttestsupport)
  kvt_guarded_executable(${T_NAME})
  # Listing the cases runs the program, sanitizers and all, on a busy machine.
  gtest_discover_tests(${T_NAME}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    DISCOVERY_TIMEOUT 120)
  # The discovered cases take list-valued properties from a script of their
  # own: gtest_discover_tests would split the lists into separate arguments.
  set(properties "ENVIRONMENT [==[KVT_TEST_SOURCE_DIR=${PROJECT_SOURCE_DIR};KVT_BUILD_DIR=${PROJECT_BINARY_DIR}]==]")
  if(T_LABELS)
    string(APPEND properties " LABELS [==[${T_LABELS}]==]")
  endif()
  set(script "${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}_properties.cmake")
  file(WRITE "${script}"
    "if(${T_NAME}_TESTS)\n"
    "  set_tests_properties(\${${T_NAME}_TESTS} PROPERTIES ${properties})\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${script}")
endfunction()

# kvt_add_qtest(NAME name SOURCES a.cpp ... LIBS lib ... [LABELS label ...])
# One Qt Test program (one test class) registered with CTest on the offscreen
# platform, linked with the guarded allocator.
function(kvt_add_qtest)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  find_package(Qt6 REQUIRED COMPONENTS Test)
  add_executable(${T_NAME} ${T_SOURCES})
  set_target_properties(${T_NAME} PROPERTIES AUTOMOC ON)
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} Qt6::Test)
  kvt_guarded_executable(${T_NAME})
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  if(T_LABELS)
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()

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
