#include "seq/range_mode.h"

#include <string_view>
#include <utility>

#include <glib.h>

#include "common/cell_range.h"
#include "seq/context.h"
#include "seq/doc/exec_spec.h"
#include "seq/doc/frag_line.h"
#include "seq/doc/fragment.h"
#include "seq/doc/life_line.h"
#include "seq/doc/message.h"
#include "seq/doc/msg_line.h"
#include "seq/doc/workspace.h"

namespace velkaro {

namespace {

bool is_message_kind(std::string_view type) { return type == "SeqMsgLine" || type == "SeqMessage"; }

int32_t sign(int32_t v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

} // namespace

SeqRangeMode::SeqRangeMode(SeqContext& ctrl) : CtrlRangeMode(ctrl), m_ws(ctrl.get_seq_ws()) {}

// --- Entering

void SeqRangeMode::on_enter_for(const std::string& type_name)
{
  point = ANY_ROLE;
  entry_point = ANY_ROLE;
  if (!get_ctrl().edit_elm)
    return;
  if (mode == CtrlRangeModeModes::change)
    enter_change(type_name);
  const bool from_stored = mode == CtrlRangeModeModes::change || mode == CtrlRangeModeModes::change_selected ||
                           mode == CtrlRangeModeModes::resize;
  if (from_stored && type_name == "SeqExecSpec")
    edit_nearer_end();
  if (mode == CtrlRangeModeModes::insert && type_name == "SeqMessage")
    cover_new_message();
}

void SeqRangeMode::enter_change(std::string_view type_name)
{
  auto& ctx = get_ctrl();
  if (is_message_kind(type_name)) {
    // A message is changed at its tip, keeping the tip's point.
    if (const auto msg = edited_message()) {
      const auto tip = msg->get_tip();
      ctx.edit_elm = tip;
      if (const auto line = std::dynamic_pointer_cast<SeqMsgLine>(tip)) {
        point = line->point;
        entry_point = line->point;
      }
    }
  } else if (type_name == "SeqExecSpec") {
    // The outermost nesting of the cell: right, else left, else level 0.
    const auto& es = ctx.edit_elm;
    range_dir = 1;
    std::shared_ptr<SeqExecSpec> end = es->to_endrole<SeqExecSpec>(1);
    if (!end) {
      end = es->to_endrole<SeqExecSpec>(-1);
      range_dir = -1;
    }
    if (!end) {
      end = es->seek<SeqExecSpec>(0);
      range_dir = 0;
    }
    if (end)
      ctx.edit_elm = end;
  } else if (type_name == "SeqFragLine") {
    // A fragment is always resized from its bottom-right corner.
    if (const auto fm = std::static_pointer_cast<SeqFragLine>(ctx.edit_elm)->get_fm()) {
      fm->set_in_process(true);
      if (const auto corner = fm->get_bottom_right())
        ctx.edit_elm = corner;
    }
  }
}

void SeqRangeMode::edit_nearer_end()
{
  auto& ctx = get_ctrl();
  const auto es = std::dynamic_pointer_cast<SeqExecSpec>(ctx.edit_elm);
  if (!es)
    return;
  // The first cell on a tie.
  const auto top = es->get_top_es();
  const auto bottom = es->get_bottom_es();
  const int32_t t = m_ws->anchor_of(top).y;
  const int32_t b = m_ws->anchor_of(bottom).y;
  const int32_t y = ctx.get_now_cell().y;
  ctx.edit_elm = y - t > b - y ? bottom : top;
}

void SeqRangeMode::cover_new_message()
{
  auto& ctx = get_ctrl();
  const auto msg = std::static_pointer_cast<SeqMessage>(ctx.edit_elm);
  const CellPos from = m_ws->anchor_of(msg);
  const CellPos to = m_ws->anchor_of(msg->get_tip());
  const auto range = get_range();
  if (!range || !from.get_is_valid() || !to.get_is_valid())
    return;
  range->start = from;
  range->end = to;
  ctx.set_pos(to);
  range->ensure_consistency();
}

// --- Applying the range

void SeqRangeMode::update_element(CellPos epos)
{
  using Update = void (SeqRangeMode::*)(CellPos);
  static constexpr std::pair<std::string_view, Update> rows[] = {
    {"SeqMsgLine", &SeqRangeMode::update_message},    {"SeqMessage", &SeqRangeMode::update_message},
    {"SeqLifeLine", &SeqRangeMode::update_life_line}, {"SeqExecSpec", &SeqRangeMode::update_exec_spec},
    {"SeqFragLine", &SeqRangeMode::update_frag_line}, {"SeqTextElement", &SeqRangeMode::update_text},
  };
  const auto& elm = get_ctrl().edit_elm;
  if (!elm || !get_range())
    return;
  const std::string_view type = elm->get_type_name();
  for (const auto& [name, update] : rows) {
    if (name == type) {
      (this->*update)(epos);
      return;
    }
  }
  // No way into this mode sets such an element; should one arrive, the
  // preview stays empty and the user can settle or cancel as usual.
  g_warning("mode_range:113: unknown update type : %s", elm->get_type_name());
}

void SeqRangeMode::update_message(CellPos epos)
{
  auto& ctx = get_ctrl();
  const auto range = get_range();
  if (mode == CtrlRangeModeModes::change)
    m_ws->mod_msgline(ctx.edit_elm, *range, point);
  else
    ctx.edit_elm = m_ws->insert_message(epos, range_dir, range.get(), point);
}

void SeqRangeMode::update_life_line(CellPos)
{
  auto& ctx = get_ctrl();
  m_ws->mod_lifeline(ctx.get_epos(), *get_range());
}

void SeqRangeMode::update_exec_spec(CellPos epos)
{
  auto& ctx = get_ctrl();
  const auto range = get_range();
  if (ctx.get_epos().get_is_valid()) {
    g_debug("mode_range:91: valid");
    m_ws->mod_es(std::static_pointer_cast<SeqExecSpec>(ctx.edit_elm), *range);
    return;
  }
  // Being inserted: the previous preview took it away, so it is drawn
  // again, nesting on the side of the horizontal stretch when there is one.
  int32_t dir = range_dir;
  if (const int32_t dh = ModelWorkspace::deltah(epos, *range); dh != 0)
    dir = sign(dh);
  ctx.edit_elm = m_ws->insert_execspec(epos, dir, range.get(), true);
}

void SeqRangeMode::update_frag_line(CellPos)
{
  auto& ctx = get_ctrl();
  // Its own cells must not block the fragment's new frame.
  if (const auto fm = std::static_pointer_cast<SeqFragLine>(ctx.edit_elm)->get_fm())
    fm->set_in_process(true);
  m_ws->mod_frag(ctx.edit_elm, *get_range());
}

void SeqRangeMode::update_text(CellPos)
{
  auto& ctx = get_ctrl();
  (void)m_ws->resize(ctx.edit_elm, *get_range(), {-1, -1});
}

void SeqRangeMode::on_update_range()
{
  if (get_ctrl().get_now_cell().x != point_column)
    point = ANY_ROLE;
}

// --- The point of a message end

std::shared_ptr<SeqMessage> SeqRangeMode::edited_message() const
{
  const auto& elm = get_ctrl().edit_elm;
  if (!elm)
    return nullptr;
  const std::string_view type = elm->get_type_name();
  if (type == "SeqMessage")
    return std::static_pointer_cast<SeqMessage>(elm);
  if (type == "SeqMsgLine")
    return std::static_pointer_cast<SeqMsgLine>(elm)->get_msg();
  return nullptr;
}

namespace {

std::shared_ptr<SeqLifeLine> life_line_at(const SeqWorkspace& ws, int32_t x, int32_t y)
{
  const auto head = ws.elm_at({x, y});
  return head ? head->seek<SeqLifeLine>(ANY_ROLE) : nullptr;
}

// The life line has execution specifications nested on some side.
bool has_nesting(const SeqLifeLine& ll) { return ll.es_end(1) != ll.es_end(-1); }

} // namespace

bool SeqRangeMode::step_point(int32_t x, int32_t y, int32_t step, int32_t right)
{
  const auto ll = life_line_at(*m_ws, x, y);
  if (!ll || !has_nesting(*ll))
    return false;
  // The arrow first ends at the outermost execution specification on the side it
  // comes from.
  if (point == ANY_ROLE)
    point = ll->es_end(-right);
  if ((step == 1 && point < ll->es_end(1)) || (step == -1 && point > ll->es_end(-1))) {
    point += step;
    preview();
    get_ctrl().update_view();
    return true;
  }
  point = ANY_ROLE;
  return false;
}

bool SeqRangeMode::move_active_cell(MovingDir dir)
{
  const auto msg = edited_message();
  if (!msg || dir == MovingDir::up || dir == MovingDir::down)
    return CtrlRangeMode::move_active_cell(dir);
  const CellPos at = m_ws->anchor_of(msg);
  const int32_t x = get_ctrl().get_now_cell().x;
  if (x == at.x)
    return CtrlRangeMode::move_active_cell(dir);
  const int32_t step = dir == MovingDir::right ? 1 : -1;
  if (step_point(x, at.y, step, msg->get_right()))
    return true;
  // An arrow arriving at the next life line ends at the outermost
  // execution specification on its near side.
  const int32_t next = x + step;
  const auto ll = next != at.x ? life_line_at(*m_ws, next, at.y) : nullptr;
  point = ll && has_nesting(*ll) ? ll->es_end(-step) : ANY_ROLE;
  point_column = next;
  return CtrlRangeMode::move_active_cell(dir);
}

} // namespace velkaro
