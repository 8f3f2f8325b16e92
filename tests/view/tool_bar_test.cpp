// The tool bar: buttons from tables, created insensitive and grey, enabled
// by the handler's actionable names (and "manual"), run their action by
// name, and show their icon painted in the tint of the theme colour or in
// grey, with the icon's own alpha.

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ctrl/context.h"
#include "ctrl/test_kind.h"
#include "support/log_capture.h"
#include "support/test_env.h"
#include "view/bars_for_test.h"
#include "view/icon_bundle.h"
#include "view/tool_bar.h"
#include "view/tool_button.h"

namespace velkaro::test {
namespace {

using Lines = std::vector<std::string>;

// As the button's own button does when the user clicks it.
void click(ViewToolButton& button) { g_signal_emit_by_name(button.gobj(), "clicked"); }

ViewToolButton* find_button(ViewToolBar& bar, const std::string& action)
{
  ViewToolButton* found = nullptr;
  bar.foreach_tool_btn([&](ViewToolButton& button) {
    if (button.action_name == action)
      found = &button;
  });
  return found;
}

// The icon as the bundle holds it, at the size a button shows it.
Glib::RefPtr<Gdk::Pixbuf> resource_icon(const std::string& action)
{
  return view_icon_load(action + ".png", ViewToolButton::ICON_SIZE, ViewToolButton::ICON_SIZE);
}

// Every pixel of the button's icon has rgb and the alpha of the resource.
void expect_icon_painted(ViewToolButton& button, const ViewToolButton::Rgb& rgb)
{
  const auto icon = button.get_icon();
  const auto resource = resource_icon(button.action_name);
  ASSERT_TRUE(icon && resource);
  ASSERT_EQ(icon->get_width(), 16);
  ASSERT_EQ(icon->get_height(), 16);
  ASSERT_EQ(icon->get_n_channels(), 4);
  const auto shown = pixels_of(icon);
  const auto loaded = pixels_of(resource);
  for (size_t i = 0; i < shown.size(); ++i) {
    ASSERT_EQ(shown[i], (Rgba{rgb[0], rgb[1], rgb[2], loaded[i].a})) << button.action_name << " pixel " << i;
  }
}

TEST(ToolBar, ADiagramKindSuppliesItsButtonsAsATable)
{
  VELKARO_REQUIRE_GTK();
  static constexpr ViewToolRow ROWS[] = {{"Copy", "copy", true}, {"Insert element", "insert-element"}};
  KindKit kit;
  ViewToolBar bar(kit.ctx, ROWS);
  EXPECT_EQ(lines_of(bar), (Lines{"Copy -> copy", "|", "Insert element -> insert-element"}));
  bar.add_separator();
  bar.add_btn("Help", "manual");
  EXPECT_EQ(lines_of(bar), (Lines{"Copy -> copy", "|", "Insert element -> insert-element", "|", "Help -> manual"}));
}

TEST(ToolBar, ButtonsFollowTheActionableNamesAfterTheRefreshDelay)
{
  VELKARO_REQUIRE_GTK();
  KindKit kit;
  auto& ctx = *kit.ctx;
  ViewToolBar bar(kit.ctx, KIND_TOOL_ROWS);
  const auto expect_follow = [&bar](const CtrlContext::NameSet& names) {
    bar.foreach_tool_btn([&names](ViewToolButton& button) {
      EXPECT_EQ(button.get_sensitive(), names.contains(button.action_name) || button.action_name == "manual")
        << button.action_name;
    });
  };
  expect_follow(ctx.enum_actionable_name());
  EXPECT_TRUE(find_button(bar, "copy")->get_sensitive());

  press_keys(ctx, "o");
  wait_for_actionable_refresh();
  expect_follow(ctx.enum_actionable_name());
  EXPECT_FALSE(find_button(bar, "copy")->get_sensitive());

  // "Help" stays enabled with nothing actionable.
  bar.on_update_actionable_name({});
  expect_follow({});
  EXPECT_TRUE(find_button(bar, "manual")->get_sensitive());
}

TEST(ToolBar, AButtonRunsItsActionThroughTheNamedAction)
{
  VELKARO_REQUIRE_GTK();
  KindKit kit;
  KindKit other;
  ViewToolBar bar(kit.ctx, KIND_TOOL_ROWS);
  EXPECT_EQ(bar.get_named_action(), kit.ctx);

  click(*find_button(bar, "copy"));
  EXPECT_TRUE(kit.ctx->get_yank_elms().has_value());

  // Another handler: its actions run and its updates reach the buttons; the
  // former one's no longer do.
  bar.set_named_action(other.ctx);
  click(*find_button(bar, "copy"));
  EXPECT_TRUE(other.ctx->get_yank_elms().has_value());
  other.ctx->signal_update_actionable_name_sig().emit({});
  kit.ctx->signal_update_actionable_name_sig().emit({"copy"});
  EXPECT_FALSE(find_button(bar, "copy")->get_sensitive());
  // A name no handler knows does nothing.
  bar.on_click_tool_btn("no-such-action");
}

TEST(ToolButton, TintsFollowTheHueAtFullSaturationAndValueOverOnePointOne)
{
  VELKARO_REQUIRE_GTK();
  struct Case {
    const char* color;
    ViewToolButton::Rgb rgb;
  };
  const Case cases[] = {
    {"#ffc022", {231, 165, 0}},
    {"#9ade00", {139, 201, 0}},
    // Grey has no hue: hue 0 at full saturation is red.
    {"#808080", {116, 0, 0}},
    {"#ffffff", {231, 0, 0}},
    {"#000000", {0, 0, 0}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ViewToolButton::tint_of(Gdk::RGBA(c.color)), c.rgb) << c.color;
}

TEST(ToolButton, AnEnabledIconTakesTheThemeTintAndADisabledOneGreyWithTheIconsAlpha)
{
  VELKARO_REQUIRE_GTK();
  for (const char* theme : {"#9ade00", "#ffc022"}) {
    SCOPED_TRACE(theme);
    KindKit kit;
    kit.ctx->theme_color = Gdk::RGBA(theme);
    ViewToolBar bar(kit.ctx, KIND_TOOL_ROWS);
    auto& copy = *find_button(bar, "copy");
    auto& redo = *find_button(bar, "redo");
    ASSERT_TRUE(copy.get_sensitive());
    ASSERT_FALSE(redo.get_sensitive());
    expect_icon_painted(copy, ViewToolButton::tint_of(Gdk::RGBA(theme)));
    expect_icon_painted(redo, ViewToolButton::DISABLED_RGB);

    // Off and on again: the same pixels, made from the resource each time.
    const auto before = pixels_of(copy.get_icon());
    copy.set_sensitive(false);
    expect_icon_painted(copy, ViewToolButton::DISABLED_RGB);
    copy.set_sensitive(true);
    EXPECT_EQ(pixels_of(copy.get_icon()), before);
  }
}

TEST(ToolButton, ANewButtonIsInsensitiveAndGrey)
{
  VELKARO_REQUIRE_GTK();
  Log clicks;
  ViewToolButton button("Paste", "paste", [&clicks](const std::string& name) { clicks.push_back(name); },
                        Gdk::RGBA("#ffc022"));
  EXPECT_FALSE(button.get_sensitive());
  expect_icon_painted(button, ViewToolButton::DISABLED_RGB);
  click(button);
  EXPECT_EQ(clicks, (Log{"paste"}));
}

TEST(ToolButton, AMissingIconLeavesABlankIconAndAWarning)
{
  VELKARO_REQUIRE_GTK();
  KindKit kit;
  ViewToolBar bar(kit.ctx, {});
  LogCapture log;
  auto& button = bar.add_btn("Nothing", "no-such-action");
  ASSERT_EQ(log.warnings.size(), 1u);
  EXPECT_NE(log.warnings[0].find("no-such-action"), std::string::npos) << log.warnings[0];
  const auto icon = button.get_icon();
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->get_width(), 16);
  EXPECT_EQ(icon->get_height(), 16);
  for (const Rgba& pixel : pixels_of(icon))
    EXPECT_EQ(pixel.a, 0);
  // Still a button: it changes state and can be clicked.
  button.set_sensitive(true);
  EXPECT_EQ(log.warnings.size(), 2u);
  click(button);
}

} // namespace
} // namespace velkaro::test
