// The cell mode and the real in-cell text modes together: the cell mode
// reaches "INSERT MODE (CELL)" only through the role it plays
// (CtrlICellTextMode), so these tests check that the real mode takes it.

#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include <gtest/gtest.h>

#include "ctrl/undo/action_processor.h"
#include "ctrl/text/mode_text.h"
#include "ctrl/mode_scripts_for_test.h"
#include "ctrl/test_kind.h"
#include "ctrl/text/text_editor_with_action.h"
#include "model/text_element.h"
#include "model/workspace.h"
#include "support/test_env.h"

namespace velkaro {
namespace {

using test::KindContext;
using test::KindKit;

KindKit kit_with_text_modes()
{
  KindKit kit([](KindContext& ctx) {
    return std::vector<CtrlContext::ModePtr>{
      std::make_shared<test::TestCellMode>(ctx), CtrlNormalModeInCell::create(ctx),
      CtrlInsertModeNormal::create(ctx),         CtrlInsertModeDirect::create(ctx),
      CtrlVisualModeInCell::create(ctx),
    };
  });
  kit.ctx->change_to_cell_mode();
  return kit;
}

CtrlATextModeRoot& text_mode(CtrlContext& ctx)
{
  return dynamic_cast<CtrlATextModeRoot&>(*ctx.get_now_mode());
}

// The real text modes read GTK's settings: they need a display.
TEST(CellAndTextModes, NewTextIsTypedIntoTheInsertModeOfTheCellAndUndoneInOneStep)
{
  VELKARO_REQUIRE_GTK();
  KindKit kit = kit_with_text_modes();
  CtrlContext& ctx = *kit.ctx;
  const std::string start = test::document_of(*kit.ws);
  ctx.set_pos({2, 1});

  ASSERT_TRUE(test::press_keys(ctx, "tt"));
  ASSERT_EQ(typeid(*ctx.get_now_mode()), typeid(CtrlInsertModeDirect));
  text_mode(ctx).get_text_editor()->commit_cb("hé");
  test::press_keys(ctx, "<Esc>");
  EXPECT_EQ(ctx.get_now_mode()->get_name(), "CELL MODE");

  const auto text = std::dynamic_pointer_cast<ModelTextElement>(kit.ws->elm_at({2, 1}));
  ASSERT_TRUE(text);
  EXPECT_EQ(text->get_text(), "hé");
  EXPECT_EQ(ctx.get_action_proc()->get_undo_stack().size(), 1u) << "the typing merged into the insertion";
  test::press_keys(ctx, "u");
  EXPECT_EQ(test::document_of(*kit.ws), start);
}

TEST(CellAndTextModes, EditingAnExistingTextHandsTheCursorRequestToTheRealMode)
{
  VELKARO_REQUIRE_GTK();
  struct Case {
    int dir;
    bool to_end;
    int32_t cursor;
  };
  for (const Case c : {Case{1, true, 3}, Case{-1, true, 0}}) {
    KindKit kit = kit_with_text_modes();
    CtrlContext& ctx = *kit.ctx;
    auto text = ModelTextElement::create();
    text->set_text("abc");
    text->set_cursor_index(1);
    ASSERT_TRUE(test::place(*kit.ws, text, 0, 0));
    ctx.set_pos({0, 0});

    auto& cell = dynamic_cast<test::TestCellMode&>(*ctx.get_now_mode());
    ASSERT_TRUE(cell.mod_text(c.dir, c.to_end));
    ASSERT_EQ(typeid(*ctx.get_now_mode()), typeid(CtrlInsertModeDirect));
    EXPECT_EQ(text->get_cursor_index(), c.cursor) << "dir " << c.dir;
  }
}

} // namespace
} // namespace velkaro
