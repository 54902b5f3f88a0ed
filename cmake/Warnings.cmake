# Warnings for the project's own targets: pelorin_warnings(<target>)
function(pelorin_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow)
endfunction()

# A test binary of one folder: pelorin_test(<name> SOURCES ... LIBS ...)
function(pelorin_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  pelorin_warnings(${name})
  # The test files themselves are compiled without optimisation: the code under test keeps
  # its build type's flags in its libraries, and at -O1 the tests' expansions of gtest's
  # macros cost two to three times the compile time for nothing the tests need.
  target_compile_options(${name} PRIVATE -O0)
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  # ctest starts the binary once for every test: linked as a fixed-address program it starts
  # with far fewer relocations to apply, about a third of a second less each time.
  target_link_options(${name} PRIVATE -no-pie)
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=1")
endfunction()
