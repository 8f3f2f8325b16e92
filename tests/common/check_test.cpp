#include <string>
#include <vector>

#include <glib.h>
#include <gtest/gtest.h>

#include "common/c_resource.h"
#include "common/check.h"
#include "support/log_capture.h"

namespace velkaro {
namespace {

// What GLib logs as critical while it lives.
struct CriticalCapture : test::LogCapture {
  CriticalCapture() : LogCapture(G_LOG_LEVEL_CRITICAL) {}
};

int checked_length(const char* text)
{
  VK_CHECK_VAL(text != nullptr, -1);
  return static_cast<int>(std::string(text).size());
}

void checked_store(int* target, int value)
{
  VK_CHECK(target != nullptr);
  *target = value;
}

TEST(Check, AFailedCheckLogsFunctionAndConditionAndReturnsTheNeutralValue)
{
  CriticalCapture log;
  EXPECT_EQ(checked_length("abc"), 3);
  int stored = 0;
  checked_store(&stored, 7);
  EXPECT_EQ(stored, 7);
  EXPECT_TRUE(log.messages.empty());

  EXPECT_EQ(checked_length(nullptr), -1);
  checked_store(nullptr, 9);
  ASSERT_EQ(log.messages.size(), 2u);
  EXPECT_NE(log.messages[0].find("checked_length"), std::string::npos) << log.messages[0];
  EXPECT_NE(log.messages[0].find("'text != nullptr' failed"), std::string::npos) << log.messages[0];
  EXPECT_NE(log.messages[1].find("checked_store"), std::string::npos) << log.messages[1];
  EXPECT_NE(log.messages[1].find("'target != nullptr' failed"), std::string::npos) << log.messages[1];
}

int g_released = 0;
void count_release(int*) { ++g_released; }

TEST(CResource, ReleasesOnceAndGuardsRunUnlessDismissed)
{
  g_released = 0;
  int a = 0;
  {
    CPtr<int, count_release> owned(&a);
    CPtr<int, count_release> none;
  }
  EXPECT_EQ(g_released, 1) << "the null pointer is not released";
  {
    CPtr<int, count_release> owned(&a);
    int* taken = owned.release();
    EXPECT_EQ(taken, &a);
  }
  EXPECT_EQ(g_released, 1) << "a released pointer is the caller's";

  int runs = 0;
  {
    ScopeGuard guard([&] { ++runs; });
  }
  {
    ScopeGuard guard([&] { ++runs; });
    guard.dismiss();
  }
  EXPECT_EQ(runs, 1);
}

} // namespace
} // namespace velkaro
