#include "cls/edit_connector_mode.h"

#include <glib.h>

#include "cls/cell_mode.h"
#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/connectors.h"
#include "cls/doc/workspace.h"
#include "cls/route/segment.h"
#include "cls/select_connector_mode.h"
#include "common/point.h"
#include "common/rectangle.h"
#include "ctrl/keys/action_row.h"
#include "ctrl/modes/base_mode.h"
#include "ctrl/text/mode_text.h"
#include "ctrl/text/text_editor_insert.h"
#include "ctrl/undo/action_processor.h"
#include "model/grid.h"
#include "model/text_element.h"

namespace velkaro {

namespace {

using Mode = ClsEditConnectorMode;
using Rows = CtrlActionRows<Mode>;

const Rows& key_rows()
{
  static const Rows rows = {
    {"change-text-editor", {"<Tab>"}, nullptr, CtrlRecord::none,
     [](Mode& m) {
       m.change_text_editor();
       return true;
     }},
  };
  return rows;
}

} // namespace

ClsEditConnectorMode::ClsEditConnectorMode(ClsContext& ctrl) : ClsMode(ctrl)
{
  include(CtrlBaseMode::create(ctrl));
  for (const char* name : {"undo", "redo", "up", "down", "left", "right"})
    replace_void(name, do_nothing);
  replace_void("cancel", [this] { back_to_the_mode(); });
  ctrl_register_rows(*this, *this, key_rows());
  // One editor for the mode's life: it reaches the context's canvas when it
  // is activated, whenever the canvas was set.
  m_editor = CtrlTextEditorInsert::create_with_ctrl(CtrlATextModeRoot::editor_parts_for(ctrl));
  include(m_editor);
  m_editor_update = m_editor->signal_update().connect(sigc::mem_fun(*this, &ClsEditConnectorMode::on_update_cb));
}

bool ClsEditConnectorMode::can_edit(const ConnectorPtr& con) const
{
  return con && get_cls_ws()->get_connectors()->contains(*con) && !con->get_segments().empty();
}

bool ClsEditConnectorMode::get_is_enterable() const { return can_edit(get_cls_ctrl().get_focused_connector()); }

void ClsEditConnectorMode::on_enter()
{
  ClsMode::on_enter();
  if (set_focus_ite(true))
    m_editor->activate();
  m_ws_updated = get_ws()->signal_updated().connect([this] { stop_if_gone(); });
  get_ctrl().update_view();
}

void ClsEditConnectorMode::on_exit()
{
  ClsMode::on_exit();
  m_ws_updated.disconnect();
  m_editor->deactivate();
  const auto con = get_cls_ctrl().get_focused_connector();
  g_debug("mode_text:549: active_con=%p", static_cast<void*>(con.get()));
  m_connector.reset();
  if (con) {
    get_ctrl().get_action_proc()->set_head_mergeable(false);
    get_ctrl().update_view();
  }
}

bool ClsEditConnectorMode::key_press(GdkEventKey& event)
{
  // Held: the key may leave the mode and the context may let it go.
  const auto self = shared_from_this();
  stop_if_gone();
  if (!get_is_editing()) {
    back_to_the_mode();
    return true;
  }
  return ClsMode::key_press(event);
}

bool ClsEditConnectorMode::set_focus_ite(bool start)
{
  const auto con = get_cls_ctrl().get_focused_connector();
  if (!can_edit(con)) {
    stop_editing();
    return false;
  }
  const auto& segs = con->get_segments();
  const CellPos cell = start ? segs.front()->start : segs.back()->end;
  m_editor->set_ite(start ? con->start_multiplicity : con->end_multiplicity);
  Point offset;
  offset.sub(get_ws()->grid->get_top_left_point(cell));
  m_editor->set_mouse_offset_pt(offset);
  m_connector = con;
  m_start_edited = start;
  return true;
}

void ClsEditConnectorMode::change_text_editor()
{
  set_focus_ite(!m_start_edited);
  auto& ctx = get_ctrl();
  ctx.get_action_proc()->set_head_mergeable(false);
  ctx.update_view();
}

void ClsEditConnectorMode::back_to_the_mode()
{
  if (!change_to<ClsSelectConnectorMode>())
    change_to<ClsCellMode>();
}

void ClsEditConnectorMode::on_update_cb(const std::shared_ptr<CtrlITextEditable>& ite, bool changed)
{
  if (changed)
    if (const auto text = std::dynamic_pointer_cast<ModelTextElement>(ite))
      for (const auto& con : *get_cls_ws()->get_connectors())
        if (con->start_multiplicity == text || con->end_multiplicity == text) {
          con->layout(Rectangle{0, 0, 0, 0});
          break;
        }
  get_ctrl().update_view();
}

void ClsEditConnectorMode::stop_if_gone()
{
  if (m_connector && !can_edit(m_connector))
    stop_editing();
}

void ClsEditConnectorMode::stop_editing()
{
  // Without a label of its own the editor would turn to the text at the
  // cursor; deactivated, it takes no typing, and the mode's key_press
  // leaves on the next key.
  m_editor->deactivate();
  m_connector.reset();
}

} // namespace velkaro
