# GoogleTest: the installed package natively; for the Windows tree, built from the
# sources Debian's googletest package ships in /usr/src/googletest.
if(CMAKE_CROSSCOMPILING)
  set(ROSTREL_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for the cross build")
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  add_subdirectory(${ROSTREL_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# One test program per group. Natively every test case is its own CTest test;
# under Wine a whole program is one test, since each Wine start costs a second.
function(rostrel_add_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE rostrel_core rostrel_testlib GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name})
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30)
  endif()
endfunction()
