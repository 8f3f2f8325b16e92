#include "seq/cell_vh_mode.h"

#include <cassert>

#include "common/any.h"
#include "common/cell_range.h"
#include "common/check.h"
#include "common/point.h"
#include "ctrl/undo/action_processor.h"
#include "ctrl/keys/action_row.h"
#include "ctrl/text/mode_text.h"
#include "ctrl/undo/undo_group.h"
#include "seq/context.h"
#include "seq/doc/frag_line.h"
#include "seq/doc/fragment.h"
#include "seq/doc/exec_spec.h"
#include "seq/doc/life_head.h"
#include "seq/doc/life_line.h"
#include "seq/doc/message.h"
#include "seq/doc/msg_line.h"
#include "seq/range_mode.h"
#include "seq/select_mode.h"
#include "seq/doc/sep_line.h"
#include "seq/doc/separator.h"
#include "seq/doc/text_element.h"
#include "seq/doc/workspace.h"

namespace velkaro {

namespace {

using Mode = SeqCellVHMode;
using Rows = CtrlActionRows<Mode>;

const Rows& key_rows()
{
  static const Rows rows = {
    {"insert-life-line", {}, N_("Insert new Life Line"), CtrlRecord::diff,
     [](Mode& m) { return m.insert_ll(1, false, true); },
     [](Mode& m) { return m.get_ctrl().do_test([&m] { return m.insert_ll(1, false, true); }); }},
    {"insert-message", {"tm", "M"}, N_("Insert new Message"), CtrlRecord::diff,
     [](Mode& m) { return m.insert_msg(1, false, true); },
     [](Mode& m) { return m.get_ctrl().do_test([&m] { return m.insert_msg(1, false, true); }); }},
  };
  return rows;
}

// What copy and cut take from a chain without a life line, in this order:
// the owner of whatever the cell holds.
ModelElement::ElementPtr copy_target(const ModelElement& head)
{
  if (auto e = head.seek<SeqLifeHead>(ANY_ROLE))
    return e;
  if (auto e = head.seek<SeqMessage>(ANY_ROLE))
    return e;
  if (auto e = head.seek<SeqFragment>(ANY_ROLE))
    return e;
  if (auto e = head.seek<SeqTextElement>(ANY_ROLE))
    return e;
  if (auto fl = head.seek<SeqFragLine>(ANY_ROLE); fl && fl->get_parent())
    return fl->get_parent();
  if (auto spl = head.seek<SeqSepLine>(ANY_ROLE); spl && spl->get_parent())
    return spl->get_parent();
  if (auto e = head.seek<SeqSeparator>(ANY_ROLE))
    return e;
  if (auto ml = head.seek<SeqMsgLine>(ANY_ROLE); ml && ml->get_parent())
    return ml->get_parent();
  return nullptr;
}

} // namespace

SeqCellVHMode::SeqCellVHMode(SeqContext& ctrl) : CtrlCellMode(ctrl), m_ws(ctrl.get_seq_ws())
{
  ctrl_register_rows(*this, *this, key_rows());
}

SeqRangeMode& SeqCellVHMode::range_mode() const
{
  auto* mode = dynamic_cast<SeqRangeMode*>(get_ctrl().get_mode(typeid(SeqRangeMode)).get());
  assert(mode && "the sequence context registers a SeqRangeMode");
  return *mode;
}

SeqSelectMode& SeqCellVHMode::select_mode() const
{
  auto* mode = dynamic_cast<SeqSelectMode*>(get_ctrl().get_mode(typeid(SeqSelectMode)).get());
  assert(mode && "the sequence context registers a SeqSelectMode");
  return *mode;
}

// --- Insert and append

bool SeqCellVHMode::insert_(bool shift)
{
  if (get_ctrl().get_is_virtical() && shift)
    return insert_msg(-1, shift, false);
  return insert_ll(-1, shift, false);
}

bool SeqCellVHMode::append_(bool shift)
{
  if (get_ctrl().get_is_virtical())
    return insert_msg(1, shift, false);
  if (insert_text())
    return true;
  // Typing into a text there records nothing by itself.
  if (mod_text(1, shift))
    return false;
  return insert_ll(1, shift, false);
}

bool SeqCellVHMode::add_text_and_type()
{
  auto& ctx = get_ctrl();
  if (!m_ws->add_text(ctx.get_now_cell()))
    return false;
  // The typing that follows merges into the step that added the text, so
  // one undo takes back both.
  ctx.get_action_proc()->set_last_mergeable(true);
  change_to<CtrlInsertModeDirect>();
  return true;
}

bool SeqCellVHMode::insert_ll(int32_t dir, bool shift, bool force)
{
  auto& ctx = get_ctrl();
  const CellPos cell = ctx.get_now_cell();
  if (m_ws->add_lifeline(cell)) {
    if (m_by_double_click)
      stretch_new_life_line(cell);
    return true;
  }
  if (force)
    return false;
  const auto head = ctx.get_now_elm();
  if (!head)
    return false;
  if (const auto ll = head->seek<SeqLifeLine>(ANY_ROLE))
    return insert_at_life_line(ll, dir, shift);
  if (head->has<SeqTextElement>(ANY_ROLE)) {
    // Typing into it records nothing by itself.
    mod_text(dir, shift);
    return false;
  }

  bool allowed = false;
  if (const auto ml = head->seek<SeqMsgLine>(ANY_ROLE)) {
    allowed = !ml->get_is_tip();
  } else if (head->has<SeqSeparator>(ANY_ROLE)) {
    allowed = true;
  } else if (const auto fl = head->seek<SeqFragLine>(ANY_ROLE)) {
    if (fl->get_dir() == 1)
      return m_ws->insert_separator(cell);
    allowed = fl->is_topleft;
  }
  return allowed && add_text_and_type();
}

void SeqCellVHMode::stretch_new_life_line(const CellPos& cell)
{
  // The new life line is stretched with the pointer from its last cell;
  // releasing the button puts the cursor back on the clicked cell.
  auto& ctx = get_ctrl();
  const auto below = m_ws->elm_at({cell.x, cell.y + 1});
  const auto first = below ? below->seek<SeqLifeLine>(ANY_ROLE) : nullptr;
  if (!first)
    return;
  ctx.edit_elm = first->get_bottom();
  change_to<SeqRangeMode>([&ctx, cell](SeqRangeMode& range) {
    range.return_pos = cell;
    ctx.now_cell_to(ctx.edit_elm);
    range.mode = CtrlRangeModeModes::mouse;
  });
}

bool SeqCellVHMode::insert_at_life_line(const std::shared_ptr<SeqLifeLine>& ll, int32_t dir, bool shift)
{
  auto& ctx = get_ctrl();
  if (ll->get_is_bottom()) {
    const bool done = m_ws->set_stop(ll, false);
    m_ws->clear_in_process();
    return done;
  }
  range_mode().range_dir = dir;
  const CellPos cell = ctx.get_now_cell();
  if (ctx.get_is_virtical()) {
    const auto reach = seek_next_to(dir, shift);
    int32_t right = dir;
    ctx.edit_elm = m_ws->insert_message(cell, right, reach.get(), ANY_ROLE);
  } else {
    ctx.edit_elm = m_ws->insert_execspec(cell, dir, nullptr, true);
  }
  if (!ctx.edit_elm)
    return false;
  change_to<SeqRangeMode>();
  return true;
}

bool SeqCellVHMode::insert_msg(int32_t dir, bool shift, bool force)
{
  auto& ctx = get_ctrl();
  if (ctx.get_now_elm())
    return !force && insert_ll(dir, shift, false);
  const auto reach = seek_next_to(dir, shift);
  int32_t right = dir;
  ctx.edit_elm = m_ws->insert_message(ctx.get_now_cell(), right, reach.get(), ANY_ROLE);
  if (!ctx.edit_elm)
    return false;
  // The direction towards the element found, when one was.
  range_mode().range_dir = right;
  change_to<SeqRangeMode>();
  return true;
}

int SeqCellVHMode::ll_contents_count(const SeqLifeLine& ll) const
{
  const bool right_nested = ll.has<SeqExecSpec>(1);
  const bool left_nested = ll.has<SeqExecSpec>(-1);
  int n = int(right_nested) + int(left_nested);
  if (!right_nested && !left_nested && ll.has<SeqExecSpec>(0))
    ++n;
  n += int(ll.has<SeqMessage>(-1)) + int(ll.has<SeqMessage>(1));
  return n;
}

// --- Copy and cut

bool SeqCellVHMode::copy_(bool remove)
{
  auto& ctx = get_ctrl();
  const auto head = ctx.get_now_elm();
  if (!head)
    return false;
  const auto ll = head->seek<SeqLifeLine>(ANY_ROLE);
  if (!ll) {
    const auto target = copy_target(*head);
    if (!target)
      return false;
    ctx.copy(target, remove);
    ctx.update_view();
    return true;
  }
  // Cut on a stopped last cell takes the stop only. A copy is never a
  // change of the document: on such a cell it copies like anywhere else.
  if (remove && ll->get_is_bottom() && ll->has_stop)
    return m_ws->set_stop(ll, true);

  const int n = ll_contents_count(*ll);
  ctx.edit_elm = ll;
  auto& select = select_mode();
  if (n == 0) {
    ctx.edit_elm = nullptr;
    const auto life_head = ll->get_head();
    if (!life_head)
      return false;
    ctx.copy(life_head, remove);
    ctx.update_view();
    return true;
  }
  const auto purpose = remove ? CtrlSelectModeModes::del : CtrlSelectModeModes::yank;
  if (n == 1) {
    // The only candidate is taken at once, without a visit to the mode.
    select.mode = purpose;
    select.on_enter();
    select.settle();
    m_ws->clear_in_process();
    ctx.update_view();
    return true;
  }
  change_to<SeqSelectMode>([purpose](SeqSelectMode& m) { m.mode = purpose; });
  return false;
}

// --- Change

bool SeqCellVHMode::change_()
{
  auto& ctx = get_ctrl();
  const auto head = ctx.get_now_elm();
  if (!head)
    return false;
  if (auto ll = head->seek<SeqLifeLine>(ANY_ROLE)) {
    if (!ll->get_is_bottom()) {
      const int n = ll_contents_count(*ll);
      if (n >= 2) {
        ctx.edit_elm = ll;
        const auto purpose = head->has<SeqMessage>(ANY_ROLE) ? CtrlSelectModeModes::chg_msg
                                                              : CtrlSelectModeModes::chg_es;
        change_to<SeqSelectMode>([purpose](SeqSelectMode& m) { m.mode = purpose; });
      } else if (n == 1) {
        ModelElement::ElementPtr elm = head->seek<SeqMessage>(ANY_ROLE);
        if (!elm)
          elm = head->seek<SeqExecSpec>(ANY_ROLE);
        ctx.edit_elm = elm;
        change_to<SeqRangeMode>([](SeqRangeMode& range) { range.mode = CtrlRangeModeModes::change; });
      } else if (const auto bottom = std::dynamic_pointer_cast<SeqLifeLine>(ll->get_bottom())) {
        // Nothing on the cell: the life line's end is changed.
        ll = bottom;
        ctx.now_cell_to(ll);
      }
      ctx.update_view();
    }
    if (ll->get_is_bottom()) {
      ctx.edit_elm = ll;
      // The range mode's first preview takes this step back instead of the
      // user's last one; entering it records nothing.
      const CtrlUndoGroup group(ctx);
      change_to<SeqRangeMode>();
    }
    return true;
  }
  if (head->has<SeqTextElement>(ANY_ROLE)) {
    change_to<CtrlNormalModeInCell>();
    return true;
  }
  ModelElement::ElementPtr elm = head->seek<SeqMessage>(ANY_ROLE);
  if (!elm)
    elm = head->seek<SeqMsgLine>(ANY_ROLE);
  if (!elm)
    elm = head->seek<SeqFragLine>(ANY_ROLE);
  if (!elm)
    return false;
  ctx.edit_elm = elm;
  change_to<SeqRangeMode>([](SeqRangeMode& range) { range.mode = CtrlRangeModeModes::change; });
  return true;
}

// --- Pointer

bool SeqCellVHMode::on_double_press_left_button(const Point&)
{
  m_by_double_click = true;
  if (!change_to<CtrlInsertModeDirect>())
    with_diff_if([this] { return insert() || append(); });
  m_by_double_click = false;
  return true;
}

} // namespace velkaro
