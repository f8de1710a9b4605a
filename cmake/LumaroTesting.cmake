# GoogleTest for both targets. The Linux build uses Debian's prebuilt
# libraries; the Windows build compiles Debian's googletest sources with the
# MinGW toolchain and runs every test program through Wine.
if(WIN32)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
  set(LUMARO_GTEST_LIBS gtest_main gmock)
else()
  find_package(GTest REQUIRED)
  set(LUMARO_GTEST_LIBS GTest::gtest_main GTest::gmock)
endif()
include(GoogleTest)

if(WIN32 AND CMAKE_CROSSCOMPILING)
  # A Wine prefix inside the build tree, and one wineserver for the whole run:
  # the fixture keeps it alive so each test does not pay for starting it.
  set(LUMARO_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
  configure_file("${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in" "${CMAKE_BINARY_DIR}/wine-run.sh"
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE
    @ONLY)
  configure_file("${CMAKE_CURRENT_LIST_DIR}/wine-server.sh.in" "${CMAKE_BINARY_DIR}/wine-server.sh"
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE
    @ONLY)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_BINARY_DIR}/wine-run.sh")
  add_test(NAME wine.start COMMAND "${CMAKE_BINARY_DIR}/wine-server.sh" start)
  add_test(NAME wine.stop COMMAND "${CMAKE_BINARY_DIR}/wine-server.sh" stop)
  set_tests_properties(wine.start PROPERTIES FIXTURES_SETUP wine)
  set_tests_properties(wine.stop PROPERTIES FIXTURES_CLEANUP wine)
endif()

set(LUMARO_TEST_SCRATCH "${CMAKE_BINARY_DIR}/test-scratch")
file(MAKE_DIRECTORY "${LUMARO_TEST_SCRATCH}")

# lumaro_add_test(<name> SOURCES <files>... LIBS <targets>... [ENVIRONMENT <VAR=value>...])
function(lumaro_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} lumaro_test_support ${LUMARO_GTEST_LIBS} lumaro_warnings)
  if(WIN32)
    target_link_options(${name} PRIVATE -static)
  endif()
  set(env "LUMARO_TEST_SCRATCH=${LUMARO_TEST_SCRATCH}" ${T_ENVIRONMENT})
  if(WIN32 AND CMAKE_CROSSCOMPILING)
    # Wine start-up dominates, so each program is one test.
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine ENVIRONMENT "${env}")
  else()
    # Logs of the code under test stay inside the build tree.
    list(APPEND env "XDG_DATA_HOME=${LUMARO_TEST_SCRATCH}/xdg-data"
      "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp"
      "TSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/tsan.supp"
      "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
    # gtest_discover_tests flattens list-valued properties, so ENVIRONMENT would
    # keep only its first variable; `env` in front of the program sets them all,
    # for listing the tests and for running each one.
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "env;${env}")
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
  endif()
endfunction()
