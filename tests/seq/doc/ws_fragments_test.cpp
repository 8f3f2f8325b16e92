// The sequence workspace's operations on fragments and separators, as
// tables over small fixtures.

#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "seq/doc/seq_for_test.h"

namespace velkaro::test {
namespace {

void frag(SeqWorkspace& ws, int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
  ASSERT_TRUE(ws.insert_frag(range(x0, y0, x1, y1)));
}

// Resizes the fragment whose top-left cell is (1, 1) by its bottom-right
// corner to (x1, y1), marking it in process first as the range mode does.
std::function<bool(SeqWorkspace&)> drag_to(int32_t x1, int32_t y1)
{
  return [=](SeqWorkspace& ws) {
    const auto fm = at<SeqFragment>(ws, 1, 1);
    fm->set_in_process(true);
    const auto corner = fm->get_bottom_right();
    return ws.mod_frag(corner, range(corner->pos.x, corner->pos.y, x1, y1));
  };
}

TEST(SeqWorkspaceFragments, InsertFrag)
{
  const Lines three_by_three{"1,1: frag text^", "2,1: fhtse", "3,1: fvs", "1,2: fvts", "3,2: fv",
                             "1,3: fvte",       "2,3: fhse",  "3,3: fve"};
  const std::vector<OpCase> cases{
      {"three by three", [](SeqWorkspace&) {}, [](SeqWorkspace& ws) { return ws.insert_frag(range(1, 1, 3, 3)); },
       true, three_by_three, 1},
      {"corners in the other order", [](SeqWorkspace&) {},
       [](SeqWorkspace& ws) { return ws.insert_frag(range(3, 3, 1, 1)); }, true, three_by_three, 1},
      {"two columns", [](SeqWorkspace&) {}, [](SeqWorkspace& ws) { return ws.insert_frag(range(1, 1, 2, 3)); },
       false, std::nullopt, 0},
      {"two rows", [](SeqWorkspace&) {}, [](SeqWorkspace& ws) { return ws.insert_frag(range(1, 1, 3, 2)); },
       false, std::nullopt, 0},
      {"a text on the bottom edge refuses the whole fragment",
       [](SeqWorkspace& ws) { put(ws, SeqTextElement::create(), 2, 3); },
       [](SeqWorkspace& ws) { return ws.insert_frag(range(1, 1, 3, 3)); }, false, std::nullopt, 0},
      {"reaching outside the grid", [](SeqWorkspace&) {},
       [](SeqWorkspace& ws) { return ws.insert_frag(range(CellPos::MAX - 1, 1, CellPos::MAX + 1, 3)); }, false,
       std::nullopt, 0},
      {"life lines across the top and bottom, message lines across the sides, anything inside",
       [](SeqWorkspace& ws) {
         ASSERT_TRUE(ws.add_lifeline({2, 0}));
         int32_t right = 1;
         const CellRange r = range(2, 3, 5, 3);
         ASSERT_TRUE(ws.insert_message({2, 3}, right, &r, ANY_ROLE));
       },
       [](SeqWorkspace& ws) { return ws.insert_frag(range(1, 1, 3, 4)); }, true,
       Lines{"2,0: head text^", "1,1: frag text^", "2,1: ll fhtse", "3,1: fvs", "1,2: fvts", "2,2: ll", "3,2: fv",
             "1,3: fvt", "2,3: ll msg> sync", "3,3: ml> fv", "4,3: ml>", "5,3: ml>", "1,4: fvte", "2,4: ll fhse",
             "3,4: fve", "2,5: ll"},
       1},
  };
  for (const auto& c : cases)
    test::run_case(c);
}

TEST(SeqWorkspaceFragments, BottomRightIsTheLastCellOfTheRightEdge)
{
  const auto ws = test::new_ws();
  frag(*ws, 2, 3, 6, 8);
  const auto fm = at<SeqFragment>(*ws, 2, 3);
  EXPECT_EQ(fm->get_bottom_right(), at<SeqFragLine>(*ws, 6, 8));
  EXPECT_EQ(at<SeqFragLine>(*ws, 6, 8)->get_fm(), fm);
  EXPECT_EQ(at<SeqTextElement>(*ws, 2, 3)->get_parent(), fm);
}

TEST(SeqWorkspaceFragments, ModFrag)
{
  const std::vector<OpCase> cases{
      {"three right and two down, with a separator",
       [](SeqWorkspace& ws) {
         frag(ws, 1, 1, 4, 4);
         ASSERT_TRUE(ws.insert_separator({1, 2}));
       },
       drag_to(7, 6), true,
       Lines{"1,1: frag text^", "2,1: fhts", "3,1: fhte", "4,1: fht", "5,1: fht", "6,1: fhte", "7,1: fvs",
             "1,2: fvts sp", "2,2: spl", "3,2: spl", "4,2: spl", "5,2: spl", "6,2: spl", "7,2: fv spl",
             "1,3: fvt", "7,3: fv", "1,4: fvt", "7,4: fv", "1,5: fvt", "7,5: fv", "1,6: fvte", "2,6: fhs",
             "3,6: fh", "4,6: fh", "5,6: fh", "6,6: fhe", "7,6: fve"},
       0},
      {"an obstacle two columns on stops the frame one column short",
       [](SeqWorkspace& ws) {
         frag(ws, 1, 1, 3, 3);
         put(ws, SeqTextElement::create(), 5, 1);
       },
       drag_to(6, 3), true,
       Lines{"1,1: frag text^", "2,1: fhtse", "3,1: fhte", "4,1: fvs", "5,1: text", "1,2: fvts", "4,2: fv",
             "1,3: fvte", "2,3: fhse", "3,3: fhe", "4,3: fve"},
       0},
      {"further left than three wide keeps three", [](SeqWorkspace& ws) { frag(ws, 1, 1, 4, 3); }, drag_to(0, 3),
       true,
       Lines{"1,1: frag text^", "2,1: fhts", "3,1: fvs", "1,2: fvts", "3,2: fv", "1,3: fvte", "2,3: fhs",
             "3,3: fve"},
       0},
      {"shrinking up past a separator's row removes it",
       [](SeqWorkspace& ws) {
         frag(ws, 1, 1, 3, 4);
         ASSERT_TRUE(ws.insert_separator({1, 3}));
       },
       drag_to(3, 2), true,
       Lines{"1,1: frag text^", "2,1: fhtse", "3,1: fvs", "1,2: fvts", "3,2: fv", "1,3: fvte", "2,3: fhse",
             "3,3: fve"},
       0},
      {"shrinking to the left cuts the separators",
       [](SeqWorkspace& ws) {
         frag(ws, 1, 1, 5, 3);
         ASSERT_TRUE(ws.insert_separator({1, 2}));
       },
       drag_to(3, 3), true,
       Lines{"1,1: frag text^", "2,1: fhts", "3,1: fvs", "1,2: fvts sp", "2,2: spl", "3,2: spl fv", "1,3: fvte",
             "2,3: fhs", "3,3: fve"},
       0},
      {"dragging it back onto its own corner", [](SeqWorkspace& ws) { frag(ws, 1, 1, 3, 3); }, drag_to(3, 3),
       false, std::nullopt, 0},
      {"not a frame line", [](SeqWorkspace& ws) { frag(ws, 1, 1, 3, 3); },
       [](SeqWorkspace& ws) { return ws.mod_frag(at<SeqFragment>(ws, 1, 1), range(1, 1, 5, 5)); }, false,
       std::nullopt, 0},
  };
  for (const auto& c : cases)
    test::run_case(c);
}

// A free text on the left edge blocks every frame whose left edge still
// covers it, the current one too: the search for a fitting corner gives up
// and nothing changes.
TEST(SeqWorkspaceFragments, FitSearchEndsWhenEvenTheCurrentFrameFails)
{
  const auto ws = test::new_ws();
  frag(*ws, 1, 1, 3, 3);
  ASSERT_TRUE(ws->add_text({1, 2}));
  ASSERT_EQ(at<SeqTextElement>(*ws, 1, 2)->get_role(), 1);
  ws->clear_in_process();
  const std::string before = test::document_of(*ws);
  for (const auto& [x1, y1] : std::vector<std::pair<int32_t, int32_t>>{{6, 6}, {3, 3}, {0, 0}, {3, 9}}) {
    const auto start = std::chrono::steady_clock::now();
    bool result = true;
    const auto d = test::record_edit(*ws, [&, x = x1, y = y1] { result = drag_to(x, y)(*ws); });
    EXPECT_FALSE(result);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_TRUE(test::record_is_empty(*d));
    EXPECT_EQ(test::document_of(*ws), before);
  }
}

TEST(SeqWorkspaceFragments, InsertSeparator)
{
  const auto four = [](SeqWorkspace& ws) { frag(ws, 1, 1, 4, 4); };
  const auto across = [](int32_t x, int32_t y) {
    return [=](SeqWorkspace& ws) { return ws.insert_separator({x, y}); };
  };
  const Lines frame{"1,1: frag text^", "2,1: fhts", "3,1: fhte", "4,1: fvs", "1,2: fvts", "4,2: fv", "1,3: fvt",
                    "4,3: fv",        "1,4: fvte", "2,4: fhs",  "3,4: fhe", "4,4: fve"};
  auto with_row3 = frame;
  with_row3[6] = "1,3: fvt sp";
  with_row3[7] = "2,3: spl";
  with_row3.insert(with_row3.begin() + 8, {"3,3: spl", "4,3: fv spl"});
  const std::vector<OpCase> cases{
      {"across the frame", four, across(1, 3), true, with_row3, 1},
      {"on the fragment's own cell", four, across(1, 1), false, std::nullopt, 0},
      {"on the bottom edge", four, across(2, 4), false, std::nullopt, 0},
      {"on the right edge", four, across(4, 2), false, std::nullopt, 0},
      {"on the top edge", four, across(2, 1), false, std::nullopt, 0},
      {"on an empty cell", four, across(2, 2), false, std::nullopt, 0},
      {"on a left-edge cell a message line crosses",
       [&](SeqWorkspace& ws) {
         four(ws);
         int32_t right = -1;
         const CellRange r = range(3, 3, 0, 3);
         ASSERT_TRUE(ws.insert_message({3, 3}, right, &r, ANY_ROLE));
       },
       across(1, 3), false, std::nullopt, 0},
      {"with something in its way inside the frame",
       [&](SeqWorkspace& ws) {
         four(ws);
         put(ws, SeqTextElement::create(), 3, 3);
       },
       across(1, 3), false, std::nullopt, 0},
      {"pasted with texts: each goes to the same cell of the new separator",
       [&](SeqWorkspace& ws) {
         four(ws);
         ASSERT_TRUE(ws.insert_separator({1, 2}));
         ASSERT_TRUE(ws.add_text({2, 2}));
       },
       [](SeqWorkspace& ws) {
         const auto copy = at<SeqSeparator>(ws, 1, 2)->copy_all(*ws.get_cells(), false);
         return ws.insert_separator({1, 3}, copy);
       },
       true,
       Lines{"1,1: frag text^", "2,1: fhts", "3,1: fhte", "4,1: fvs", "1,2: fvts sp", "2,2: spl text^", "3,2: spl",
             "4,2: fv spl", "1,3: fvt sp", "2,3: spl text^", "3,3: spl", "4,3: fv spl", "1,4: fvte", "2,4: fhs",
             "3,4: fhe", "4,4: fve"},
       1},
  };
  for (const auto& c : cases)
    test::run_case(c);
}

TEST(SeqWorkspaceFragments, PastedSeparatorTextsBelongToTheNewSeparator)
{
  const auto ws = test::new_ws();
  frag(*ws, 1, 1, 4, 4);
  ASSERT_TRUE(ws->insert_separator({1, 2}));
  ASSERT_TRUE(ws->add_text({2, 2}));
  at<SeqTextElement>(*ws, 2, 2)->set_text("guard");
  const auto copy = at<SeqSeparator>(*ws, 1, 2)->copy_all(*ws->get_cells(), false);
  ASSERT_TRUE(ws->insert_separator({1, 3}, copy));
  const auto text = at<SeqTextElement>(*ws, 2, 3);
  EXPECT_EQ(text->get_text(), "guard");
  EXPECT_EQ(text->get_parent(), at<SeqSepLine>(*ws, 2, 3));
  EXPECT_EQ(at<SeqSepLine>(*ws, 4, 3)->get_fl(), at<SeqFragLine>(*ws, 1, 3));
  EXPECT_EQ(ws->get_cells()->get(1, 3), at<SeqFragLine>(*ws, 1, 3));
  ws->move_hv(4, 3);
  EXPECT_EQ(ws->get_c_fl(), at<SeqFragLine>(*ws, 4, 3));
  EXPECT_EQ(ws->get_c_sp(), at<SeqSepLine>(*ws, 4, 3));
  ws->move_hv(7, 7);
  EXPECT_EQ(ws->get_c_fl(), nullptr);
  EXPECT_EQ(ws->get_c_sp(), nullptr);
}

} // namespace
} // namespace velkaro::test
