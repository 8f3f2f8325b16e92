// "EDIT CONNECTOR MODE": typing into the two multiplicity labels, <Tab>
// switching between them and ending the undo step, labels placed again as
// they grow, <Esc> going back, undo after leaving, and connectors that
// cannot be edited (no route, gone from the set) editing nothing.

#include <string>

#include <gtest/gtest.h>

#include "cls/cls_ctrl_kit_for_test.h"
#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/class_element.h"
#include "cls/doc/cls_ws_for_test.h"
#include "cls/doc/connectors.h"
#include "cls/edit_connector_mode.h"
#include "cls/select_connector_mode.h"
#include "ctrl/text/text_editor_insert.h"
#include "model/text_element.h"
#include "support/test_env.h"

namespace velkaro {
namespace {

using test::ClsKit;

struct Pair {
  explicit Pair(ClsKit& kit)
  {
    test::cls_put_class(*kit.ws, 1, 1, "A");
    klass = test::cls_put_class(*kit.ws, 1, 5, "B");
    con = test::cls_draw(*kit.ws, "association", {1, 1}, {1, 5});
    kit.go(1, 1);
  }
  std::shared_ptr<ClsClassElement> klass;
  std::shared_ptr<ClsAbstractConnectorElement> con;
};

TEST(ClsEditConnectorMode, TypingTabEscAndUndoAfterLeaving)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  Pair pair(kit);
  const std::string start = kit.doc();
  kit.keys("ri");
  ASSERT_EQ(kit.mode_name(), "EDIT CONNECTOR MODE");
  auto& mode = kit.mode<ClsEditConnectorMode>();
  EXPECT_TRUE(mode.get_start_edited());
  EXPECT_EQ(mode.get_editor()->get_ite(), std::static_pointer_cast<CtrlITextEditable>(pair.con->start_multiplicity));

  // Each keystroke places the label again by its new size.
  kit.keys("1");
  const double one = pair.con->get_label_box(StartOrEnd::start).width;
  kit.keys("00");
  EXPECT_EQ(pair.con->start_multiplicity->get_text(), "100");
  EXPECT_GT(pair.con->get_label_box(StartOrEnd::start).width, one);
  EXPECT_EQ(kit.undo_steps(), 1u) << "typing in one label is one step";

  kit.keys("<Tab>");
  EXPECT_FALSE(mode.get_start_edited());
  kit.keys("2");
  EXPECT_EQ(pair.con->end_multiplicity->get_text(), "2");
  EXPECT_EQ(kit.undo_steps(), 2u) << "<Tab> ends the step";
  kit.keys("<Tab>3");
  EXPECT_EQ(pair.con->start_multiplicity->get_text(), "1003");
  EXPECT_EQ(pair.con->end_multiplicity->get_text(), "2");
  EXPECT_EQ(kit.undo_steps(), 3u);

  // Undo and redo do nothing here; <C-z> is no typing either.
  kit.keys("<C-z><C-r>");
  EXPECT_EQ(pair.con->start_multiplicity->get_text(), "1003");
  EXPECT_EQ(kit.undo_steps(), 3u);

  kit.keys("<Esc>");
  EXPECT_EQ(kit.mode_name(), "SELECT CONNECTOR MODE");
  EXPECT_EQ(kit.ctx->get_focused_connector(), pair.con);
  kit.keys("<Esc>");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  kit.keys("u");
  EXPECT_EQ(pair.con->start_multiplicity->get_text(), "100");
  const double back = pair.con->get_label_box(StartOrEnd::start).width;
  kit.keys("u");
  EXPECT_EQ(pair.con->end_multiplicity->get_text(), "");
  kit.keys("u");
  EXPECT_EQ(pair.con->start_multiplicity->get_text(), "");
  EXPECT_LT(pair.con->get_label_box(StartOrEnd::start).width, back) << "an undone edit places the label again";
  EXPECT_EQ(kit.doc(), start);
}

TEST(ClsEditConnectorMode, EscWithoutConnectorsAtTheCursorReturnsToTheCellMode)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  Pair pair(kit);
  test::cls_put_class(*kit.ws, 6, 6);
  kit.ctx->set_focused_connector(pair.con);
  kit.go(6, 6);
  ASSERT_TRUE(kit.ctx->change_to<ClsEditConnectorMode>());
  kit.keys("5<Esc>");
  EXPECT_EQ(pair.con->start_multiplicity->get_text(), "5");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
}

TEST(ClsEditConnectorMode, AConnectorWithoutRouteIsNotEdited)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  Pair pair(kit);
  // A connector whose route found no way keeps no segments.
  pair.con->restore_segments({});
  const std::string start = kit.doc();
  kit.keys("r");
  ASSERT_EQ(kit.mode_name(), "SELECT CONNECTOR MODE");
  kit.keys("i");
  EXPECT_EQ(kit.mode_name(), "SELECT CONNECTOR MODE") << "the edit-connector mode refuses";
  kit.keys("<Esc>i");
  EXPECT_NE(kit.mode_name(), "EDIT CONNECTOR MODE");
  kit.keys("<Esc><Esc>");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  kit.ctx->set_focused_connector(pair.con);
  EXPECT_FALSE(kit.ctx->change_to<ClsEditConnectorMode>());
  EXPECT_EQ(kit.doc(), start);
  EXPECT_EQ(kit.undo_steps(), 0u);
}

TEST(ClsEditConnectorMode, AConnectorGoneWhileEditedTakesNoMoreTyping)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  Pair pair(kit);
  kit.keys("ri7");
  ASSERT_EQ(pair.con->start_multiplicity->get_text(), "7");
  ASSERT_TRUE(kit.ws->remove_connector(pair.con));
  kit.ws->signal_update();
  auto& mode = kit.mode<ClsEditConnectorMode>();
  EXPECT_FALSE(mode.get_is_editing());
  kit.keys("8");
  EXPECT_EQ(pair.con->start_multiplicity->get_text(), "7");
  // Nor does the text at the cursor take it.
  const auto a = std::dynamic_pointer_cast<ClsClassElement>(kit.ws->elm_at({1, 1}));
  ASSERT_TRUE(a);
  EXPECT_EQ(a->name_elem->get_text(), "A");
  EXPECT_EQ(kit.mode_name(), "CELL MODE") << "the key left: no connector ends at the cursor";
}

} // namespace
} // namespace velkaro
