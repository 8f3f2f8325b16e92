// The class-diagram undo actions through an undo processor: the compartment
// actions with their own undo and redo, the cuts that fill the yank buffer,
// the removal of a connector and the line actions.

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "cls/actions.h"
#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/class_element.h"
#include "cls/doc/cls_ws_for_test.h"
#include "cls/doc/connectors.h"
#include "ctrl/undo/action_processor.h"
#include "model/text_element.h"

namespace velkaro {
namespace {

struct BlockFixture {
  std::shared_ptr<ClsWorkspace> ws = test::new_cls_ws();
  std::shared_ptr<CtrlActionProcessor> proc = CtrlActionProcessor::create();
  std::shared_ptr<ClsClassElement> klass;

  BlockFixture()
  {
    klass = test::cls_put_class(*ws, 2, 2, "Name");
  }
  bool insert() { return proc->execute(std::make_shared<ClsInsertBlockInClass>(ws, CellPos{2, 2})); }
  bool remove() { return proc->execute(std::make_shared<ClsRemoveBlockInClass>(ws, CellPos{2, 2})); }
  // "name" and the shown blocks' texts, the active one marked with "*".
  std::string shown() const
  {
    std::string out;
    klass->foreach_shown_text_elem([&](const ClsClassElement::TextPtr& t, const Rectangle&) {
      out += (t == klass->active_text_elem ? "*" : "") + t->get_text() + "|";
      return true;
    });
    return out;
  }
};

TEST(ClsBlockActions, InsertShowsTheCompartmentBelowTheActiveOne)
{
  BlockFixture f;
  ASSERT_TRUE(f.insert());
  EXPECT_EQ(f.shown(), "Name|*|");
  EXPECT_EQ(f.proc->get_undo_stack().size(), 1u);
  f.proc->undo(false);
  EXPECT_EQ(f.shown(), "*Name|");
  f.proc->redo();
  EXPECT_EQ(f.shown(), "Name|*|");
  // block1 active: block2 shown; block2 active: refused, nothing recorded.
  f.klass->block1_elem->set_text("one");
  ASSERT_TRUE(f.insert());
  EXPECT_EQ(f.shown(), "Name|one|*|");
  EXPECT_FALSE(f.insert());
  EXPECT_EQ(f.proc->get_undo_stack().size(), 2u);
}

TEST(ClsBlockActions, InsertBelowTheNameMovesBlock1Down)
{
  BlockFixture f;
  ASSERT_TRUE(f.insert());
  f.klass->block1_elem->set_text("fields");
  f.klass->active_text_elem = f.klass->name_elem;
  ASSERT_TRUE(f.insert());
  EXPECT_EQ(f.shown(), "Name|*|fields|");
}

TEST(ClsBlockActions, RemoveKeepsTheTextForUndo)
{
  BlockFixture f;
  ASSERT_TRUE(f.insert());
  f.klass->block1_elem->set_text("fields");
  ASSERT_TRUE(f.insert());
  f.klass->block2_elem->set_text("methods");
  f.klass->active_text_elem = f.klass->block1_elem;
  ASSERT_TRUE(f.remove());
  EXPECT_EQ(f.shown(), "Name|*methods|");
  f.proc->undo(false);
  EXPECT_EQ(f.shown(), "Name|*fields|methods|");
  f.proc->redo();
  EXPECT_EQ(f.shown(), "Name|*methods|");
  // The name cannot be hidden.
  f.klass->active_text_elem = f.klass->name_elem;
  const size_t steps = f.proc->get_undo_stack().size();
  EXPECT_FALSE(f.remove());
  EXPECT_EQ(f.proc->get_undo_stack().size(), steps);
}

TEST(ClsBlockActions, NothingWithoutAClassAtTheCell)
{
  BlockFixture f;
  ASSERT_TRUE(f.ws->add_text({4, 4}));
  EXPECT_FALSE(f.proc->execute(std::make_shared<ClsInsertBlockInClass>(f.ws, CellPos{4, 4})));
  EXPECT_FALSE(f.proc->execute(std::make_shared<ClsRemoveBlockInClass>(f.ws, CellPos{5, 5})));
  EXPECT_TRUE(f.proc->get_undo_stack().empty());
  // A class gone from the cell leaves undo without effect.
  ASSERT_TRUE(f.insert());
  ASSERT_TRUE(f.ws->rm_pos({2, 2}));
  f.proc->undo(false);
  f.proc->redo();
  EXPECT_EQ(f.ws->elm_at({2, 2}), nullptr);
}

TEST(ClsActions, CutLeavesTheClassInTheYankBuffer)
{
  const auto ws = test::new_cls_ws();
  const auto proc = CtrlActionProcessor::create();
  test::cls_put_class(*ws, 1, 1, "Kept");
  const std::string before = test::document_of(*ws);
  ASSERT_TRUE(proc->execute(std::make_shared<ClsRemovePosAction>(ws, CellPos{1, 1})));
  EXPECT_EQ(ws->elm_at({1, 1}), nullptr);
  proc->undo(false);
  EXPECT_EQ(test::document_of(*ws), before);
  EXPECT_TRUE(ws->get_has_yanked());
  ASSERT_TRUE(ws->paste_to({3, 3}));
  const auto pasted = std::dynamic_pointer_cast<ClsClassElement>(ws->elm_at({3, 3}));
  ASSERT_TRUE(pasted);
  EXPECT_EQ(pasted->name_elem->get_text(), "Kept");
  // An empty cell: refused, nothing recorded.
  EXPECT_FALSE(proc->execute(std::make_shared<ClsRemovePosAction>(ws, CellPos{7, 7})));
  EXPECT_FALSE(proc->execute(std::make_shared<ClsRemoveCellRangeAction>(ws, CellRange{{5, 5}, {4, 4}})));
}

TEST(ClsActions, RemoveConnectorClearsItsFocusAndRefusesOneNotInTheSet)
{
  const auto ws = test::new_cls_ws();
  const auto proc = CtrlActionProcessor::create();
  test::cls_put_class(*ws, 1, 1);
  test::cls_put_class(*ws, 4, 1);
  const auto con = test::cls_draw(*ws, "dependency", {1, 1}, {4, 1});
  const auto shot = test::cls_ws_shot(*ws);
  con->focus = true;
  auto remove = std::make_shared<ClsRemoveConnector>(ws, con);
  EXPECT_FALSE(con->focus);
  ASSERT_TRUE(proc->execute(remove));
  EXPECT_TRUE(ws->get_connectors()->empty());
  EXPECT_FALSE(proc->execute(std::make_shared<ClsRemoveConnector>(ws, con)));
  EXPECT_EQ(proc->get_undo_stack().size(), 1u);
  proc->undo(false);
  EXPECT_EQ(ws->get_connectors()->size(), 1u);
  EXPECT_FALSE(con->focus);
  EXPECT_CLS_SHOT_EQ(test::cls_ws_shot(*ws), shot);
}

TEST(ClsActions, LineActionsPassTheirLine)
{
  const auto ws = test::new_cls_ws();
  const auto proc = CtrlActionProcessor::create();
  test::cls_put_class(*ws, 2, 2);
  ASSERT_TRUE(proc->execute(std::make_shared<ClsInsertLineAction>(ws, CellDir::h, 1)));
  EXPECT_TRUE(ws->elm_at({3, 2}));
  ASSERT_TRUE(proc->execute(std::make_shared<ClsInsertLineAction>(ws, CellDir::v, 0)));
  EXPECT_TRUE(ws->elm_at({3, 3}));
  ASSERT_TRUE(proc->execute(std::make_shared<ClsRemoveLineAction>(ws, CellDir::h, 0)));
  EXPECT_TRUE(ws->elm_at({2, 3}));
  proc->undo(false);
  proc->undo(false);
  proc->undo(false);
  EXPECT_TRUE(ws->elm_at({2, 2}));
  EXPECT_EQ(test::cls_router_vs_fresh(*ws), "");
}

} // namespace
} // namespace velkaro
