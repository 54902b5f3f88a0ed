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
  # Most of a test file's compile time goes to the headers it shares with the folder's other
  # test files (gtest, Qt, the fixtures): compiled a few files at a time, the folder costs a
  # fraction. A file whose own helpers clash with another's is marked
  # SKIP_UNITY_BUILD_INCLUSION and compiled alone.
  set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 6)
  # Included into the batch file, a test file reads to the compiler as a header, and its
  # fixtures in the anonymous namespace would each draw a warning meant for headers.
  target_compile_options(${name} PRIVATE -Wno-subobject-linkage)
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  # ctest starts the binary once for every test: linked as a fixed-address program it starts
  # with far fewer relocations to apply, about a third of a second less each time.
  target_link_options(${name} PRIVATE -no-pie)
  # Leaks are looked for; the options the caller gives AddressSanitizer stay in force (the
  # test script turns symbolizing off for its first run).
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
               ENVIRONMENT_MODIFICATION "ASAN_OPTIONS=string_prepend:detect_leaks=1:")
endfunction()
