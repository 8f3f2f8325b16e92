// ScopedConnection: a connection cut when its holder goes or is given
// another one, and handed on by a move.

#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <sigc++/signal.h>

#include "common/scoped_connection.h"

namespace velkaro {
namespace {

TEST(ScopedConnection, IsCutWhenItGoesWhenReplacedAndOnlyOnceMoved)
{
  sigc::signal<void()> signal;
  int first = 0, second = 0;
  {
    ScopedConnection held = signal.connect([&first] { ++first; });
    EXPECT_TRUE(held.connected());
    signal.emit();
    held = signal.connect([&second] { ++second; });
    signal.emit();
    EXPECT_EQ(first, 1) << "the connection replaced is cut";
    EXPECT_EQ(second, 1);

    ScopedConnection moved(std::move(held));
    EXPECT_FALSE(held.connected());
    signal.emit();
    EXPECT_EQ(second, 2) << "a move hands the connection on uncut";
    std::vector<ScopedConnection> many;
    many.emplace_back(std::move(moved));
    many.emplace_back(signal.connect([&first] { ++first; }));
    signal.emit();
    EXPECT_EQ(second, 3);
    EXPECT_EQ(first, 2);
  }
  signal.emit();
  EXPECT_EQ(first, 2) << "cut with its holder";
  EXPECT_EQ(second, 3);
}

TEST(ScopedConnection, ReleasedItForgetsTheConnectionAndDisconnectCutsAtOnce)
{
  sigc::signal<void()> signal;
  int calls = 0;
  sigc::connection kept;
  {
    ScopedConnection held = signal.connect([&calls] { ++calls; });
    kept = sigc::connection(signal.slots().begin());
    held.release();
    EXPECT_FALSE(held.connected());
  }
  signal.emit();
  EXPECT_EQ(calls, 1) << "released, it was not cut";
  ScopedConnection held(kept);
  held.disconnect();
  EXPECT_FALSE(kept.connected());
  signal.emit();
  EXPECT_EQ(calls, 1);
  // A connection whose signal went disconnects as a no-op.
  ScopedConnection orphan;
  {
    sigc::signal<void()> gone;
    orphan = gone.connect([] {});
  }
  EXPECT_FALSE(orphan.connected());
}

} // namespace
} // namespace velkaro
