// The text modes of a class: the cursor passing between compartments,
// showing and hiding compartments, a visual selection across compartments
// with copy (on the real clipboard), cut and paste, a paste that waits for
// the clipboard holding the keys that follow, and what leaving does with an
// emptied compartment or free text.

#include <functional>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "cls/cls_ctrl_kit_for_test.h"
#include "cls/doc/class_element.h"
#include "cls/doc/cls_ws_for_test.h"
#include "cls/mode_text.h"
#include "ctrl/gdk_events_for_test.h"
#include "ctrl/text/text_editor_clipboard.h"
#include "ctrl/text/text_editor_with_action.h"
#include "ctrl/undo/action_processor.h"
#include "model/text_element.h"
#include "support/test_env.h"

namespace velkaro {
namespace {

using test::ClsKit;
using TextPtr = std::shared_ptr<ModelTextElement>;

// A class at (2, 2) with its name and the given shown blocks.
std::shared_ptr<ClsClassElement> put_class(ClsKit& kit, const std::string& name,
                                           const std::optional<std::string>& block1 = std::nullopt,
                                           const std::optional<std::string>& block2 = std::nullopt)
{
  auto k = test::cls_put_class(*kit.ws, 2, 2, name);
  if (block1) {
    k->block1_shown = true;
    k->block1_elem->set_text(*block1);
  }
  if (block2) {
    k->block2_shown = true;
    k->block2_elem->set_text(*block2);
  }
  k->active_text_elem = k->name_elem;
  kit.ws->update_layout({2, 2});
  kit.go(2, 2);
  return k;
}

std::string clipboard_text()
{
  return CtrlTextEditorClipboard::get_default()->wait_for_text().value_or("(none)");
}

TEST(ClsTextModes, JAndKCrossCompartmentsKeepingTheColumn)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  // Left aligned blocks, so that a column is the same character in each.
  const auto k = put_class(kit, "n", std::string("abcdef"), std::string("uvwxyz"));
  k->active_text_elem = k->block1_elem;
  kit.keys("<CR>");
  ASSERT_EQ(kit.mode_name(), "NORMAL MODE (CLASS)");
  kit.keys("lll");
  ASSERT_EQ(k->block1_elem->get_cursor_index(), 3);
  kit.keys("j");
  EXPECT_EQ(k->active_text_elem, k->block2_elem);
  EXPECT_EQ(k->block2_elem->get_cursor_index(), 3);
  kit.keys("k");
  EXPECT_EQ(k->active_text_elem, k->block1_elem);
  EXPECT_EQ(k->block1_elem->get_cursor_index(), 3);
  kit.keys("k");
  EXPECT_EQ(k->active_text_elem, k->name_elem);
  kit.keys("k");
  EXPECT_EQ(k->active_text_elem, k->name_elem) << "nothing above the name";
  // Right past the end of block1 enters block2 at its start.
  kit.keys("j$l");
  EXPECT_EQ(k->active_text_elem, k->block2_elem);
  EXPECT_EQ(k->block2_elem->get_cursor_index(), 0);
  kit.keys("$ll");
  EXPECT_EQ(k->active_text_elem, k->block2_elem) << "nothing below block2";
  EXPECT_EQ(kit.mode_name(), "NORMAL MODE (CLASS)");
}

TEST(ClsTextModes, RightPastBlock1StaysWhileBlock2IsHidden)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  const auto k = put_class(kit, "n", std::string("ab"));
  k->active_text_elem = k->block1_elem;
  kit.keys("<CR>$");
  const int32_t end = k->block1_elem->get_cursor_index();
  kit.keys("l");
  EXPECT_EQ(k->active_text_elem, k->block1_elem);
  EXPECT_EQ(k->block1_elem->get_cursor_index(), end);
}

TEST(ClsTextModes, ShiftEnterAndShiftDeleteShowAndHideCompartments)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  const auto k = put_class(kit, "Name");
  kit.keys("i");
  ASSERT_EQ(kit.mode_name(), "INSERT MODE (DIRECT)");
  kit.keys("<S-Enter>");
  EXPECT_TRUE(k->block1_shown);
  EXPECT_EQ(k->active_text_elem, k->block1_elem);
  kit.keys("ab");
  EXPECT_EQ(k->block1_elem->get_text(), "ab");
  EXPECT_EQ(k->name_elem->get_text(), "Name");
  kit.keys("<S-Enter>cd");
  EXPECT_TRUE(k->block2_shown);
  EXPECT_EQ(k->block2_elem->get_text(), "cd");
  const size_t steps = kit.undo_steps();
  kit.keys("<S-Enter>");
  EXPECT_EQ(kit.undo_steps(), steps) << "both shown: refused, nothing recorded";
  // block1 edited while block2 is shown: block2's text moves up.
  kit.keys("<Esc><CR>k<S-Del>");
  ASSERT_EQ(kit.mode_name(), "NORMAL MODE (CLASS)");
  EXPECT_TRUE(k->block1_shown);
  EXPECT_FALSE(k->block2_shown);
  EXPECT_EQ(k->block1_elem->get_text(), "cd");
  EXPECT_EQ(k->active_text_elem, k->block1_elem);
  kit.keys("<S-Del>");
  EXPECT_FALSE(k->block1_shown);
  EXPECT_EQ(k->active_text_elem, k->name_elem);
  const size_t after = kit.undo_steps();
  kit.keys("<S-Del>");
  EXPECT_EQ(kit.undo_steps(), after) << "the name is never removed";
  kit.keys("uu");
  EXPECT_TRUE(k->block1_shown);
  EXPECT_TRUE(k->block2_shown);
  EXPECT_EQ(k->block2_elem->get_text(), "cd");
}

// Name "abcdef" selected from "c", block1 "ghi" wholly, block2 "jklm"
// through "k": in the visual mode with the selection made.
std::shared_ptr<ClsClassElement> select_three(ClsKit& kit)
{
  const auto k = put_class(kit, "abcdef", std::string("ghi"), std::string("jklm"));
  kit.keys("<CR>0ll");
  EXPECT_EQ(k->name_elem->get_cursor_index(), 2);
  kit.keys("vjj0l");
  EXPECT_EQ(kit.mode_name(), "VISUAL MODE (CLASS)");
  EXPECT_EQ(k->active_text_elem, k->block2_elem);
  EXPECT_EQ(k->name_elem->get_selected_text().value_or(""), "cdef");
  EXPECT_EQ(k->block1_elem->get_selected_text().value_or(""), "ghi");
  EXPECT_EQ(k->block2_elem->get_selected_text().value_or(""), "jk");
  return k;
}

TEST(ClsTextModes, VisualSelectionAcrossCompartmentsCopiedWithLineBreaks)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  const auto k = select_three(kit);
  // Back up into the anchor compartment: block2's part is dropped.
  kit.keys("k");
  EXPECT_EQ(k->block2_elem->get_selected_text().value_or(""), "");
  kit.keys("j0l");
  kit.keys("y");
  EXPECT_EQ(kit.mode_name(), "NORMAL MODE (CLASS)");
  EXPECT_EQ(clipboard_text(), "cdef\nghi\njk");
  EXPECT_FALSE(k->name_elem->get_has_range());
  EXPECT_EQ(k->name_elem->get_text(), "abcdef");

  // Within one compartment: exactly its piece, no line feed.
  kit.keys("kk0lvly");
  EXPECT_EQ(clipboard_text(), "bc");
}

TEST(ClsTextModes, VisualSelectionUpwardsFromBlock1)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  const auto k = put_class(kit, "abcdef", std::string("ghi"));
  k->active_text_elem = k->block1_elem;
  kit.keys("<CR>0lvk$hh");
  EXPECT_EQ(k->active_text_elem, k->name_elem);
  EXPECT_EQ(k->block1_elem->get_selected_text().value_or(""), "gh");
  EXPECT_EQ(k->name_elem->get_selected_text().value_or(""), "ef");
  kit.keys("y");
  EXPECT_EQ(clipboard_text(), "ef\ngh");
}

TEST(ClsTextModes, XDeletesThreePiecesAsThreeEdits)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  const auto k = select_three(kit);
  const std::string before = kit.doc();
  const size_t steps = kit.undo_steps();
  kit.keys("x");
  test::settle();
  EXPECT_EQ(k->name_elem->get_text(), "ab");
  EXPECT_EQ(k->block1_elem->get_text(), "");
  EXPECT_EQ(k->block2_elem->get_text(), "lm");
  EXPECT_EQ(kit.undo_steps(), steps + 3);
  EXPECT_EQ(kit.mode_name(), "NORMAL MODE (CLASS)");
  EXPECT_EQ(k->active_text_elem, k->block2_elem) << "the compartment edited before the cut";
  EXPECT_EQ(clipboard_text(), "cdef\nghi\njk");
  EXPECT_TRUE(k->block1_shown) << "an emptied compartment stays";
  kit.keys("u");
  EXPECT_EQ(k->block2_elem->get_text(), "jklm");
  EXPECT_EQ(k->name_elem->get_text(), "ab");
  kit.keys("uu");
  EXPECT_EQ(kit.doc(), before);
}

TEST(ClsTextModes, PReplacesTheSelectionWithTheClipboard)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  const auto k = put_class(kit, "abcdef");
  CtrlTextEditorClipboard::get_default()->set_text("XY");
  kit.keys("<CR>0llvl");
  kit.keys("p");
  test::settle();
  EXPECT_EQ(k->name_elem->get_text(), "abXYef");
  EXPECT_EQ(clipboard_text(), "cd");
  EXPECT_EQ(kit.mode_name(), "NORMAL MODE (CLASS)");
}

// A clipboard that answers when the test says so.
class LateClipboard : public CtrlTextEditorClipboard {
public:
  std::optional<std::string> wait_for_text() override { return text; }
  void request_text(const TextReceiver& receive) override { waiting = receive; }
  void set_text(const std::string& t) override { text = t; }
  void answer()
  {
    const TextReceiver receive = std::move(waiting);
    waiting = nullptr;
    receive(text);
  }
  std::optional<std::string> text;
  TextReceiver waiting;
};

TEST(ClsTextModes, KeysWaitForAPasteThatWaitsForTheClipboard)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  const auto k = put_class(kit, "abcdef");
  auto& visual = kit.mode<ClsVisualModeInClass>();
  const auto clipboard = std::make_shared<LateClipboard>();
  clipboard->text = "XY";
  visual.get_text_editor()->set_clipboard(clipboard);
  kit.keys("<CR>0llvl");
  const size_t steps = kit.undo_steps();
  kit.keys("p");
  ASSERT_TRUE(clipboard->waiting);
  EXPECT_TRUE(visual.get_is_paste_pending());
  // Nothing of the paste has run, and the keys typed meanwhile wait.
  kit.keys("x$");
  test::settle();
  EXPECT_EQ(k->name_elem->get_text(), "abcdef");
  EXPECT_EQ(kit.undo_steps(), steps);
  EXPECT_EQ(kit.mode_name(), "VISUAL MODE (CLASS)");
  clipboard->answer();
  test::settle();
  // The paste, back in the normal mode as its edits ask, then "x" and "$".
  EXPECT_EQ(k->name_elem->get_text(), "abXef");
  EXPECT_EQ(k->name_elem->get_cursor_index(), 5);
  EXPECT_EQ(kit.mode_name(), "NORMAL MODE (CLASS)");
  EXPECT_EQ(clipboard->text, "cd");

  // Leaving before the answer drops the paste.
  kit.keys("0vl");
  kit.keys("p");
  kit.ctx->change_to_cell_mode();
  clipboard->answer();
  test::settle();
  EXPECT_EQ(k->name_elem->get_text(), "abXef");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
}

TEST(ClsTextModes, LeavingKeepsAnEmptiedCompartment)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  const auto k = put_class(kit, "n", std::string("ab"));
  k->active_text_elem = k->block1_elem;
  kit.keys("a<BS><BS>");
  ASSERT_EQ(k->block1_elem->get_text(), "");
  const size_t steps = kit.undo_steps();
  kit.keys("<Esc>");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  EXPECT_TRUE(k->block1_shown);
  EXPECT_EQ(kit.ws->elm_at({2, 2}), k);
  EXPECT_EQ(kit.undo_steps(), steps) << "leaving records nothing";
  kit.keys("u");
  EXPECT_EQ(k->block1_elem->get_text(), "ab");
}

TEST(ClsTextModes, LeavingAnEmptyFreeTextNeverUndoesAnotherStep)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  // A free text already empty (as read from a file), then an unrelated step.
  kit.ws->add_text({5, 5});
  kit.go(1, 1);
  kit.keys("c");
  ASSERT_TRUE(kit.ws->elm_at({1, 1}));
  kit.go(5, 5);
  kit.keys("i");
  ASSERT_EQ(kit.mode_name(), "INSERT MODE (DIRECT)");
  kit.keys("<Esc>");
  EXPECT_EQ(kit.ws->elm_at({5, 5}), nullptr) << "the empty free text goes";
  EXPECT_TRUE(kit.ws->elm_at({1, 1})) << "the class added before stays";
  EXPECT_EQ(kit.undo_steps(), 2u);
  kit.keys("u");
  EXPECT_TRUE(kit.ws->elm_at({5, 5}));
  EXPECT_TRUE(kit.ws->elm_at({1, 1}));

  // A free text made for this edit and left empty is taken back whole.
  kit.go(6, 6);
  const size_t steps = kit.undo_steps();
  kit.keys("a<Esc>");
  EXPECT_EQ(kit.ws->elm_at({6, 6}), nullptr);
  EXPECT_EQ(kit.undo_steps(), steps);
}

TEST(ClsTextModes, DoubleClickOnBlock1EditsIt)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  const auto k = put_class(kit, "n", std::string("body"));
  const Rectangle div = k->get_block1_div_rect();
  const Point corner = kit.ws->grid->get_top_left_point({2, 2});
  kit.double_press_pt(Point(corner.get_x() + div.x + div.width / 2, corner.get_y() + div.y + div.height / 2));
  EXPECT_EQ(kit.mode_name(), "INSERT MODE (DIRECT)");
  EXPECT_EQ(k->active_text_elem, k->block1_elem);
}

TEST(ClsTextModes, CtrlVPastesBeforeTheCursorInTheDirectInsertMode)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  const auto k = put_class(kit, "ab");
  CtrlTextEditorClipboard::get_default()->set_text("Q");
  kit.keys("I<C-v>");
  EXPECT_EQ(k->name_elem->get_text(), "Qab");
}

} // namespace
} // namespace velkaro
