# Read by CTest (through the include file velkaro_test writes for each test
# executable): registers one CTest test per GoogleTest suite of the
# executable, named <folder>/<suite>, which runs every case of that suite in
# one process.
#
# A process per suite instead of per case: starting GTK and the sanitizers'
# runtime costs far more than most cases, while the shared test main still
# gives every case a fresh configuration directory. The suites are listed
# anew whenever the executable is newer than the saved list, so a new test
# file or case needs no registration.

# The suites that run longest (seconds each, where most take well under
# one). CTest starts them first, so that the short ones fill the other
# cores around them instead of one of them running alone at the end. A
# build that has run the suite before has CTest's own measured costs.
set(VELKARO_LONG_SUITES
  model/ModelWorkspaceUndoScript seq/GeneratedDiagrams seq/doc/SeqWorkspaceUndoScript
  cls/route/ClsRouterSearch seq/SeqRandomScripts stm/StmRandomScripts
  cls/doc/ClsWorkspaceRandom ctrl/RandomScripts)

# velkaro_add_test_suites(FOLDER <folder> EXECUTABLE <path> WORKING_DIRECTORY <dir>
#                         LIST_FILE <path> TIMEOUT <seconds> CMAKE <path of cmake>
#                         ENVIRONMENT <VAR=value>...)
function(velkaro_add_test_suites)
  cmake_parse_arguments(ARG "" "FOLDER;EXECUTABLE;WORKING_DIRECTORY;LIST_FILE;TIMEOUT;CMAKE" "ENVIRONMENT" ${ARGN})
  if(NOT EXISTS "${ARG_EXECUTABLE}")
    # A test that cannot start, so that a missing build fails the run.
    add_test("${ARG_FOLDER}/NOT_BUILT" "${ARG_EXECUTABLE}")
    return()
  endif()

  if(NOT EXISTS "${ARG_LIST_FILE}" OR NOT "${ARG_LIST_FILE}" IS_NEWER_THAN "${ARG_EXECUTABLE}")
    file(REMOVE "${ARG_LIST_FILE}")
    # Listing starts no GTK and runs no test; it gets the tests' environment
    # so that a sanitizer finding at start-up shows here too.
    execute_process(
      COMMAND "${ARG_CMAKE}" -E env ${ARG_ENVIRONMENT} "${ARG_EXECUTABLE}" --gtest_list_tests
      WORKING_DIRECTORY "${ARG_WORKING_DIRECTORY}"
      OUTPUT_VARIABLE listing
      ERROR_VARIABLE errors
      RESULT_VARIABLE result
      TIMEOUT 120)
    if(NOT result EQUAL 0)
      # Listing again as a test shows why it failed, and fails the run.
      add_test("${ARG_FOLDER}/LISTING_FAILED" "${ARG_EXECUTABLE}" --gtest_list_tests)
      set_tests_properties("${ARG_FOLDER}/LISTING_FAILED" PROPERTIES
        WORKING_DIRECTORY "${ARG_WORKING_DIRECTORY}" ENVIRONMENT "${ARG_ENVIRONMENT}")
      return()
    endif()
    # A suite line starts in the first column ("Suite." or "Prefix/Suite.",
    # perhaps followed by "# TypeParam = ..."); its cases are indented.
    string(REGEX MATCHALL "(^|\n)[^ \n]+" heads "${listing}")
    set(suites)
    foreach(head IN LISTS heads)
      string(STRIP "${head}" head)
      string(REGEX REPLACE "\\.$" "" suite "${head}")
      list(APPEND suites "${suite}")
    endforeach()
    list(REMOVE_DUPLICATES suites)
    file(WRITE "${ARG_LIST_FILE}" "set(suites [==[${suites}]==])\n")
  endif()

  include("${ARG_LIST_FILE}")
  foreach(suite IN LISTS suites)
    set(name "${ARG_FOLDER}/${suite}")
    add_test("${name}" "${ARG_EXECUTABLE}" "--gtest_filter=${suite}.*")
    # The test main exits with 77 when a case was skipped and none failed.
    set_tests_properties("${name}" PROPERTIES
      WORKING_DIRECTORY "${ARG_WORKING_DIRECTORY}"
      ENVIRONMENT "${ARG_ENVIRONMENT}"
      TIMEOUT "${ARG_TIMEOUT}"
      SKIP_RETURN_CODE 77)
    # CTest reads this file without the project's policies: no IN_LIST.
    list(FIND VELKARO_LONG_SUITES "${name}" long)
    if(long GREATER -1)
      set_tests_properties("${name}" PROPERTIES COST 1000)
    endif()
  endforeach()
endfunction()
