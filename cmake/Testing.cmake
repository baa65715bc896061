# GoogleTest from the sources of Debian's googletest package, built in each tree.
set(GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

if(WIN32)
  # Every Windows test binary is one CTest test run under Wine in the tree's
  # own throwaway prefix, set up once by the wine_prefix fixture.
  # desktop_keeper (tests/windows) keeps the prefix's desktop up between tests.
  add_test(NAME wine_prefix_setup
           COMMAND ${CMAKE_SOURCE_DIR}/tools/wine-prefix.sh start ${CMAKE_BINARY_DIR}/wineprefix
                   $<TARGET_FILE:desktop_keeper>)
  set_tests_properties(wine_prefix_setup PROPERTIES FIXTURES_SETUP wine_prefix)
  add_test(NAME wine_prefix_cleanup
           COMMAND ${CMAKE_SOURCE_DIR}/tools/wine-prefix.sh stop ${CMAKE_BINARY_DIR}/wineprefix)
  set_tests_properties(wine_prefix_cleanup PROPERTIES FIXTURES_CLEANUP wine_prefix)
endif()

# add_project_test(NAME name SOURCES a.cpp ... LIBS lib ... [WORKING_DIRECTORY dir] [NO_GTEST_MAIN])
# Builds one test binary and registers it as one CTest test. In the Windows tree
# it runs under Wine in the shared prefix (through CMAKE_CROSSCOMPILING_EMULATOR).
function(add_project_test)
  cmake_parse_arguments(T "NO_GTEST_MAIN" "NAME;WORKING_DIRECTORY;TIMEOUT" "SOURCES;LIBS;ARGS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  if(T_NO_GTEST_MAIN)
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest)
  else()
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest_main)
  endif()
  if(NOT T_WORKING_DIRECTORY)
    set(T_WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  endif()
  add_test(NAME ${T_NAME} COMMAND ${T_NAME} ${T_ARGS} WORKING_DIRECTORY ${T_WORKING_DIRECTORY})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(WIN32)
    set_tests_properties(${T_NAME} PROPERTIES FIXTURES_REQUIRED wine_prefix
                         ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix;WINEDEBUG=-all")
  endif()
endfunction()
