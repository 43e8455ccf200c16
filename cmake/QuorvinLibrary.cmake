# SPDX-License-Identifier: GPL-3.0-or-later
# One static library per source folder: every .cpp of the folder belongs to it,
# so a new unit only needs its files, not a CMake edit.
function(quorvin_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()
    # A folder whose units are still to come.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# One test program per source folder, from every .cpp in tests/<folder>/.
function(quorvin_tests name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} quorvin_test_support GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE QUORVIN_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
  # Log times carry no zone: run every test in a zone with daylight saving
  # and in the C locale, so a shifted hour or a locale-dependent number shows.
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "TZ=America/Denver;LC_ALL=C")
endfunction()

# Defines <define> on target as the soname of the library <name> that the
# pkg-config prefix <prefix> found, for a library opened on demand
# (core/SharedLibrary.h): the program then does not link it.
function(quorvin_soname target define prefix name)
  find_library(QUORVIN_${prefix}_LIBRARY NAMES ${name} HINTS ${${prefix}_LIBRARY_DIRS} REQUIRED)
  execute_process(COMMAND ${CMAKE_READELF} -d ${QUORVIN_${prefix}_LIBRARY}
                  OUTPUT_VARIABLE dynamic COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCH "Library soname: \\[([^]]+)\\]" _ "${dynamic}")
  if(NOT CMAKE_MATCH_1)
    message(FATAL_ERROR "no soname in ${QUORVIN_${prefix}_LIBRARY}")
  endif()
  target_compile_definitions(${target} PRIVATE ${define}="${CMAKE_MATCH_1}")
  target_link_libraries(${target} PUBLIC ${CMAKE_DL_LIBS})
endfunction()
