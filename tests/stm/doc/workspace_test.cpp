// The state-machine workspace: its three insertions (with undo and redo of
// what they record and the updates they emit), free text, and the base
// hooks it switches off.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/cell_range.h"
#include "model/serializing_writer.h"
#include "stm/doc/stm_doc_for_test.h"
#include "support/log_capture.h"

namespace velkaro::test {
namespace {

// Counts the workspace's updates.
struct StmUpdates {
  explicit StmUpdates(ModelWorkspace& ws)
  {
    ws.signal_updated().connect([this] { ++count; });
  }
  int count = 0;
};

TEST(StmWorkspaceInsert, APointStateGoesOnlyWhereNoChainIsAnchored)
{
  const auto ws = new_stm_ws();
  StmUpdates updates(*ws);
  const std::string empty = document_of(*ws);
  bool placed = false;
  const auto d = record_edit(*ws, [&] { placed = ws->insert_elm({2, 3}, "beginstate"); });
  ASSERT_TRUE(placed);
  EXPECT_EQ(updates.count, 1);
  EXPECT_EQ(stm_dump(*ws), std::vector<std::string>{"2,3: beginstate"});
  const auto state = ws->elm_at({2, 3});
  EXPECT_FALSE(state->in_process);
  EXPECT_EQ(ws->cursor, (CellPos{2, 3}));
  expect_undo_redo(*ws, *d, empty, document_of(*ws));

  // Over a state, and at a transition's start cell: refused, nothing
  // recorded or emitted.
  ASSERT_TRUE(ws->insert_elm_4_edit({5, 5}, "transaction"));
  const std::string before = document_of(*ws);
  const int emitted = updates.count;
  for (const CellPos at : {CellPos{2, 3}, CellPos{5, 5}}) {
    const auto refused = record_edit(*ws, [&] { placed = ws->insert_elm(at, "sinkstate"); });
    EXPECT_FALSE(placed) << at.to_string();
    EXPECT_TRUE(refused->get_is_empty()) << at.to_string();
  }
  EXPECT_EQ(document_of(*ws), before);
  EXPECT_EQ(updates.count, emitted);
}

TEST(StmWorkspaceInsert, APointStateGoesInACellThatOthersOnlyPassOver)
{
  const auto ws = new_stm_ws();
  ASSERT_TRUE(ws->insert_multi_elm("composite", CellRange{{1, 1}, {4, 4}}));
  const auto t = ws->insert_elm_4_edit({0, 6}, "transaction");
  t->dh = 4;
  ws->get_cells()->respan(*t);
  ASSERT_TRUE(ws->insert_elm({2, 2}, "entry"));
  ASSERT_TRUE(ws->insert_elm({3, 6}, "exit"));
  EXPECT_EQ(stm_dump(*ws), (std::vector<std::string>{"1,1: composite(3,3)", "2,2: entry", "0,6: transaction(4,0)",
                                                     "3,6: exit"}));
}

TEST(StmWorkspaceInsert, ALineStartedOnAStateFollowsItInTheChainAndEmitsNothing)
{
  const auto ws = new_stm_ws();
  ASSERT_TRUE(ws->insert_elm({1, 1}, "beginstate"));
  StmUpdates updates(*ws);
  const std::string before = document_of(*ws);
  ModelWorkspace::ElementPtr line;
  const auto d = record_edit(*ws, [&] { line = ws->insert_elm_4_edit({1, 1}, "transaction"); });
  ASSERT_TRUE(line);
  EXPECT_EQ(updates.count, 0);
  EXPECT_TRUE(line->in_process);
  EXPECT_EQ(stm_dump(*ws), std::vector<std::string>{"1,1: beginstate transaction"});
  EXPECT_TRUE(std::dynamic_pointer_cast<StmTransaction>(line)->get_is_start());
  expect_undo_redo(*ws, *d, before, document_of(*ws));
  // A concurrency line starts the same way.
  const auto conc = ws->insert_elm_4_edit({1, 1}, "concurrent");
  ASSERT_TRUE(conc);
  EXPECT_EQ(stm_dump(*ws), std::vector<std::string>{"1,1: beginstate transaction concurrent"});
}

TEST(StmWorkspaceInsert, ATransitionStartedWhereAnotherEndsContinuesIt)
{
  const auto ws = new_stm_ws();
  const auto first = std::dynamic_pointer_cast<StmTransaction>(ws->insert_elm_4_edit({1, 1}, "transaction"));
  ASSERT_TRUE(first);
  // The range mode stretches it three cells right (a resized copy).
  const auto stretched =
      std::dynamic_pointer_cast<StmTransaction>(ws->resize_hv(first, 3, 0, CellPos{-1, -1}));
  ASSERT_TRUE(stretched);
  ASSERT_EQ(stretched->get_endpos(), (CellPos{4, 1}));
  EXPECT_TRUE(stretched->get_is_end());
  const std::string before = document_of(*ws);
  ModelWorkspace::ElementPtr next;
  const auto d = record_edit(*ws, [&] { next = ws->insert_elm_4_edit({4, 1}, "transaction"); });
  ASSERT_TRUE(next);
  EXPECT_EQ(next->get_parent(), stretched);
  EXPECT_FALSE(stretched->get_is_end());
  expect_undo_redo(*ws, *d, before, document_of(*ws));
  // The written parent reference names the first run.
  const std::string saved = saved_text(*ws);
  EXPECT_NE(saved.find(R"(<transaction pi="0" ph="1"/>)"), std::string::npos) << saved;
}

TEST(StmWorkspaceInsert, ACompositeSpansItsRangeTowardsTheEndCorner)
{
  struct Case {
    CellRange range;
    CellPos anchor;
    int32_t dh;
    int32_t dv;
  };
  const std::vector<Case> cases{
      {{{3, 3}, {3, 3}}, {3, 3}, 0, 0},
      {{{2, 2}, {6, 4}}, {2, 2}, 4, 2},
      // Selected leftwards and upwards: the extensions stay negative.
      {{{6, 4}, {2, 2}}, {6, 4}, -4, -2},
      {{{6, 2}, {2, 4}}, {6, 2}, -4, 2},
  };
  for (const auto& c : cases) {
    const auto ws = new_stm_ws();
    StmUpdates updates(*ws);
    const std::string empty = document_of(*ws);
    bool placed = false;
    const auto d = record_edit(*ws, [&] { placed = ws->insert_multi_elm("composite", c.range); });
    const std::string what = c.range.start.to_string() + "-" + c.range.end.to_string();
    ASSERT_TRUE(placed) << what;
    EXPECT_EQ(updates.count, 1) << what;
    const auto comp = stm_at<StmComposite>(*ws, c.anchor.x, c.anchor.y);
    ASSERT_TRUE(comp) << what;
    EXPECT_EQ(comp->dh, c.dh) << what;
    EXPECT_EQ(comp->dv, c.dv) << what;
    EXPECT_TRUE(comp->in_process) << what;
    EXPECT_EQ(ws->cursor, c.range.start) << what;
    expect_undo_redo(*ws, *d, empty, document_of(*ws));
  }
}

TEST(StmWorkspaceInsert, PlacesOutsideTheGridAndUnknownNamesChangeNothing)
{
  const auto ws = new_stm_ws();
  const std::string empty = document_of(*ws);
  LogCapture log;
  EXPECT_FALSE(ws->insert_elm({-1, 0}, "beginstate"));
  EXPECT_FALSE(ws->insert_elm({0, 65536}, "beginstate"));
  EXPECT_EQ(ws->insert_elm_4_edit({-1, -1}, "transaction"), nullptr);
  EXPECT_FALSE(ws->insert_multi_elm("composite", CellRange{{0, 0}, {-1, 2}}));
  // A composite reaching past the last column.
  EXPECT_FALSE(ws->insert_multi_elm("composite", CellRange{{65535, 0}, {65536, 0}}));
  EXPECT_TRUE(log.criticals.empty());
  EXPECT_FALSE(ws->insert_elm({0, 0}, "state"));
  EXPECT_EQ(ws->insert_elm_4_edit({0, 0}, "stm_text"), nullptr);
  EXPECT_FALSE(ws->insert_multi_elm("", CellRange{{0, 0}, {1, 1}}));
  EXPECT_EQ(log.criticals.size(), 3u);
  EXPECT_EQ(document_of(*ws), empty);
}

TEST(StmWorkspace, AFreeTextIsCentredBothWays)
{
  const auto ws = new_stm_ws();
  ASSERT_TRUE(ws->add_text({4, 2}));
  const auto text = stm_at<StmTextElement>(*ws, 4, 2);
  ASSERT_TRUE(text);
  EXPECT_EQ(text->align, ModelAlign::CENTER);
  EXPECT_EQ(text->valign, ModelAlign::CENTER);
  EXPECT_EQ(text->get_parent(), nullptr);
  // Texts may share a cell with anything.
  ASSERT_TRUE(ws->insert_elm({5, 2}, "beginstate"));
  EXPECT_TRUE(ws->add_text({5, 2}));
}

TEST(StmWorkspace, NothingGrowsIntoAnInsertedLine)
{
  const auto ws = new_stm_ws();
  ASSERT_TRUE(ws->insert_multi_elm("composite", CellRange{{1, 1}, {3, 3}}));
  const auto t = ws->insert_elm_4_edit({0, 5}, "transaction");
  t->dh = 4;
  ws->get_cells()->respan(*t);
  const auto down = ws->insert_elm_4_edit({6, 0}, "transaction");
  down->dv = 4;
  ws->get_cells()->respan(*down);
  ws->clear_in_process();
  ASSERT_TRUE(ws->insert_row(2));
  ASSERT_TRUE(ws->insert_col(2));
  // Lines moved on, none grown and nothing added in the new cells.
  EXPECT_EQ(stm_dump(*ws), (std::vector<std::string>{"7,0: transaction(0,4)", "1,1: composite(2,2)",
                                                     "0,6: transaction(4,0)"}));
}

TEST(StmWorkspace, NoElementIsARangeCutTarget)
{
  const auto ws = new_stm_ws();
  ASSERT_TRUE(ws->add_text({1, 1}));
  ASSERT_TRUE(ws->insert_elm({2, 1}, "beginstate"));
  ASSERT_TRUE(ws->insert_multi_elm("composite", CellRange{{0, 0}, {3, 3}}));
  ws->get_cells()->foreach([&](int32_t, int32_t, const ModelWorkspace::ElementPtr& head) {
    head->foreach([&](const ModelWorkspace::ElementPtr& e) {
      for (const CellDir axis : {CellDir::h, CellDir::v})
        for (const bool slide : {false, true})
          EXPECT_FALSE(ws->range_cut_target(*e, slide, axis)) << e->get_type_name();
    });
    return true;
  });
  const std::string before = document_of(*ws);
  CellPos yank{100, 100};
  EXPECT_TRUE(ws->range_cut(yank, CellRange{{0, 0}, {5, 5}}, true, false, CellDir::h).empty());
  EXPECT_EQ(document_of(*ws), before);
}

} // namespace
} // namespace velkaro::test
