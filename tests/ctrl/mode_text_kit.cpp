#include "ctrl/mode_text_kit.h"

#include <cassert>

#include <glibmm/main.h>

#include "ctrl/undo/action.h"
#include "ctrl/undo/action_processor.h"
#include "ctrl/text/text_editor_with_action.h"

namespace velkaro::test {

namespace {

struct DirectEntry {
  const char* name;
  const char* key;
  int32_t dir;
  bool to_end;
};

const DirectEntry DIRECT_ENTRIES[] = {
  {"edit-text", "i", 0, false},
  {"append-text", "a", 1, false},
  {"edit-text-at-start", "I", -1, true},
  {"edit-text-at-end", "A", 1, true},
};

std::vector<CtrlContext::ModePtr> make_text_modes(KindContext& ctx)
{
  return {std::make_shared<TextCellMode>(ctx), CtrlNormalModeInCell::create(ctx), CtrlInsertModeNormal::create(ctx),
          CtrlInsertModeDirect::create(ctx), CtrlVisualModeInCell::create(ctx)};
}

} // namespace

TextCellMode::TextCellMode(CtrlContext& ctrl) : KindMode(ctrl, "KIND CELL MODE")
{
  include(std::make_shared<KindBaseMode>(ctrl));
  add_action(
    "insert-text", {"tt"},
    [this] {
      auto& ctx = get_ctrl();
      if (ctx.get_now_elm() || !get_ws()->add_text(ctx.get_now_cell()))
        return false;
      ctx.get_action_proc()->set_last_mergeable(true);
      change_to<CtrlInsertModeDirect>();
      return true;
    },
    "Insert text", CtrlRecord::diff);
  for (const DirectEntry& entry : DIRECT_ENTRIES) {
    void_action(
      entry.name, {entry.key},
      [this, entry] {
        if (get_ctrl().get_now_text_elm())
          change_to<CtrlInsertModeDirect>(
            [entry](CtrlInsertModeDirect& mode) { mode.req_cursor(entry.dir, entry.to_end); });
      },
      std::nullopt);
  }
  void_action(
    "change", {"c"},
    [this] {
      if (get_ctrl().get_now_text_elm())
        change_to<CtrlNormalModeInCell>();
    },
    std::nullopt);
  add_action(
    "mark", {"m"},
    [this] {
      auto& ctx = get_ctrl();
      return !ctx.get_now_elm() && place(*get_ws(), KindMark::create("m"), ctx.get_now_cell().x, ctx.get_now_cell().y);
    },
    "Mark", CtrlRecord::diff);
}

void TextCellMode::on_enter()
{
  KindMode::on_enter();
  get_ctrl().in_cell_mode = true;
}

void TextCellMode::on_exit()
{
  KindMode::on_exit();
  get_ctrl().in_cell_mode = false;
}

TextKit::TextKit() : KindKit(make_text_modes)
{
  for (const auto& mode : text_modes())
    mode->get_text_editor()->set_clipboard(clipboard);
}

std::vector<std::shared_ptr<CtrlATextModeRoot>> TextKit::text_modes() const
{
  std::vector<std::shared_ptr<CtrlATextModeRoot>> modes;
  for (const auto& mode : ctx->get_mode_list())
    if (auto text_mode = std::dynamic_pointer_cast<CtrlATextModeRoot>(mode))
      modes.push_back(text_mode);
  return modes;
}

std::string TextKit::mode_name() const { return ctx->get_now_mode()->get_name(); }

CtrlATextModeRoot& TextKit::text_mode() const
{
  auto* mode = dynamic_cast<CtrlATextModeRoot*>(ctx->get_now_mode().get());
  assert(mode && "the current mode is a text mode");
  return *mode;
}

std::shared_ptr<ModelTextElement> TextKit::put_text(int32_t x, int32_t y, const std::string& text)
{
  auto elm = std::static_pointer_cast<ModelTextElement>(make_text(text));
  place(*ws, elm, x, y);
  ws->update_layout_all();
  return elm;
}

void TextKit::type(const std::string& str) const { text_mode().get_text_editor()->commit_cb(str); }

size_t TextKit::undo_depth() const { return ctx->get_action_proc()->get_undo_stack().size(); }

void run_main_loop()
{
  const auto loop = Glib::MainLoop::create();
  // Runs after everything at a higher priority that is ready.
  Glib::signal_idle().connect_once([loop] { loop->quit(); }, Glib::PRIORITY_LOW);
  loop->run();
}

} // namespace velkaro::test
