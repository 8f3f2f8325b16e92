// The controller context: registering and switching modes, the hand-over of
// the keyboard, the settings of the group "general", routing of action
// names, and what a destroyed context leaves behind.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/app_id.h"
#include "ctrl/undo/action_processor.h"
#include "ctrl/context.h"
#include "ctrl/test_kind.h"
#include "model/store.h"
#include "model/workspace.h"

namespace velkaro::test {
namespace {

using ModePtr = CtrlContext::ModePtr;

// A kit whose context has no modes yet, so a test sees the registration.
KindKit kit_without_modes()
{
  return KindKit([](KindContext&) { return std::vector<ModePtr>{}; });
}

TEST(ContextModes, FirstModeBecomesCurrentWithoutEnteringThenSwitchesRunInOrder)
{
  KindKit kit = kit_without_modes();
  auto& ctx = *kit.ctx;
  kit.watch();
  const auto cell = std::make_shared<KindCellMode>(ctx);
  const auto other = std::make_shared<KindOtherMode>(ctx);
  ctx.set_modes({cell, other});

  // Only stored: no on_enter, no "update-mode"; the cell mode has not
  // marked the context as being in a cell mode.
  EXPECT_EQ(kit.take_log(), (Log{"notify:now-mode"}));
  EXPECT_EQ(ctx.get_now_mode(), cell);
  EXPECT_EQ(ctx.get_default_mode(), cell);
  EXPECT_EQ(ctx.get_next_mode(), nullptr);
  EXPECT_FALSE(ctx.in_cell_mode);
  EXPECT_EQ(ctx.get_mode_list(), (std::vector<ModePtr>{cell, other}));

  EXPECT_TRUE(ctx.change_to<KindOtherMode>());
  EXPECT_EQ(kit.take_log(), (Log{
                              "KIND CELL MODE:on_exit next=KIND OTHER MODE",
                              "KIND OTHER MODE:on_enter",
                              "update-mode:KIND OTHER MODE",
                              "notify:now-mode",
                            }));
  EXPECT_EQ(ctx.get_now_mode(), other);
  EXPECT_EQ(ctx.get_next_mode(), other) << "stays the current mode afterwards";

  ctx.change_to_cell_mode();
  EXPECT_EQ(kit.take_log(), (Log{
                              "KIND OTHER MODE:on_exit next=KIND CELL MODE",
                              "KIND CELL MODE:on_enter",
                              "update-mode:KIND CELL MODE",
                              "notify:now-mode",
                            }));
  EXPECT_TRUE(ctx.in_cell_mode);

  // The current mode again: a full switch.
  ctx.set_now_mode(cell);
  EXPECT_EQ(kit.take_log(), (Log{
                              "KIND CELL MODE:on_exit next=KIND CELL MODE",
                              "KIND CELL MODE:on_enter",
                              "update-mode:KIND CELL MODE",
                              "notify:now-mode",
                            }));
}

TEST(ContextModes, PendingKeysOfTheModeLeftAreDroppedAndTheRelayFollowsTheCurrentMode)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  kit.watch();
  press_keys(ctx, "o");
  kit.take_log();

  press_keys(ctx, "d");
  EXPECT_EQ(kit.take_log(), (Log{"leading-keys:d"})) << "the mode's own map and its shared set hold it: told once";

  ctx.change_to_cell_mode();
  EXPECT_EQ(kit.take_log(), (Log{
                              "KIND OTHER MODE:on_exit next=KIND CELL MODE",
                              "leading-keys:",
                              "KIND CELL MODE:on_enter",
                              "update-mode:KIND CELL MODE",
                              "notify:now-mode",
                            }));
  // The other mode's map is no longer relayed.
  ctx.get_mode(typeid(KindOtherMode))->get_key_action_map().signal_update_leading_keys().emit("z");
  EXPECT_TRUE(kit.take_log().empty());
}

// The keys typed so far towards a binding reach the bar whichever map of
// the current mode holds them: its own, an included set's or one that set
// includes, the longest run pending in any of them.
TEST(ContextModes, PendingKeysOfIncludedSetsAreRelayedAsTyped)
{
  {
    SCOPED_TRACE("the cell mode's shared set");
    KindKit kit;
    auto& ctx = *kit.ctx;
    kit.watch();
    press_keys(ctx, "d");
    EXPECT_EQ(kit.take_log(), (Log{"leading-keys:d"}));
    press_keys(ctx, "d");
    EXPECT_EQ(kit.take_log(), (Log{"leading-keys:", "KIND BASE MODE:delete-line"}));
    // A key that continues nothing drops what was pending.
    press_keys(ctx, "dz");
    EXPECT_EQ(kit.take_log(), (Log{"leading-keys:d", "leading-keys:"}));
  }
  {
    SCOPED_TRACE("sets within sets");
    KindKit kit([](KindContext& ctx) {
      const auto mode = std::make_shared<KindMode>(ctx, "NEST MODE");
      const auto shared = std::make_shared<KindMode>(ctx, "SHARED SET");
      const auto inner = std::make_shared<KindMode>(ctx, "INNER SET");
      inner->void_action("inner-ccc", {"ccc"}, [] {}, std::nullopt);
      shared->void_action("shared-gg", {"gg"}, [] {}, std::nullopt);
      shared->include(inner);
      mode->void_action("own-zq", {"zq"}, [m = mode.get()] { m->note("own-zq"); }, std::nullopt);
      mode->include(shared);
      return std::vector<ModePtr>{mode};
    });
    auto& ctx = *kit.ctx;
    kit.watch();
    // "g" begins the shared set's "gg" and ends the inner set's "cc";
    // "z" begins the mode's own "zq" and ends the shared set's "g".
    press_keys(ctx, "ccgzq");
    EXPECT_EQ(kit.take_log(), (Log{"leading-keys:c", "leading-keys:cc", "leading-keys:g", "leading-keys:z",
                                   "leading-keys:", "NEST MODE:own-zq"}));
  }
}

TEST(ContextModes, ModeThatIsNotEnterableIsRefusedSilently)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  kit.watch();
  auto other = std::dynamic_pointer_cast<KindOtherMode>(ctx.get_mode(typeid(KindOtherMode)));
  other->enterable = false;

  EXPECT_FALSE(ctx.change_to<KindOtherMode>());
  ctx.set_now_mode(other);
  EXPECT_EQ(ctx.get_now_mode(), ctx.get_default_mode());
  EXPECT_EQ(ctx.get_next_mode(), nullptr);
  EXPECT_TRUE(kit.take_log().empty());
}

TEST(ContextModes, ChangeToTakesTheExactClassFirstThenADerivedOneAndPreparesBeforeTheSwitch)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  kit.watch();

  // Only a derived mode is registered for the abstract class.
  EXPECT_TRUE(ctx.change_to<KindAOtherMode>(
    [&](KindAOtherMode& m) { kit.log->push_back("prepare " + m.get_name() + " in " + ctx.get_now_mode()->get_name()); }));
  EXPECT_EQ(kit.take_log(), (Log{
                              "prepare KIND OTHER MODE in KIND CELL MODE",
                              "KIND CELL MODE:on_exit next=KIND OTHER MODE",
                              "KIND OTHER MODE:on_enter",
                              "update-mode:KIND OTHER MODE",
                              "notify:now-mode",
                            }));

  // A class with no registered mode, itself or derived, switches nothing.
  EXPECT_TRUE(ctx.change_to<KindCellMode>());
  kit.take_log();
  EXPECT_FALSE(ctx.change_to<KindBaseMode>([&](KindBaseMode&) { kit.log->push_back("prepared"); }));
  EXPECT_TRUE(kit.take_log().empty());
  EXPECT_EQ(ctx.get_now_mode()->get_name(), "KIND CELL MODE");
}

TEST(ContextModes, ALaterModeOfAClassReplacesTheEarlierOne)
{
  std::shared_ptr<KindOtherMode> first, second;
  KindKit kit([&](KindContext& ctx) {
    first = std::make_shared<KindOtherMode>(ctx);
    second = std::make_shared<KindOtherMode>(ctx);
    return std::vector<ModePtr>{std::make_shared<KindCellMode>(ctx), first, second};
  });
  EXPECT_EQ(kit.ctx->get_mode(typeid(KindOtherMode)), second);
  EXPECT_TRUE(kit.ctx->change_to<KindAOtherMode>());
  EXPECT_EQ(kit.ctx->get_now_mode(), second);
}

TEST(ContextLifetime, DestroyingTheContextFreesItsModesProcessorAndStore)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  // Some use first: a switch, a queued refresh, an action on the stack.
  press_keys(ctx, "i");
  press_keys(ctx, "o");
  ctx.queue_state_changed();
  std::vector<std::weak_ptr<void>> parts;
  for (const auto& mode : ctx.get_mode_list()) {
    parts.push_back(mode);
    for (const auto& included : mode->get_included_modes())
      parts.push_back(included);
  }
  parts.push_back(ctx.get_action_proc());
  parts.push_back(ctx.get_store());
  const std::weak_ptr<KindContext> weak_ctx = kit.ctx;
  ASSERT_EQ(parts.size(), 6u);

  kit.ctx.reset();
  EXPECT_TRUE(weak_ctx.expired());
  for (const auto& part : parts)
    EXPECT_TRUE(part.expired());
}

TEST(ContextLifetime, ModeKeptAliveLongerSeesThatItsContextIsGone)
{
  KindKit kit;
  const ModePtr mode = kit.ctx->get_now_mode();
  EXPECT_TRUE(mode->has_ctrl());
  kit.ctx.reset();
  EXPECT_FALSE(mode->has_ctrl());
}

TEST(ContextKeyboard, CommandLineAndDiagramHandTheKeyboardOver)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  ctx.activate_cmd_ctrl();
  EXPECT_EQ(kit.take_log(), (Log{"cmd:active true"})) << "the context takes no focus away";
  EXPECT_FALSE(ctx.get_is_active());
  EXPECT_TRUE(kit.command_bar->cmd->get_is_active());

  ctx.activate_edit_ctrl();
  EXPECT_EQ(kit.take_log(), (Log{"main_view:grab_focus", "cmd:active false"}));
  EXPECT_TRUE(ctx.get_is_active());
  EXPECT_FALSE(kit.command_bar->cmd->get_is_active());

  ctx.active(true);
  EXPECT_EQ(kit.take_log(), (Log{"canvas:grab_focus"}));
  ctx.active(false);
  EXPECT_TRUE(kit.take_log().empty());
}

TEST(ContextPorts, EachPortIsSetOnceAndTheViewsAreLetGoAtOnce)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  const CtrlContextPorts& ports = ctx.get_ports();
  EXPECT_EQ(ports.canvas, kit.canvas);
  EXPECT_EQ(ports.main_view, kit.main_view);
  EXPECT_EQ(ports.command_bar, kit.command_bar);
  EXPECT_EQ(ports.context_menu, kit.context_menu);
  EXPECT_EQ(ports.main_window.lock(), kit.main_window);
  EXPECT_EQ(ctx.get_main_view(), kit.main_view);
  EXPECT_EQ(ctx.get_command_bar(), kit.command_bar);
  EXPECT_EQ(ctx.get_context_menu(), kit.context_menu);

  const std::weak_ptr<TestMainView> view = kit.main_view;
  kit.main_view.reset();
  ctx.clear_ports();
  EXPECT_TRUE(view.expired()) << "the context held the main view only as a port";
  EXPECT_EQ(ports.main_view, nullptr);
  EXPECT_EQ(ports.command_bar, nullptr);
  EXPECT_EQ(ports.context_menu, nullptr);
  EXPECT_EQ(ports.canvas, kit.canvas) << "the canvas and its binders stay";
  EXPECT_EQ(ctx.get_main_window(), kit.main_window);
  // Without them the context does without: the keyboard still changes hands.
  ctx.activate_cmd_ctrl();
  ctx.activate_edit_ctrl();
  EXPECT_TRUE(ctx.get_is_active());
  EXPECT_TRUE(ctx.enum_actionable_name().count("own-x")) << "no main view: the mode's actions count";
}

TEST(ContextConfig, GeneralSettingsHaveDefaultsAndTheirChangesAreRelayed)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  kit.watch();
  for (const char* key : {"use-overlay-scrolling", "show-menubar", "show-toolbar"}) {
    EXPECT_EQ(ctx.config(key), "true") << key;
    EXPECT_TRUE(ctx.config_b(key)) << key;
  }
  EXPECT_EQ(ctx.config("anything-else"), "false");
  EXPECT_FALSE(ctx.config_b("anything-else"));

  ctx.save_config("show-toolbar", "false");
  EXPECT_EQ(ctx.config("show-toolbar"), "false");
  EXPECT_FALSE(ctx.config_b("show-toolbar"));
  EXPECT_EQ(kit.take_log(), (Log{"config-changed:show-toolbar=false"}));

  // Key bindings are stored in the handlers' own groups and not relayed.
  const auto& own_x = ctx.get_now_mode()->get_ah_map().at("own-x");
  EXPECT_TRUE(own_x->add_key("X"));
  EXPECT_EQ(ctx.get_store()->get_value("own-x", "KIND CELL MODE"), "x,X,");
  EXPECT_TRUE(kit.take_log().empty());
}

TEST(ContextConfig, StoreProblemsReachTheMainWindow)
{
  namespace fs = std::filesystem;
  KindKit kit;
  const fs::path conf = kit.ctx->get_store()->get_config_path();
  EXPECT_EQ(conf.filename(), "velkaro_seq.conf");
  // A folder where the file should be makes the next save fail.
  fs::remove(conf);
  fs::create_directories(conf);

  kit.ctx->save_config("show-toolbar", "false");
  ASSERT_EQ(kit.main_window->alerts.size(), 1u);
  EXPECT_EQ(kit.main_window->alerts[0].rfind("Can't save the config file", 0), 0u) << kit.main_window->alerts[0];
  EXPECT_EQ(kit.ctx->config("show-toolbar"), "false") << "the change stays in memory";

  // Without a window the problem waits for the next window set, once.
  KindKit alone({}, "alone");
  const fs::path alone_conf = alone.ctx->get_store()->get_config_path();
  fs::remove(alone_conf);
  fs::create_directories(alone_conf);
  alone.ctx->set_main_window(nullptr);
  alone.ctx->save_config("show-menubar", "false");
  EXPECT_TRUE(alone.main_window->alerts.empty());
  EXPECT_EQ(kit.main_window->alerts.size(), 1u);
  alone.ctx->set_main_window(alone.main_window);
  ASSERT_EQ(alone.main_window->alerts.size(), 1u);
  EXPECT_EQ(alone.main_window->alerts[0].rfind("Can't save the config file", 0), 0u) << alone.main_window->alerts[0];
  alone.ctx->set_main_window(alone.main_window);
  EXPECT_EQ(alone.main_window->alerts.size(), 1u) << "each alert is shown once";
}

TEST(ContextConfig, ABrokenConfigurationFoundAtStartUpIsShownOnceTheWindowIsThere)
{
  namespace fs = std::filesystem;
  // The store reads its file while the modes register their keys, before
  // the window exists.
  const fs::path dir = fs::path(std::getenv("XDG_CONFIG_HOME")) / "velkaro";
  fs::create_directories(dir);
  std::ofstream(dir / "velkaro_broken.conf") << "[group\nthis is no key file\n";
  KindKit kit({}, "broken");
  ASSERT_EQ(kit.main_window->alerts.size(), 1u);
  EXPECT_NE(kit.main_window->alerts[0].find(".bak"), std::string::npos) << kit.main_window->alerts[0];
  EXPECT_TRUE(fs::exists(dir / "velkaro_broken.conf.bak"));
}

TEST(ContextConfig, ExecutableNameIsTheThirdFieldOfTheApplicationId)
{
  EXPECT_EQ(app_id_exename(), "seq");
  EXPECT_EQ(app_id_exename(APP_ID), "seq");
  EXPECT_EQ(app_id_exename("org.example.cls.extra"), "cls");
  EXPECT_EQ(app_id_exename("org.example"), "");
  EXPECT_EQ(KindKit().ctx->get_exename(), "seq");
  const KindKit stm({}, "stm");
  EXPECT_EQ(stm.ctx->get_exename(), "stm");
  EXPECT_EQ(std::filesystem::path(stm.ctx->get_store()->get_config_path()).filename(), "velkaro_stm.conf");
}

TEST(ContextActions, NamesRunTheContextsOwnActionFirstThenTheCurrentModes)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  ctx.void_action("own-x", {}, [&] { kit.log->push_back("context:own-x"); }, std::nullopt);
  // Made in place: GCC 12 warns (-Warray-bounds) about moving in a string
  // made of this literal, one character longer than fits inline.
  ctx.void_action("ctx-only", {}, [&] { kit.log->emplace_back("context:ctx-only"); }, std::nullopt);

  EXPECT_TRUE(ctx.action("own-x"));
  EXPECT_TRUE(ctx.action("ctx-only"));
  EXPECT_TRUE(ctx.action("base-b")) << "reaches the mode's included handler";
  EXPECT_FALSE(ctx.action("no-such-action"));
  EXPECT_FALSE(ctx.action(std::nullopt));
  EXPECT_EQ(kit.take_log(), (Log{"context:own-x", "context:ctx-only", "KIND BASE MODE:base-b"}));

  // Switched off, the context's own actions give way to the mode's.
  ctx.set_is_actionable(false);
  EXPECT_TRUE(ctx.action("own-x"));
  EXPECT_EQ(kit.take_log(), (Log{"KIND CELL MODE:own-x"}));
}

TEST(ContextActions, ModeActionRunningTheContextsActionOfItsOwnNameEnds)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  // The mode's "manual" runs the context's "manual", which the context does
  // not hold: the name comes back to the mode and must stop there.
  EXPECT_TRUE(press_keys(ctx, "<F1>"));
  EXPECT_TRUE(ctx.action("manual"));

  ctx.void_action("manual", {}, [&] { kit.log->push_back("context:manual"); }, std::nullopt);
  EXPECT_TRUE(press_keys(ctx, "<F1>"));
  EXPECT_EQ(kit.take_log(), (Log{"context:manual"}));
}

TEST(ContextActions, ActionableNamesCountTheModesOnlyWhileTheCanvasPageIsShown)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  ctx.void_action("ctx-only", {}, [] {}, std::nullopt);
  ctx.void_action("ctx-never", {}, [] {}, std::nullopt, [] { return false; });

  const auto names = ctx.enum_actionable_name();
  for (const char* name : {"ctx-only", "own-x", "insert-text", "base-b", "manual"})
    EXPECT_TRUE(names.count(name)) << name;
  EXPECT_FALSE(names.count("ctx-never"));
  EXPECT_FALSE(names.count("paste")) << "nothing copied yet";
  EXPECT_FALSE(names.count("cut-range")) << "the other mode is not current";

  kit.main_view->cv_active = false;
  EXPECT_EQ(ctx.enum_actionable_name(), (CtrlContext::NameSet{"ctx-only"}));

  ctx.set_main_view(nullptr);
  EXPECT_TRUE(ctx.enum_actionable_name().count("own-x"));
}

} // namespace
} // namespace velkaro::test
