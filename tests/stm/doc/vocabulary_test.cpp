// The state-machine vocabulary: the factory and the point-kind table, the
// XML form of every kind, and what reading a document accepts and refuses.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/grid.h"
#include "stm/doc/cells.h"
#include "stm/doc/elms.h"
#include "stm/doc/grid.h"
#include "stm/doc/stm_doc_for_test.h"
#include "support/log_capture.h"

namespace velkaro::test {
namespace {

// All twelve element names as the writer lays them out: a begin state with
// a transition that turns down onto a sink state (the second run the
// child of the first), the other point kinds, a named composite, one
// selected upwards and leftwards, a concurrency line and a free text.
const char* const kStmEveryKind = R"(<?xml version="1.0" encoding="UTF-8"?>
<workspace>
 <element_cells>
  <cell h="0" v="0">
   <beginstate/>
   <transaction width="3"/>
  </cell>
  <cell h="3" v="0">
   <transaction height="2" pi="1" ph="0"/>
  </cell>
  <cell h="5" v="0">
   <entry/>
  </cell>
  <cell h="6" v="0">
   <exit/>
  </cell>
  <cell h="7" v="0">
   <terminate/>
  </cell>
  <cell h="8" v="0">
   <history/>
  </cell>
  <cell h="9" v="0">
   <junction/>
  </cell>
  <cell h="10" v="0">
   <conditional/>
  </cell>
  <cell h="12" v="1">
   <stm_text role="1">free</stm_text>
  </cell>
  <cell h="3" v="2">
   <sinkstate/>
  </cell>
  <cell h="1" v="4">
   <composite width="4" height="3"/>
   <stm_text role="1">Idle</stm_text>
  </cell>
  <cell h="2" v="5">
   <concurrent width="2"/>
  </cell>
  <cell h="14" v="6">
   <composite width="-2" height="-1"/>
  </cell>
 </element_cells>
</workspace>
)";

TEST(StmVocabulary, EveryKindLoadsAndSavesBackIdentical)
{
  const auto ws = new_stm_ws();
  std::string error;
  ASSERT_TRUE(load_text(*ws, kStmEveryKind, &error)) << error;
  EXPECT_EQ(saved_text(*ws), kStmEveryKind);
}

TEST(StmVocabulary, EveryKindReadsIntoTheRightElementsAndLinks)
{
  const auto ws = new_stm_ws();
  ASSERT_TRUE(load_text(*ws, kStmEveryKind));
  EXPECT_EQ(stm_dump(*ws), (std::vector<std::string>{
                               "0,0: beginstate transaction(3,0)",
                               "3,0: transaction(0,2)^",
                               "5,0: entry",
                               "6,0: exit",
                               "7,0: terminate",
                               "8,0: history",
                               "9,0: junction",
                               "10,0: conditional",
                               "12,1: stm_text:free",
                               "3,2: sinkstate",
                               "1,4: composite(4,3) stm_text:Idle",
                               "2,5: concurrent(2,0)",
                               "14,6: composite(-2,-1)",
                           }));
  const auto first = stm_at<StmTransaction>(*ws, 0, 0);
  const auto second = stm_at<StmTransaction>(*ws, 3, 0);
  EXPECT_EQ(second->get_parent(), first);
  EXPECT_TRUE(first->get_is_start());
  EXPECT_FALSE(first->get_is_end());
  EXPECT_FALSE(second->get_is_start());
  EXPECT_TRUE(second->get_is_end());
  EXPECT_EQ(second->get_endpos(), (CellPos{3, 2}));
  EXPECT_EQ(second->get_mdir(), MovingDir::down);
  EXPECT_EQ(typeid(*ws->elm_at({10, 0})), typeid(StmConditional));
  // Written without alignments, a text reads back centred both ways.
  for (const CellPos at : {CellPos{12, 1}, CellPos{1, 4}}) {
    const auto text = stm_at<StmTextElement>(*ws, at.x, at.y);
    ASSERT_TRUE(text) << at.to_string();
    EXPECT_EQ(text->align, ModelAlign::CENTER) << at.to_string();
    EXPECT_EQ(text->valign, ModelAlign::CENTER) << at.to_string();
  }
}

TEST(StmVocabulary, FactoryMakesKindsByExactNameWithThatNameAsTag)
{
  struct Case {
    const char* name;
    const char* type;
  };
  const std::vector<Case> made{
      {"beginstate", "StmBeginState"}, {"sinkstate", "StmSinkState"},     {"entry", "StmEntry"},
      {"exit", "StmExit"},             {"terminate", "StmTerminate"},     {"history", "StmHistory"},
      {"junction", "StmJunction"},     {"conditional", "StmConditional"}, {"composite", "StmComposite"},
      {"transaction", "StmTransaction"}, {"concurrent", "StmConcurrent"},
  };
  const auto cells = StmCells::create();
  for (const auto& c : made) {
    const auto e = StmElms::make(c.name);
    ASSERT_TRUE(e) << c.name;
    EXPECT_STREQ(e->get_type_name(), c.type) << c.name;
    EXPECT_EQ(e->tag, c.name);
    // A fresh element of a kind is another of the same kind and name.
    EXPECT_STREQ(e->new_instance()->get_type_name(), c.type) << c.name;
    EXPECT_EQ(e->new_instance()->tag, c.name);
    EXPECT_STREQ(cells->bear(c.name)->get_type_name(), c.type) << c.name;
  }
  // Texts are no kind of the factory; the cells make them.
  const std::vector<Case> others{
      {"stm_text", "StmTextElement"}, {"text", "ModelTextElement"},      {"Beginstate", "ModelTextElement"},
      {"transition", "ModelTextElement"}, {"junction ", "ModelTextElement"}, {"", "ModelTextElement"},
  };
  for (const auto& c : others) {
    EXPECT_EQ(StmElms::make(c.name), nullptr) << c.name;
    const auto e = cells->bear(c.name);
    ASSERT_TRUE(e) << c.name;
    EXPECT_STREQ(e->get_type_name(), c.type) << c.name;
  }
}

TEST(StmVocabulary, PointKindsListTheEightPointsInPopupOrder)
{
  const auto kinds = StmElms::point_kinds();
  const std::vector<std::pair<std::string, std::string>> expected{
      {"beginstate", "_Begin State"},
      {"sinkstate", "_Sink State"},
      {"entry", "_Entry State"},
      {"exit", "E_xit State"},
      {"terminate", "Te_rminate Node"},
      {"history", "H_istory"},
      {"conditional", "C_onditional Pseudo State"},
      {"junction", "J_unction"},
  };
  ASSERT_EQ(kinds.size(), expected.size());
  for (size_t i = 0; i < kinds.size(); ++i) {
    EXPECT_EQ(kinds[i].name, expected[i].first) << i;
    EXPECT_EQ(kinds[i].label, expected[i].second) << i;
    // Every row names a point kind.
    EXPECT_TRUE(std::dynamic_pointer_cast<StmPointElms>(StmElms::make(kinds[i].name))) << kinds[i].name;
  }
}

TEST(StmVocabulary, ResizableAreCompositesLinesAndFreeTexts)
{
  for (const char* name : {"beginstate", "sinkstate", "entry", "exit", "terminate", "history", "junction",
                           "conditional"})
    EXPECT_FALSE(StmElms::make(name)->get_resizable()) << name;
  for (const char* name : {"composite", "transaction", "concurrent"})
    EXPECT_TRUE(StmElms::make(name)->get_resizable()) << name;
  const auto owner = StmComposite::create();
  EXPECT_TRUE(StmTextElement::create()->get_resizable());
  EXPECT_FALSE(StmTextElement::create_with_parent(owner)->get_resizable());
  const auto text = StmTextElement::create_with_text(owner, "name");
  EXPECT_EQ(text->get_text(), "name");
  EXPECT_EQ(text->get_parent(), owner);
  EXPECT_TRUE(text->mono);
}

TEST(StmVocabulary, ATextIsWrittenWithoutAlignments)
{
  const auto ws = new_stm_ws();
  const auto text = StmTextElement::create_with_text(nullptr, "abc");
  text->align = ModelAlign::RIGHT;
  text->valign = ModelAlign::TOP;
  put(*ws, text, 2, 1);
  const std::string written = saved_text(*ws);
  EXPECT_NE(written.find(R"(<stm_text role="1">abc</stm_text>)"), std::string::npos) << written;
  EXPECT_EQ(written.find("align"), std::string::npos) << written;
  const auto back = new_stm_ws();
  ASSERT_TRUE(load_text(*back, written));
  const auto read = stm_at<StmTextElement>(*back, 2, 1);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->get_text(), "abc");
  EXPECT_EQ(read->align, ModelAlign::CENTER);
  EXPECT_EQ(read->valign, ModelAlign::CENTER);
}

// A document holding element inside cell (2, 3), the element on line 4.
std::string stm_one_cell_document(const std::string& element)
{
  return "<workspace>\n<element_cells>\n<cell h=\"2\" v=\"3\">\n" + element + "\n</cell></element_cells></workspace>";
}

TEST(StmVocabulary, ElementsReadWithTheirDefaults)
{
  struct Case {
    const char* element;
    const char* reads_as;
    const char* writes_back;
  };
  const std::vector<Case> cases{
      // An unknown name is a plain text, written back as one.
      {"<state/>", "2,3: text:", R"(<text role="1" align="centre" valign="centre"></text>)"},
      {"<text>t</text>", "2,3: text:t", R"(<text role="1" align="centre" valign="centre">t</text>)"},
      {R"(<beginstate width="0" height="0"/>)", "2,3: beginstate", "<beginstate/>"},
      {R"(<beginstate role="7"/>)", "2,3: beginstate", R"(<beginstate role="7"/>)"},
      {R"(<stm_text role="1" align="centre" valign="centre">x</stm_text>)", "2,3: stm_text:x",
       R"(<stm_text role="1">x</stm_text>)"},
      {R"(<transaction height="-3"/>)", "2,3: transaction(0,-3)", R"(<transaction height="-3"/>)"},
      // A reference to a cell without a chain gives no parent.
      {R"(<transaction width="1" pi="0" ph="9"/>)", "2,3: transaction(1,0)", R"(<transaction width="1"/>)"},
      {R"(<composite width="-2" height="-3"/>)", "2,3: composite(-2,-3)", R"(<composite width="-2" height="-3"/>)"},
  };
  for (const auto& c : cases) {
    const auto ws = new_stm_ws();
    std::string error;
    ASSERT_TRUE(load_text(*ws, stm_one_cell_document(c.element), &error)) << c.element << ": " << error;
    EXPECT_EQ(stm_dump(*ws), std::vector<std::string>{c.reads_as}) << c.element;
    const std::string written = saved_text(*ws);
    EXPECT_NE(written.find(c.writes_back), std::string::npos) << c.element << " wrote " << written;
  }
}

TEST(StmVocabulary, ValuesAnElementCannotHoldFailTheReadWithTheLine)
{
  const std::vector<std::pair<const char*, const char*>> cases{
      // A point covers one cell.
      {R"(<beginstate width="1"/>)", "one cell"},
      {R"(<junction height="-1"/>)", "one cell"},
      {R"(<conditional width="2" height="2"/>)", "one cell"},
      // A text is written without alignments, so it can only be centred:
      // another alignment would be lost by the next save.
      {R"(<stm_text align="right">x</stm_text>)", "aligned"},
      {R"(<stm_text valign="top">x</stm_text>)", "aligned"},
      {R"(<stm_text align="left" valign="bottom"/>)", "centred"},
      // Beyond the grid, or beyond 32 bits.
      {R"(<transaction width="-3"/>)", "outside the grid"},
      {R"(<composite height="70000"/>)", "higher than the grid"},
      {R"(<concurrent width="99999999999"/>)", "width"},
      {R"(<entry role="99999999999"/>)", "role"},
  };
  for (const auto& [element, word] : cases) {
    const auto ws = new_stm_ws();
    ASSERT_TRUE(ws->insert_elm({0, 0}, "beginstate"));
    const std::string before = document_of(*ws);
    std::string error;
    EXPECT_FALSE(load_text(*ws, stm_one_cell_document(element), &error)) << element;
    EXPECT_NE(error.find("line 4"), std::string::npos) << element << ": " << error;
    EXPECT_NE(error.find(word), std::string::npos) << element << ": " << error;
    // A refused file changes nothing.
    EXPECT_EQ(document_of(*ws), before) << element;
  }
}

TEST(StmVocabulary, WorkspaceInstallsTheStateMachineGridAndCells)
{
  const auto ws = new_stm_ws();
  EXPECT_NE(std::dynamic_pointer_cast<StmGrid>(ws->grid), nullptr);
  EXPECT_NE(std::dynamic_pointer_cast<StmCells>(ws->get_cells()), nullptr);
  EXPECT_NE(std::dynamic_pointer_cast<StmCells>(ws->tmp_cells), nullptr);
  // An empty diagram: every line 30 units; the base grid keeps 20.
  for (int32_t i : {0, 1, 7, 300}) {
    const Rectangle r = ws->grid->get_rect(i, i);
    EXPECT_DOUBLE_EQ(r.width, 30.0);
    EXPECT_DOUBLE_EQ(r.height, 30.0);
    EXPECT_DOUBLE_EQ(r.x, 30.0 * i);
  }
  EXPECT_DOUBLE_EQ(ModelGrid::create()->get_rect(3, 3).width, 20.0);
  // A document read anew keeps the state-machine kinds.
  ASSERT_TRUE(load_text(*ws, kStmEveryKind));
  EXPECT_NE(std::dynamic_pointer_cast<StmCells>(ws->get_cells()), nullptr);
  EXPECT_NE(std::dynamic_pointer_cast<StmGrid>(ws->grid), nullptr);
}

} // namespace
} // namespace velkaro::test
