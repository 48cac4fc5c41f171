# Run by ctest when it starts (see korvalin_suite_tests in CMakeLists.txt):
# lists a GoogleTest program's cases and adds one ctest test for each of its
# test suites, with the suite's case count in KORVALIN_SUITE_CASES, so that
# the emulator wrapper can tell a suite whose process ended early. A new
# Wine process for every case cost more than most cases take, above all
# where 32-bit programs run emulated.
#
# Expects: TEST_EXECUTABLE, TEST_EMULATOR, TEST_PREFIX, CTEST_FILE, INCLUDE_FILE,
# COUNT_FILE, and optionally TEST_ENVIRONMENT (a ;-list) and TEST_FIXTURES.

if(EXISTS "${CTEST_FILE}" AND NOT "${TEST_EXECUTABLE}" IS_NEWER_THAN "${CTEST_FILE}"
   AND NOT "${INCLUDE_FILE}" IS_NEWER_THAN "${CTEST_FILE}" AND NOT "${CMAKE_CURRENT_LIST_FILE}" IS_NEWER_THAN "${CTEST_FILE}")
  include("${CTEST_FILE}")
  return()
endif()

# No emulator where the programs run natively.
set(runner "${TEST_EXECUTABLE}")
set(runner_text "\"${TEST_EXECUTABLE}\"")
if(TEST_EMULATOR)
  set(runner "${TEST_EMULATOR}" "${TEST_EXECUTABLE}")
  set(runner_text "\"${TEST_EMULATOR}\" \"${TEST_EXECUTABLE}\"")
endif()
execute_process(COMMAND ${runner} --gtest_list_tests --gtest_also_run_disabled_tests
                RESULT_VARIABLE status OUTPUT_VARIABLE listing TIMEOUT 120)
if(NOT status EQUAL 0)
  # A program whose cases cannot be listed is a failed test, not no test.
  message(WARNING "could not list the cases of ${TEST_EXECUTABLE}: ${status}")
  add_test("${TEST_PREFIX}listing" "${CMAKE_COMMAND}" -E false)
  file(REMOVE "${CTEST_FILE}")
  file(WRITE "${COUNT_FILE}" "0\n")
  return()
endif()

string(REPLACE "\r" "" listing "${listing}")
string(REPLACE ";" "\\;" listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")
set(suites)
set(suite)
set(total 0)
foreach(line IN LISTS lines)
  if(line MATCHES "^([A-Za-z0-9_/]+)\\.( |$)")
    set(suite "${CMAKE_MATCH_1}")
    list(APPEND suites "${suite}")
    set(count_${suite} 0)
  elseif(suite AND line MATCHES "^  [A-Za-z0-9_/]+")
    math(EXPR count_${suite} "${count_${suite}} + 1")
    math(EXPR total "${total} + 1")
  endif()
endforeach()

set(script)
foreach(suite IN LISTS suites)
  set(cases ${count_${suite}})
  # The wrapper gives up at 220 s and 60 s a case; ctest's own limit lies
  # above that, so the reason given is the wrapper's, naming the suite.
  math(EXPR timeout "260 + 60 * ${cases}")
  set(environment "KORVALIN_SUITE_CASES=${cases}" ${TEST_ENVIRONMENT})
  string(APPEND script
         "add_test([=[${TEST_PREFIX}${suite}]=] ${runner_text} "
         "\"--gtest_filter=${suite}.*\" --gtest_also_run_disabled_tests)\n"
         "set_tests_properties([=[${TEST_PREFIX}${suite}]=] PROPERTIES TIMEOUT ${timeout} "
         "ENVIRONMENT \"${environment}\"")
  if(TEST_FIXTURES)
    string(APPEND script " FIXTURES_REQUIRED ${TEST_FIXTURES}")
  endif()
  string(APPEND script ")\n")
endforeach()
file(WRITE "${CTEST_FILE}" "${script}")
file(WRITE "${COUNT_FILE}" "${total}\n")
include("${CTEST_FILE}")
