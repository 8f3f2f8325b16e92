// Line elements: their axis, end cell and direction, where a transition
// starts and ends, and the parent a new transition picks.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/exp_stack.h"
#include "stm/doc/elms.h"
#include "stm/doc/stm_doc_for_test.h"

namespace velkaro::test {
namespace {

TEST(StmLines, AxisEndCellAndDirectionFollowTheExtensions)
{
  struct Case {
    CellPos anchor;
    int32_t dh;
    int32_t dv;
    CellDir dir;
    CellPos end;
    MovingDir mdir;
  };
  using D = MovingDir;
  const std::vector<Case> cases{
      // One cell: horizontal, ending on itself, pointing left.
      {{3, 3}, 0, 0, CellDir::h, {3, 3}, D::left},
      {{4, 6}, 0, -3, CellDir::v, {4, 3}, D::up},
      {{4, 6}, 0, 3, CellDir::v, {4, 9}, D::down},
      {{4, 6}, 2, 0, CellDir::h, {6, 6}, D::right},
      {{4, 6}, -2, 0, CellDir::h, {2, 6}, D::left},
      // Straight along the longer extension, the other held at the anchor.
      {{2, 2}, 5, 1, CellDir::h, {7, 2}, D::right},
      {{2, 2}, 1, -5, CellDir::v, {2, -3}, D::up},
      // As many columns as rows: horizontal.
      {{5, 5}, -2, 2, CellDir::h, {3, 5}, D::left},
      {{5, 5}, 1, -2, CellDir::v, {5, 3}, D::up},
  };
  for (const auto& c : cases) {
    for (const char* name : {"transaction", "concurrent"}) {
      const auto elm = std::dynamic_pointer_cast<StmLineElms>(StmElms::make(name));
      ASSERT_TRUE(elm);
      elm->pos = c.anchor;
      elm->dh = c.dh;
      elm->dv = c.dv;
      const std::string what = std::string(name) + " " + c.anchor.to_string() + " by " + std::to_string(c.dh) +
                               "," + std::to_string(c.dv);
      EXPECT_EQ(elm->get_dir(), c.dir) << what;
      EXPECT_EQ(elm->get_endpos(), c.end) << what;
      if (const auto t = std::dynamic_pointer_cast<StmTransaction>(elm)) {
        EXPECT_EQ(t->get_mdir(), c.mdir) << what;
      }
    }
  }
}

TEST(StmLines, ALineCoversTheWholeBlockOfItsExtensions)
{
  const auto ws = new_stm_ws();
  const auto line = StmTransaction::create();
  line->dh = 5;
  line->dv = 1;
  put(*ws, line, 2, 2);
  for (const CellPos at : {CellPos{2, 2}, CellPos{7, 2}, CellPos{2, 3}, CellPos{7, 3}}) {
    const auto stack = ws->exp_at(at);
    EXPECT_TRUE(stack && stack->has_elm(*line)) << at.to_string();
  }
  EXPECT_FALSE(ws->exp_at({8, 2}));
  EXPECT_FALSE(ws->exp_at({2, 4}));
}

TEST(StmLines, ATransitionStartsOnAPointStateOfItsOwnChainOnly)
{
  const auto ws = new_stm_ws();
  // On a state (the state first in the chain), in an empty cell, on a
  // composite's anchor cell, inside a composite, behind a text.
  ASSERT_TRUE(ws->insert_elm({0, 0}, "history"));
  const auto on_state = ws->insert_elm_4_edit({0, 0}, "transaction");
  const auto alone = ws->insert_elm_4_edit({2, 0}, "transaction");
  ASSERT_TRUE(ws->insert_multi_elm("composite", CellRange{{4, 0}, {6, 2}}));
  const auto on_composite = ws->insert_elm_4_edit({4, 0}, "transaction");
  const auto in_composite = ws->insert_elm_4_edit({5, 1}, "transaction");
  put(*ws, StmTextElement::create(), 8, 0);
  const auto after_text = ws->insert_elm_4_edit({8, 0}, "transaction");
  put(*ws, StmTextElement::create(), 9, 0);
  ASSERT_TRUE(ws->insert_elm({9, 1}, "sinkstate"));
  const auto beside_state = ws->insert_elm_4_edit({9, 0}, "transaction");
  EXPECT_TRUE(std::dynamic_pointer_cast<StmTransaction>(on_state)->get_is_start());
  EXPECT_EQ(ws->elm_at({0, 0})->tag, "history");
  for (const auto& t : {alone, on_composite, in_composite, after_text, beside_state})
    EXPECT_FALSE(std::dynamic_pointer_cast<StmTransaction>(t)->get_is_start()) << t->pos.to_string();
  // A state anywhere in the chain counts.
  const auto text_first = StmTextElement::create();
  put(*ws, text_first, 11, 0);
  ASSERT_TRUE(ws->insert_elm_4_edit({11, 0}, "transaction"));
  put(*ws, StmJunction::create(), 11, 0);
  EXPECT_TRUE(stm_at<StmTransaction>(*ws, 11, 0)->get_is_start());
}

TEST(StmLines, ATransitionEndsUnlessATransitionGoesOnFromIt)
{
  const auto ws = new_stm_ws();
  const auto first = std::dynamic_pointer_cast<StmTransaction>(ws->insert_elm_4_edit({0, 0}, "transaction"));
  ASSERT_TRUE(first);
  EXPECT_TRUE(first->get_is_end());
  // A text or a concurrency line under it is no continuation.
  put(*ws, StmTextElement::create_with_parent(first), 3, 3);
  const auto conc = StmConcurrent::create();
  conc->set_parent(first);
  put(*ws, conc, 4, 4);
  ASSERT_EQ(first->get_children().size(), 2u);
  EXPECT_TRUE(first->get_is_end());
  const auto next = StmTransaction::create();
  next->set_parent(first);
  put(*ws, next, 0, 0);
  EXPECT_FALSE(first->get_is_end());
  EXPECT_TRUE(next->get_is_end());
  // Once the continuation is gone, it ends again.
  ws->remove(next);
  EXPECT_TRUE(first->get_is_end());
}

TEST(StmLines, ANewTransitionTakesTheFirstTransitionCoveringItsCellAsParent)
{
  const auto ws = new_stm_ws();
  // Two transitions cover (3, 1): one from (1, 1) right, one from (3, 0)
  // down; the one anchored in the earlier row comes first in the stack.
  const auto across = StmTransaction::create();
  across->dh = 3;
  put(*ws, across, 1, 1);
  const auto down = StmTransaction::create();
  down->dv = 2;
  put(*ws, down, 3, 0);
  const auto stack = ws->exp_at({3, 1});
  ASSERT_TRUE(stack);
  ASSERT_EQ(stack->extract<StmTransaction>(ANY_ROLE).size(), 2u);
  const auto first_in_stack = stack->seek<StmTransaction>(ANY_ROLE);
  EXPECT_EQ(first_in_stack, down);

  const auto picked = ws->insert_elm_4_edit({3, 1}, "transaction");
  EXPECT_EQ(picked->get_parent(), first_in_stack);
  EXPECT_FALSE(down->get_is_end());
  EXPECT_TRUE(across->get_is_end());

  // Where no transition covers the cell there is no parent, also for one
  // that had one before; a concurrency line or composite is no parent.
  ASSERT_TRUE(ws->insert_multi_elm("composite", CellRange{{6, 0}, {8, 2}}));
  const auto conc = StmConcurrent::create();
  conc->dh = 2;
  put(*ws, conc, 6, 4);
  for (const CellPos at : {CellPos{7, 1}, CellPos{7, 4}, CellPos{10, 10}}) {
    const auto t = StmTransaction::create();
    t->set_parent(across);
    ws->move_to(at);
    t->pick_parent(*ws, ws->get_c_elm());
    EXPECT_EQ(t->get_parent(), nullptr) << at.to_string();
  }
  // A concurrency line picks no parent.
  const auto c2 = ws->insert_elm_4_edit({2, 1}, "concurrent");
  EXPECT_EQ(c2->get_parent(), nullptr);
}

} // namespace
} // namespace velkaro::test
