// The one main of every test executable. VELKARO_TEST_STARTS_GTK is set per
// executable by the build.
#include <gtest/gtest.h>

#include "support/test_env.h"

int main(int argc, char** argv)
{
  ::testing::InitGoogleTest(&argc, argv);
  velkaro::test::init_environment(VELKARO_TEST_STARTS_GTK != 0, argc, argv);
  return RUN_ALL_TESTS();
}
