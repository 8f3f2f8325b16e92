// CtrlContext: the dry run, the steps of the history, the delayed refresh of
// actionable names and the context's own action-handler operations.

#include <glibmm/main.h>

#include "common/c_resource.h"
#include "common/cell_range.h"
#include "ctrl/undo/action_processor.h"
#include "ctrl/context.h"
#include "ctrl/ports/icanvas.h"
#include "ctrl/ports/imain_view.h"
#include "ctrl/ports/imain_window.h"
#include "ctrl/modes/mode.h"
#include "model/element_cells.h"
#include "model/workspace.h"
#include "model/workspace_diff.h"

namespace velkaro {

namespace {

// What a dry run may change besides the document and the undo history.
struct DryRunState {
  explicit DryRunState(CtrlContext& ctx)
    : edit_elm(ctx.edit_elm),
      selected_range(ctx.selected_range),
      selected_corners(ctx.selected_range ? std::optional(*ctx.selected_range) : std::nullopt),
      in_cell_mode(ctx.in_cell_mode),
      now_dir(ctx.get_now_dir()),
      ws_cursor(ctx.get_ws()->cursor),
      ws_modified(ctx.get_ws()->modified),
      ws_is_tmp(ctx.get_ws()->is_tmp),
      ws_diff(ctx.get_ws()->get_diff())
  {
  }

  std::shared_ptr<ModelElement> edit_elm;
  std::shared_ptr<CellRange> selected_range;
  std::optional<CellRange> selected_corners;
  bool in_cell_mode;
  CellDir now_dir;
  CellPos ws_cursor;
  bool ws_modified;
  bool ws_is_tmp;
  std::shared_ptr<ModelWorkspaceDiff> ws_diff;
};

} // namespace

bool CtrlContext::do_test(const std::function<bool()>& fn)
{
  if (m_in_test)
    return fn();
  const DryRunState saved(*this);
  const auto yank_elms = m_yank_elms;
  const auto yank_pos = m_yank_pos;
  // The scratch cells start as a copy of the document's, made cell by cell
  // as the trial looks at them.
  m_ws->tmp_cells->mirror(m_ws->get_cells());
  m_in_test = true;
  m_ws->is_tmp = true;
  m_test_cell = m_now_cell;
  CtrlActionProcessor kept;
  m_action_proc->swap_history(kept);

  ScopeGuard restore([&] {
    m_in_test = false;
    m_ws->is_tmp = saved.ws_is_tmp;
    m_action_proc->swap_history(kept);
    m_ws->tmp_cells->clear();
    edit_elm = saved.edit_elm;
    selected_range = saved.selected_range;
    if (selected_range)
      *selected_range = *saved.selected_corners;
    in_cell_mode = saved.in_cell_mode;
    m_now_dir = saved.now_dir;
    m_ws->cursor = saved.ws_cursor;
    m_ws->modified = saved.ws_modified;
    if (m_ws->get_diff() != saved.ws_diff)
      m_ws->set_diff(saved.ws_diff);
    m_yank_elms = yank_elms;
    m_yank_pos = yank_pos;
  });
  return fn();
}

bool CtrlContext::with_diff(const std::function<void()>& fn)
{
  return with_diff_if([fn] {
    fn();
    return true;
  });
}

bool CtrlContext::with_diff_if(const std::function<bool()>& fn, CtrlRecord how)
{
  return m_action_proc->record(m_ws, how, fn);
}

bool CtrlContext::new_context(const std::optional<std::string>& path)
{
  // Read before anything changes: a refused file must leave everything as
  // it was, and the history still fits the document then.
  const auto doc = path ? m_ws->read_new(*path) : m_ws->create_empty();
  if (!doc)
    return false;
  // A mode may hold elements of the document it works on (a range preview,
  // a selection); it is left before they belong to no document any more.
  if (m_now_mode != m_default_mode)
    change_to_cell_mode();
  selected_range.reset();
  edit_elm.reset();
  m_ws->take_document(*doc);
  m_action_proc->reset();
  update_view();
  if (const auto window = get_main_window())
    window->document_replaced();
  return true;
}

void CtrlContext::update_view()
{
  if (m_in_test)
    return;
  if (const auto& canvas = m_ports.canvas)
    canvas->update();
  queue_state_changed();
}

void CtrlContext::update_layout(const CellPos& pos) { m_ws->update_layout(pos); }

// --- Delayed refresh of actionable names

void CtrlContext::queue_state_changed()
{
  if (m_in_test)
    return;
  ++m_state_changed_count;
  // Each request has its own timer; only the one that finds no other
  // pending emits. A timer that fires after the context is gone does nothing.
  Glib::signal_timeout().connect(
    [link = std::weak_ptr<const CtrlContextLink>(m_link)] {
      if (const auto alive = link.lock(); alive && alive->ctx)
        alive->ctx->delay_emit();
      return false;
    },
    STATE_CHANGED_DELAY_MS, Glib::PRIORITY_LOW);
}

void CtrlContext::delay_emit()
{
  if (m_state_changed_count == 1)
    signal_update_actionable_name_sig().emit(enum_actionable_name());
  --m_state_changed_count;
}

// --- The context as an action handler

CtrlContext::NameSet CtrlContext::enum_actionable_name()
{
  NameSet names = CtrlIActionHandler::enum_actionable_name();
  // Held: a test may switch modes (a dry run does not, but a kind's might).
  const auto& main_view = m_ports.main_view;
  if (const ModePtr mode = m_now_mode; mode && (!main_view || main_view->get_is_cv_active()))
    names.merge(mode->enum_actionable_name());
  return names;
}

bool CtrlContext::action(const std::optional<std::string>& name)
{
  if (!name)
    return false;
  // The action may close the window that owns this context.
  const auto self = weak_from_this().lock();
  const ModePtr mode = m_now_mode;
  if (mode && mode->get_is_registered())
    return mode->action(name);
  // A mode the context did not register asks only itself.
  return action_own(name) || (mode && mode->action(name));
}

} // namespace velkaro
