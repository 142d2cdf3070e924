# ls_library(NAME [SOURCES_GLOB pattern...] [LINK lib...])
# One static library per folder, made from the folder's *.cpp files (globbed,
# so a new file needs no edit here). A folder without sources yet gives an
# interface library, so the build stays whole while a folder is filled.
function(ls_library name)
  cmake_parse_arguments(ARG "" "" "GLOBS;LINK" ${ARGN})
  if(NOT ARG_GLOBS)
    set(ARG_GLOBS "*.cpp")
  endif()
  set(globs)
  foreach(g ${ARG_GLOBS})
    list(APPEND globs ${CMAKE_CURRENT_SOURCE_DIR}/${g})
  endforeach()
  file(GLOB sources CONFIGURE_DEPENDS ${globs})
  if(sources)
    add_library(${name} STATIC ${sources})
    target_link_libraries(${name} PUBLIC ${ARG_LINK})
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${ARG_LINK})
  endif()
endfunction()

# ls_test_area(AREA LINK lib...): every tests/AREA/*.cpp into one GoogleTest
# program, test_AREA, whose tests CTest lists one by one.
function(ls_test_area area)
  cmake_parse_arguments(ARG "" "" "LINK" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(test_${area} ${sources})
  target_link_libraries(test_${area} PRIVATE ${ARG_LINK} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(test_${area} PRIVATE
    LS_SOURCE_DIR="${CMAKE_SOURCE_DIR}" LS_BINARY_DIR="${CMAKE_BINARY_DIR}")
  if(CMAKE_CROSSCOMPILING AND area IN_LIST LS_WHOLE_PROGRAM_TEST_AREAS)
    # One Wine start-up for the whole program: its tests need no process of
    # their own, and each start-up costs seconds.
    add_test(NAME ${area} COMMAND test_${area})
    set_tests_properties(${area} PROPERTIES TIMEOUT 600)
  elseif(CMAKE_CROSSCOMPILING)
    # Listing the tests needs Wine: done when CTest runs, not at build time.
    gtest_discover_tests(test_${area} DISCOVERY_TIMEOUT 120 DISCOVERY_MODE PRE_TEST
                         PROPERTIES TIMEOUT 600)
  else()
    gtest_discover_tests(test_${area} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 600)
  endif()
endfunction()
