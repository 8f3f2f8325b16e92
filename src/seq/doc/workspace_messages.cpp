// Messages.

#include <cstdlib>

#include "common/cell_range.h"
#include "common/check.h"
#include "seq/doc/life_line.h"
#include "seq/doc/message.h"
#include "seq/doc/msg_line.h"
#include "seq/doc/msg_type.h"
#include "seq/doc/workspace.h"

namespace velkaro {

std::shared_ptr<SeqMessage> SeqWorkspace::insert_message(const CellPos& pos, int32_t& right,
                                                        const CellRange* range, int32_t point)
{
  move_to(pos);
  const ElementPtr chain = get_c_elm();
  const ElementPtr ll = chain ? chain->seek<SeqLifeLine>(ANY_ROLE) : nullptr;
  int32_t r = right;
  int32_t dx = 0;
  if (range) {
    dx = deltah(pos, *range);
    if (dx != 0)
      r = dx < 0 ? -1 : 1;
    right = r;
  }
  const auto msg = SeqMessage::create(ll, r);
  if (!can_put(msg))
    return nullptr;
  put(msg);
  std::shared_ptr<SeqMsgLine> tip;
  while ((int64_t{pos.x} + dx - cursor.x) * r >= 1) {
    move_h(r);
    const auto line = SeqMsgLine::create_with_msg(msg);
    if (!can_put(line))
      break;
    put(line);
    tip = line;
  }
  // Stored by this operation: the record holds the element itself.
  if (tip)
    tip->point = point;
  move_to(pos);
  put(SeqMsgType::create_with(msg, range ? deltav(pos, *range) : 0));
  signal_update();
  return msg;
}

bool SeqWorkspace::mod_msgline(const ElementPtr& elm, const CellRange& range, int32_t point)
{
  VK_CHECK_VAL(elm != nullptr, false);
  const CellPos pos = anchor_of(elm);
  if (!elm->stored || !pos.get_is_valid())
    return false;
  auto line = std::dynamic_pointer_cast<SeqMsgLine>(elm);
  auto msg = line ? line->get_msg() : std::dynamic_pointer_cast<SeqMessage>(elm);
  if (!msg)
    return false;
  const int32_t right = msg->get_right();
  // The kind steps once per row of vertical movement, also by 0 rows.
  const auto kind = SeqMsgType::create_with(
      msg, int64_t{deltav(pos, range)} + static_cast<int64_t>(msg->get_msg_type()));
  if (const auto old_kind = msg->get_msg_type_elm(); old_kind && old_kind->stored) {
    replace(old_kind, kind);
  } else if (const CellPos at = anchor_of(msg); at.get_is_valid()) {
    move_to(at);
    put(kind);
  }
  move_to(pos);
  const int32_t dx = deltah(pos, range);
  const int32_t n = std::abs(dx);
  // A line in the document gets another point through a copy in its place.
  const auto with_point = [this, point](const std::shared_ptr<SeqMsgLine>& old) {
    const auto copy = std::dynamic_pointer_cast<SeqMsgLine>(old->copy(*get_cells()));
    copy->point = point;
    replace_family(old, copy);
  };
  if (dx == 0) {
    if (line && line->point != point)
      with_point(line);
  } else if ((dx < 0 ? -1 : 1) == right) {
    for (int32_t i = 1; i <= n; ++i) {
      move_h(right);
      const auto added = SeqMsgLine::create_with_msg(msg);
      if (!can_put(added))
        break;
      put(added);
      // Stored by this operation: the record holds the element itself.
      if (i == n)
        added->point = point;
    }
  } else {
    for (int32_t removed = 0; line && removed < n; ++removed) {
      auto upper = std::dynamic_pointer_cast<SeqMsgLine>(line->get_upper());
      remove_all(line, false);
      line = std::move(upper);
    }
    if (line && point != ANY_ROLE)
      with_point(line);
  }
  return true;
}

} // namespace velkaro
