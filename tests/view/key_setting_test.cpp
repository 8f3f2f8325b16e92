// The key-binding editor on a shown window: the list of groups and rows,
// adding a sequence typed on the editor page, refused keys, removing and
// restoring keys, the keyboard navigation, and text with markup characters.
// Key presses go to the toplevel, which hands them to its focus widget, as
// the display's keys come.

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gdk/gdk.h>
#include <glibmm/keyfile.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/window.h>

#include "ctrl/keys/action_wrapper.h"
#include "ctrl/gdk_events_for_test.h"
#include "ctrl/test_kind.h"
#include "model/store.h"
#include "support/log_capture.h"
#include "support/test_env.h"
#include "view/key_setting.h"
#include "view/widgets_for_test.h"

namespace velkaro::test {
namespace {

std::string read_file(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The keys stored on disk for key in group, read by a fresh key file;
// nullopt when the file or the entry is missing.
std::optional<std::vector<std::string>> stored_keys(const std::string& path, const std::string& group,
                                                    const std::string& key)
{
  if (!std::filesystem::exists(path))
    return std::nullopt;
  Glib::KeyFile file;
  file.set_list_separator(',');
  file.load_from_file(path);
  if (!file.has_group(group) || !file.has_key(group, key))
    return std::nullopt;
  std::vector<std::string> keys;
  for (const auto& k : file.get_string_list(group, key))
    keys.push_back(k);
  return keys;
}

// A mode that includes the handlers it is given.
class IncludingMode : public KindMode {
public:
  IncludingMode(CtrlContext& ctrl, std::string name, const std::vector<CtrlIActionHandler::HandlerPtr>& handlers)
    : KindMode(ctrl, std::move(name))
  {
    for (const auto& h : handlers)
      include(h);
    void_action("own", {"o"}, [] {}, "Own action");
  }
};

// The key-setting view of a kit's context in a shown window.
struct SettingStage {
  explicit SettingStage(const KindContext::MakeModes& make_modes = {}) : kit(make_modes)
  {
    ks = std::make_unique<ViewKeySetting>(kit.ctx, [this] { ++left; });
    window.set_default_size(600, 300);
    window.add(*ks);
    window.show_all();
    activate(window);
  }
  ~SettingStage()
  {
    window.remove();
    ks.reset();
    settle();
  }

  void press(guint keyval, guint state = 0) { test::press(window, keyval, state); }
  void press_modifier(guint keyval) { test::press_modifier(window, keyval); }
  void frame() { test::frame(window); }
  // Return on a focused button: its "clicked" comes after a delay.
  void press_return()
  {
    press(GDK_KEY_Return);
    test::wait(window, 300);
  }

  ViewKeyRow& row(const std::string& group, const std::string& action)
  {
    for (ViewKeyRow* r : ks->get_rows()) {
      if (r->get_group_name() == group && r->get_action()->get_name() == action)
        return *r;
    }
    throw std::runtime_error("no row " + group + "/" + action);
  }
  std::vector<std::string> key_labels(ViewKeyRow& r)
  {
    std::vector<std::string> labels;
    for (Gtk::Button* b : r.get_key_buttons())
      labels.push_back(b->get_label());
    return labels;
  }
  std::string config_path() { return kit.ctx->get_store()->get_config_path(); }
  CtrlContext::ModePtr mode(size_t i) { return kit.ctx->get_mode_list().at(i); }
  ViewKeyEditor& editor() { return ks->get_editor(); }

  KindKit kit;
  Gtk::Window window;
  std::unique_ptr<ViewKeySetting> ks;
  int left = 0;
};

TEST(ViewKeySetting, ListsOneGroupPerModeThenOneCommonGroupPerIncludedClass)
{
  VELKARO_REQUIRE_GTK();
  SettingStage stage;
  std::vector<std::string> groups;
  std::vector<std::string> headers;
  std::vector<std::string> titles;
  for (ViewKeyRow* r : stage.ks->get_rows()) {
    if (groups.empty() || groups.back() != r->get_group_name())
      groups.push_back(r->get_group_name());
    if (auto* header = dynamic_cast<Gtk::Label*>(r->get_header()))
      headers.push_back(header->get_text());
    titles.push_back(r->get_title_label()->get_text());
  }
  const std::vector<std::string> expected{"KIND CELL MODE", "KIND OTHER MODE", "Common : KIND BASE MODE"};
  EXPECT_EQ(groups, expected);
  EXPECT_EQ(headers, expected) << "a header on the first row of each group only";
  // Registration order; an action without a description shows its name;
  // replacements and the context's own actions are not listed.
  EXPECT_EQ(titles, (std::vector<std::string>{"Own", "Insert text", "Copy", "Cut", "Paste", "Other mode",
                                              "cut-range", "Show Help", "Undo", "Cancel", "Left", "Down", "Up",
                                              "Right", "base-b", "shared", "delete-line"}));
  EXPECT_EQ(stage.ks->get_visible_child_name(), "list");
  EXPECT_FALSE(stage.ks->get_is_editor_active());
}

TEST(ViewKeySetting, RowShowsKeysFromTheSpacerOutwardsAndRestoreOnlyWhenRemapped)
{
  VELKARO_REQUIRE_GTK();
  SettingStage stage;
  auto& r = stage.row("KIND CELL MODE", "own-x");
  EXPECT_EQ(stage.key_labels(r), (std::vector<std::string>{"x"}));
  EXPECT_FALSE(r.get_restore_button()->get_sensitive());
  EXPECT_TRUE(r.get_add_button()->get_sensitive());
  EXPECT_EQ(r.get_restore_button()->get_relief(), Gtk::RELIEF_NONE);

  ASSERT_TRUE(r.get_action()->add_key("X"));
  // The row rebuilt itself on "remapped": the first key stays next to the
  // spacer, so later keys stand further left.
  ASSERT_EQ(r.get_key_buttons().size(), 2u);
  EXPECT_EQ(stage.key_labels(r), (std::vector<std::string>{"x", "X"}));
  stage.frame();
  EXPECT_GT(r.get_key_buttons()[0]->get_allocation().get_x(), r.get_key_buttons()[1]->get_allocation().get_x());
  EXPECT_LT(r.get_key_buttons()[0]->get_allocation().get_x(), r.get_add_button()->get_allocation().get_x());
  EXPECT_LT(r.get_add_button()->get_allocation().get_x(), r.get_restore_button()->get_allocation().get_x());
  EXPECT_TRUE(r.get_restore_button()->get_sensitive());
}

// The underline of a button's label: PANGO_UNDERLINE_NONE when it has none.
int underline_of(Gtk::Button& button)
{
  auto* label = dynamic_cast<Gtk::Label*>(button.get_child());
  PangoAttrList* attrs = label ? gtk_label_get_attributes(label->gobj()) : nullptr;
  if (!attrs)
    return PANGO_UNDERLINE_NONE;
  PangoAttrIterator* it = pango_attr_list_get_iterator(attrs);
  const auto* attr = reinterpret_cast<const PangoAttrInt*>(pango_attr_iterator_get(it, PANGO_ATTR_UNDERLINE));
  const int value = attr ? attr->value : PANGO_UNDERLINE_NONE;
  pango_attr_iterator_destroy(it);
  return value;
}

TEST(ViewKeySetting, ButtonLabelIsUnderlinedWhileTheButtonHasTheFocus)
{
  VELKARO_REQUIRE_GTK();
  SettingStage stage;
  auto& r = stage.row("KIND CELL MODE", "own-x");
  Gtk::Button& add = *r.get_add_button();
  Gtk::Button& key = *r.get_key_buttons().at(0);
  EXPECT_EQ(underline_of(add), PANGO_UNDERLINE_NONE);
  add.grab_focus();
  stage.frame();
  EXPECT_EQ(underline_of(add), PANGO_UNDERLINE_SINGLE);
  key.grab_focus();
  stage.frame();
  EXPECT_EQ(underline_of(add), PANGO_UNDERLINE_NONE);
  EXPECT_EQ(underline_of(key), PANGO_UNDERLINE_SINGLE);
}

TEST(ViewKeySetting, TypingGgAndOkStoresTheSequenceUnderTheModesGroup)
{
  VELKARO_REQUIRE_GTK();
  SettingStage stage;
  auto& r = stage.row("KIND CELL MODE", "own-x");
  r.get_add_button()->clicked();
  stage.frame();
  EXPECT_TRUE(stage.ks->get_is_editor_active());
  auto& ed = stage.editor();
  ASSERT_TRUE(ed.get_type_button());
  EXPECT_TRUE(ed.get_type_button()->is_focus());
  EXPECT_FALSE(ed.get_ok_button()->get_sensitive()) << "OK waits for a first key";

  stage.press(GDK_KEY_g);
  EXPECT_EQ(ed.get_keys(), (std::vector<std::string>{"g"}));
  EXPECT_TRUE(ed.get_ok_button()->get_sensitive());
  EXPECT_TRUE(ed.get_ok_button()->is_focus());
  // h from "OK" goes back to "Type a key" for the next key of the sequence.
  stage.press(GDK_KEY_h);
  EXPECT_TRUE(ed.get_type_button()->is_focus());
  stage.press(GDK_KEY_g);
  EXPECT_EQ(ed.get_keys(), (std::vector<std::string>{"g", "g"}));
  // Return activates the focused "OK".
  stage.press_return();

  EXPECT_FALSE(stage.ks->get_is_editor_active());
  const auto& own_map = stage.mode(0)->get_key_action_map();
  EXPECT_EQ(own_map.get("gg"), std::optional<std::string>("own-x"));
  EXPECT_EQ(stored_keys(stage.config_path(), "KIND CELL MODE", "own-x"), (std::vector<std::string>{"x", "gg"}));
  EXPECT_EQ(stage.key_labels(r), (std::vector<std::string>{"x", "gg"}));
  EXPECT_TRUE(r.get_restore_button()->get_sensitive());
}

TEST(ViewKeySetting, KeyHeldByAnotherActionIsRefusedWithNothingChanged)
{
  VELKARO_REQUIRE_GTK();
  SettingStage stage;
  // Something stored already, so the file exists and must stay as it is.
  ASSERT_TRUE(stage.row("KIND CELL MODE", "paste").get_action()->add_key("P"));
  const std::string before = read_file(stage.config_path());
  ASSERT_FALSE(before.empty());

  auto& r = stage.row("KIND CELL MODE", "copy");
  r.get_add_button()->clicked();
  stage.frame();
  auto& ed = stage.editor();
  stage.press(GDK_KEY_x); // held by "own-x"
  ed.get_ok_button()->clicked();
  stage.frame();

  EXPECT_TRUE(stage.ks->get_is_editor_active()) << "the editor stays open";
  EXPECT_EQ(ed.get_message_label()->get_text(), "Duplicated keys!");
  EXPECT_EQ(ed.get_keys(), (std::vector<std::string>{"x"})) << "the captured keys stay";
  const auto& own_map = stage.mode(0)->get_key_action_map();
  EXPECT_EQ(own_map.get("x"), std::optional<std::string>("own-x"));
  EXPECT_EQ(r.get_action()->get_assigned(), (std::vector<std::string>{"y"}));
  EXPECT_FALSE(r.get_restore_button()->get_sensitive());
  EXPECT_EQ(read_file(stage.config_path()), before);

  // A further key clears the message; Esc away from "Type a key" leaves.
  stage.press(GDK_KEY_h);
  stage.press(GDK_KEY_z);
  EXPECT_EQ(ed.get_message_label()->get_text(), "");
  stage.press(GDK_KEY_Escape);
  EXPECT_FALSE(stage.ks->get_is_editor_active());
  EXPECT_EQ(r.get_action()->get_assigned(), (std::vector<std::string>{"y"}));
}

TEST(ViewKeySetting, ClickingAKeyRemovesItAndRestoreBringsBackTheDefaults)
{
  VELKARO_REQUIRE_GTK();
  SettingStage stage;
  auto& r = stage.row("KIND CELL MODE", "own-x");
  ASSERT_EQ(r.get_key_buttons().size(), 1u);
  r.get_key_buttons()[0]->clicked();
  stage.frame();
  EXPECT_TRUE(r.get_key_buttons().empty());
  EXPECT_TRUE(r.is_focus()) << "the row takes the focus";
  EXPECT_FALSE(stage.mode(0)->get_key_action_map().get("x"));
  EXPECT_EQ(stored_keys(stage.config_path(), "KIND CELL MODE", "own-x"), std::vector<std::string>{});
  ASSERT_TRUE(r.get_restore_button()->get_sensitive());

  r.get_restore_button()->clicked();
  stage.frame();
  EXPECT_EQ(stage.key_labels(r), (std::vector<std::string>{"x"}));
  EXPECT_EQ(stage.mode(0)->get_key_action_map().get("x"), std::optional<std::string>("own-x"));
  EXPECT_EQ(stored_keys(stage.config_path(), "KIND CELL MODE", "own-x"), std::nullopt);
  EXPECT_FALSE(r.get_restore_button()->get_sensitive());
  EXPECT_TRUE(r.is_focus());
}

TEST(ViewKeySetting, CapturesModifiedKeysIgnoresLoneModifiersAndTakesEscAsAKey)
{
  VELKARO_REQUIRE_GTK();
  SettingStage stage;
  stage.row("KIND CELL MODE", "copy").get_add_button()->clicked();
  stage.frame();
  auto& ed = stage.editor();
  stage.press_modifier(GDK_KEY_Shift_L);
  stage.press_modifier(GDK_KEY_Control_L);
  EXPECT_TRUE(ed.get_keys().empty());
  EXPECT_TRUE(ed.get_type_button()->is_focus());
  stage.press(GDK_KEY_c, GDK_CONTROL_MASK);
  EXPECT_EQ(ed.get_keys(), (std::vector<std::string>{"<C-c>"}));
  EXPECT_TRUE(ed.get_ok_button()->is_focus());
  // The key line shows it, escaped for markup.
  std::vector<std::string> shown;
  for (Gtk::Widget* w : ed.get_key_line()->get_children())
    if (auto* label = dynamic_cast<Gtk::Label*>(w))
      shown.push_back(label->get_text());
  EXPECT_EQ(shown, (std::vector<std::string>{"[<C-c>]"}));
  stage.press(GDK_KEY_k);
  stage.press(GDK_KEY_Escape);
  EXPECT_EQ(ed.get_keys(), (std::vector<std::string>{"<C-c>", "<Esc>"}));
  EXPECT_TRUE(stage.ks->get_is_editor_active());
  // From "OK", Cancel is to the right; Return there leaves without a change.
  stage.press(GDK_KEY_l);
  EXPECT_TRUE(ed.get_cancel_button()->is_focus());
  stage.press_return();
  EXPECT_FALSE(stage.ks->get_is_editor_active());
  EXPECT_EQ(stage.row("KIND CELL MODE", "copy").get_action()->get_assigned(), (std::vector<std::string>{"y"}));
}

TEST(ViewKeySetting, ListKeysMoveTheFocusAndEscLeaves)
{
  VELKARO_REQUIRE_GTK();
  SettingStage stage;
  auto rows = stage.ks->get_rows();
  ASSERT_GE(rows.size(), 3u);
  rows[0]->grab_focus();
  stage.press(GDK_KEY_j);
  EXPECT_TRUE(rows[1]->has_focus() || rows[1]->is_ancestor(*stage.window.get_focus()) ||
              stage.window.get_focus()->is_ancestor(*rows[1]));
  stage.press(GDK_KEY_k);
  EXPECT_TRUE(rows[0]->is_focus() || stage.window.get_focus()->is_ancestor(*rows[0]));

  rows[0]->grab_focus();
  stage.press(GDK_KEY_d);
  const Gtk::Widget* focus = stage.window.get_focus();
  ASSERT_TRUE(focus);
  EXPECT_NE(focus, rows[0]) << "a page down";
  stage.press(GDK_KEY_u);
  EXPECT_EQ(stage.window.get_focus(), rows[0]) << "and back up";

  EXPECT_EQ(stage.left, 0);
  stage.press(GDK_KEY_Escape);
  EXPECT_EQ(stage.left, 1);
}

// Two modes including their own instances of one handler class give one
// "Common : " group, and a key added there reaches the other instance too.
TEST(ViewKeySetting, KeyAddedInTheCommonGroupReachesEveryInstance)
{
  VELKARO_REQUIRE_GTK();
  SettingStage stage;
  const auto first = stage.mode(0)->get_included_modes().at(0);
  const auto second = stage.mode(1)->get_included_modes().at(0);
  ASSERT_NE(first, second);
  EXPECT_EQ(first->get_data_ah().dups, (std::vector<CtrlIActionHandler::HandlerPtr>{second}));

  auto& r = stage.row("Common : KIND BASE MODE", "base-b");
  r.get_add_button()->clicked();
  stage.frame();
  stage.press(GDK_KEY_B);
  stage.editor().settle();
  stage.frame();
  EXPECT_EQ(first->get_key_action_map().get("B"), std::optional<std::string>("base-b"));
  EXPECT_EQ(second->get_key_action_map().get("B"), std::optional<std::string>("base-b"));
  EXPECT_EQ(stored_keys(stage.config_path(), "KIND BASE MODE", "base-b"), (std::vector<std::string>{"b", "B"}));
}

// One handler object included by two modes is met twice while the list is
// built; it must not become its own dup (every change would then apply to
// it again without end), and a second instance met twice is listed once.
TEST(ViewKeySetting, HandlerMetTwiceIsNeverItsOwnDup)
{
  VELKARO_REQUIRE_GTK();
  std::shared_ptr<CtrlIActionHandler> shared, other;
  SettingStage stage([&](KindContext& ctx) -> std::vector<CtrlContext::ModePtr> {
    shared = std::make_shared<KindBaseMode>(ctx);
    other = std::make_shared<KindBaseMode>(ctx);
    return {std::make_shared<IncludingMode>(ctx, "A MODE", std::vector{shared}),
            std::make_shared<IncludingMode>(ctx, "B MODE", std::vector{shared, other}),
            std::make_shared<IncludingMode>(ctx, "C MODE", std::vector{other})};
  });
  EXPECT_EQ(shared->get_data_ah().dups, (std::vector<CtrlIActionHandler::HandlerPtr>{other}));
  EXPECT_TRUE(other->get_data_ah().dups.empty());

  int commons = 0;
  for (ViewKeyRow* r : stage.ks->get_rows())
    commons += r->get_group_name() == "Common : KIND BASE MODE" && r->get_action()->get_name() == "undo";
  EXPECT_EQ(commons, 1);

  auto& r = stage.row("Common : KIND BASE MODE", "undo");
  ASSERT_TRUE(r.get_action()->add_key("U"));
  EXPECT_EQ(stored_keys(stage.config_path(), "KIND BASE MODE", "undo"), (std::vector<std::string>{"u", "U"}));
  EXPECT_EQ(other->get_ah_map().at("undo")->get_assigned(), (std::vector<std::string>{"u", "U"}));
  r.get_action()->rm_key("u");
  EXPECT_EQ(other->get_ah_map().at("undo")->get_assigned(), (std::vector<std::string>{"U"}));
}

// Descriptions and names come from translations and may hold markup
// characters; they show as written and break no label.
TEST(ViewKeySetting, MarkupCharactersInNamesAndDescriptionsShowAsWritten)
{
  VELKARO_REQUIRE_GTK();
  LogCapture logs;
  SettingStage stage([](KindContext& ctx) -> std::vector<CtrlContext::ModePtr> {
    auto mode =
      std::make_shared<IncludingMode>(ctx, "SAVE & <QUIT> MODE", std::vector<CtrlIActionHandler::HandlerPtr>{});
    mode->void_action("amp", {"a"}, [] {}, "Cut & paste <all>");
    return {mode};
  });
  auto rows = stage.ks->get_rows();
  ASSERT_EQ(rows.size(), 2u);
  auto* header = dynamic_cast<Gtk::Label*>(rows[0]->get_header());
  ASSERT_TRUE(header);
  EXPECT_EQ(header->get_text(), "SAVE & <QUIT> MODE");
  EXPECT_EQ(rows[1]->get_title_label()->get_text(), "Cut & paste <all>");
  EXPECT_TRUE(logs.warnings.empty()) << logs.warnings.front();
  EXPECT_TRUE(logs.criticals.empty());
}

TEST(ViewKeySetting, RemovePageAndChangeEditsOfferedToOtherCallers)
{
  VELKARO_REQUIRE_GTK();
  SettingStage stage;
  auto& r = stage.row("KIND CELL MODE", "own-x");
  ASSERT_TRUE(r.get_action()->add_key("X"));
  stage.ks->show_key_editor(r, "remove", std::nullopt);
  stage.frame();
  auto& ed = stage.editor();
  std::vector<std::string> labels;
  for (Gtk::Button* b : ed.get_remove_buttons())
    labels.push_back(b->get_label());
  EXPECT_EQ(labels, (std::vector<std::string>{"Cancel", "Remove [x]", "Remove [X]"}));
  EXPECT_TRUE(ed.get_remove_buttons()[0]->is_focus());
  ed.get_remove_buttons()[1]->clicked();
  stage.frame();
  EXPECT_FALSE(stage.ks->get_is_editor_active());
  EXPECT_EQ(r.get_action()->get_assigned(), (std::vector<std::string>{"X"}));

  // "change": add the typed sequence, then drop the key it replaces.
  stage.ks->show_key_editor(r, "change", std::string("X"));
  stage.frame();
  stage.press(GDK_KEY_q);
  ed.settle();
  stage.frame();
  EXPECT_EQ(r.get_action()->get_assigned(), (std::vector<std::string>{"q"}));
  EXPECT_FALSE(stage.ks->get_is_editor_active());
}

} // namespace
} // namespace velkaro::test
