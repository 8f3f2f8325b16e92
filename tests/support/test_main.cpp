// The one main of every test executable, built once with
// VELKARO_TEST_STARTS_GTK=1 for executables whose tests need GTK and once
// with 0 for the others.
#include <iostream>

#include <gtest/gtest.h>

#include "support/test_env.h"

int main(int argc, char** argv)
{
  ::testing::InitGoogleTest(&argc, argv);
  velkaro::test::init_environment(VELKARO_TEST_STARTS_GTK != 0, argc, argv);
  const int failed = RUN_ALL_TESTS();
  if (failed || ::testing::GTEST_FLAG(list_tests))
    return failed;
  const ::testing::UnitTest& unit = *::testing::UnitTest::GetInstance();
  // A filter that selects nothing is a mistake, never a pass.
  if (unit.test_to_run_count() == 0) {
    std::cerr << "No test matches the filter \"" << ::testing::GTEST_FLAG(filter) << "\".\n";
    return 1;
  }
  // CTest reports a run with a skipped test and no failure as skipped.
  if (unit.skipped_test_count() > 0)
    return 77;
  return 0;
}
