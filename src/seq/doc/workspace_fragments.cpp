// Combined fragments and separators.

#include <algorithm>
#include <unordered_set>

#include "common/cell_range.h"
#include "common/check.h"
#include "seq/doc/frag_line.h"
#include "seq/doc/fragment.h"
#include "seq/doc/sep_line.h"
#include "seq/doc/separator.h"
#include "seq/doc/text_element.h"
#include "seq/doc/workspace.h"

namespace velkaro {
namespace {

using ElementPtr = std::shared_ptr<ModelElement>;

// A separator is laid across at most this many cells.
constexpr int32_t MAX_SEPARATOR_CELLS = 9999;

int32_t toward(int32_t from, int32_t to)
{
  return from < to ? 1 : (from > to ? -1 : 0);
}

// The cells of a copied separator in order: the separator (or separator
// line) itself, then its separator lines from the leftmost on.
std::vector<std::shared_ptr<SeqSeparator>> separator_cells(const ElementPtr& copy)
{
  std::vector<std::shared_ptr<SeqSeparator>> cells;
  const auto first = std::dynamic_pointer_cast<SeqSeparator>(copy);
  if (!first)
    return cells;
  cells.push_back(first);
  const auto a_line = first->a_child_of<SeqSepLine>(ANY_ROLE);
  if (!a_line)
    return cells;
  std::unordered_set<const ModelElement*> seen;
  for (ElementPtr e = a_line->get_top(); e && seen.insert(e.get()).second; e = e->get_lower()) {
    if (auto line = std::dynamic_pointer_cast<SeqSeparator>(e))
      cells.push_back(std::move(line));
    if (e->get_is_bottom())
      break;
  }
  return cells;
}

// The chain's first element belongs to fm: the frame's right edge.
bool heads_with_part_of(const ElementPtr& head, const ElementPtr& fm)
{
  return head && head->get_parent() == fm;
}

} // namespace

// --- frame lines --------------------------------------------------------------

bool SeqWorkspace::line_frag(const std::shared_ptr<SeqFragment>& fm, int32_t count, int32_t dir,
                             bool is_topleft, bool dry, bool no_start)
{
  VK_CHECK_VAL(fm != nullptr, false);
  for (int32_t i = 0; i < count; ++i) {
    const auto line = SeqFragLine::create_with_frag(fm, dir, is_topleft);
    line->is_end = i == count - 1;
    line->is_start = i == 0 && !no_start;
    if (dry) {
      if (!can_put(line))
        return false;
    } else if (!put(line)) {
      return false;
    }
    if (dir == 1)
      move_v(1);
    else
      move_h(1);
  }
  return true;
}

std::shared_ptr<SeqFragLine> SeqWorkspace::frame_line_at(const SeqFragment& fm, int32_t x,
                                                        int32_t y) const
{
  const ElementPtr chain = elm_at({x, y});
  if (!chain)
    return nullptr;
  // Frames may cross: only a line of this frame counts.
  for (const auto& line : chain->extract<SeqFragLine>(ANY_ROLE))
    if (line->get_parent().get() == &fm)
      return line;
  return nullptr;
}

void SeqWorkspace::take_frame_line(const SeqFragment& fm, int32_t x, int32_t y)
{
  if (const auto line = frame_line_at(fm, x, y))
    remove_all(line, false);
}

std::shared_ptr<SeqSeparator> SeqWorkspace::separator_at(const SeqFragment& fm, int32_t x,
                                                        int32_t y) const
{
  const ElementPtr chain = elm_at({x, y});
  if (!chain)
    return nullptr;
  for (const auto& sp : chain->extract<SeqSeparator>(ANY_ROLE)) {
    const auto fl = sp->get_fl();
    if (fl && fl->get_parent().get() == &fm)
      return sp;
  }
  return nullptr;
}

void SeqWorkspace::take_separator(const SeqFragment& fm, int32_t x, int32_t y)
{
  if (const auto sp = separator_at(fm, x, y))
    remove_all(sp, false);
}

// --- fragments ----------------------------------------------------------------

bool SeqWorkspace::insert_frag(const CellRange& range)
{
  if (!insert_frag_pass(range, true))
    return false;
  return insert_frag_pass(range, false);
}

bool SeqWorkspace::insert_frag_pass(const CellRange& range, bool dry)
{
  CellRange r = range;
  r.ensure_consistency();
  const CellPos s = r.start;
  const CellPos e = r.end;
  const int32_t w = deltah(s, r);
  const int32_t h = deltav(s, r);
  if (w <= 1 || h < 2)
    return false;
  move_to(s);
  const auto fm = SeqFragment::create();
  if (dry) {
    if (!can_put(fm))
      return false;
  } else {
    if (!put(fm))
      return false;
    put(SeqTextElement::create_with_parent(fm));
  }
  move_hv(s.x, s.y + 1);
  const bool left = line_frag(fm, h, 1, true, dry, false);
  move_hv(e.x, s.y);
  const bool right = line_frag(fm, h + 1, 1, false, dry, false);
  move_hv(s.x + 1, s.y);
  const bool top = line_frag(fm, w - 1, 0, true, dry, false);
  move_hv(s.x + 1, e.y);
  const bool bottom = line_frag(fm, w - 1, 0, false, dry, false);
  if (dry)
    return left && right && top && bottom;
  signal_update();
  return true;
}

bool SeqWorkspace::mod_frag(const ElementPtr& elm, const CellRange& range)
{
  VK_CHECK_VAL(elm != nullptr, false);
  const auto corner = std::dynamic_pointer_cast<SeqFragLine>(elm);
  const auto fm = corner ? corner->get_fm() : nullptr;
  if (!fm)
    return false;
  const CellPos f = anchor_of(fm);
  const CellPos p = anchor_of(corner);
  if (!f.get_is_valid() || !p.get_is_valid())
    return false;
  const int32_t dx = deltah(p, range);
  const int32_t dy = deltav(p, range);
  // The requested corner, then one cell nearer the current corner on each
  // axis where it still differs, until one fits. The current corner is the
  // last candidate: when even the current frame does not pass (something
  // has come to stand on its cells), nothing changes.
  CellPos n{std::max(p.x + dx, f.x + 2), std::max(p.y + dy, f.y + 2)};
  while (!insert_frag_pass(CellRange{f, n}, true)) {
    if (n == p)
      return false;
    n.x += toward(n.x, p.x);
    n.y += toward(n.y, p.y);
  }
  if (n == p)
    return false;
  take_down_frame(*fm, f, p, n);
  build_frame(fm, f, p, n);
  return true;
}

void SeqWorkspace::take_down_frame(const SeqFragment& fm, const CellPos& f, const CellPos& p,
                                   const CellPos& n)
{
  const int32_t dx = n.x - p.x;
  const int32_t dy = n.y - p.y;
  if (dx != 0)
    for (int32_t y = f.y; y <= p.y; ++y)
      take_frame_line(fm, p.x, y);
  if (dx < 0) {
    for (int32_t x = n.x; x <= p.x; ++x) {
      take_frame_line(fm, x, f.y);
      if (dy == 0)
        take_frame_line(fm, x, p.y);
    }
    for (int32_t y = f.y + 1; y <= p.y; ++y)
      if (separator_at(fm, f.x, y))
        for (int32_t x = n.x + 1; x <= p.x; ++x)
          take_separator(fm, x, y);
  }
  if (dy != 0)
    for (int32_t x = f.x + 1; x <= p.x - 1; ++x)
      take_frame_line(fm, x, p.y);
  if (dy < 0) {
    // Separators starting on the left edge go with its lines.
    for (int32_t y = n.y; y <= p.y; ++y)
      take_frame_line(fm, f.x, y);
    if (dx == 0)
      for (int32_t y = n.y; y <= p.y; ++y)
        take_frame_line(fm, p.x, y);
  }
  if (dy > 0) {
    take_frame_line(fm, p.x, p.y);
    take_frame_line(fm, f.x, p.y);
  }
}

void SeqWorkspace::build_frame(const std::shared_ptr<SeqFragment>& fm, const CellPos& f,
                               const CellPos& p, const CellPos& n)
{
  const int32_t dx = n.x - p.x;
  const int32_t dy = n.y - p.y;
  const int32_t width = n.x - f.x;
  const int32_t height = n.y - f.y;
  if (dx != 0) {
    move_hv(n.x, f.y);
    line_frag(fm, height + 1, 1, false, false, false);
  }
  if (dx > 0) {
    move_hv(p.x, f.y);
    line_frag(fm, dx, 0, true, false, true);
    if (dy == 0) {
      move_hv(p.x, p.y);
      line_frag(fm, dx, 0, false, false, true);
    }
    for (int32_t y = f.y + 1; y <= p.y - 1; ++y) {
      const auto sp = separator_at(*fm, f.x, y);
      if (!sp)
        continue;
      for (int32_t x = p.x + 1; x <= n.x; ++x) {
        move_hv(x, y);
        put(SeqSepLine::create_with_sp(sp));
      }
    }
  }
  if (dy != 0) {
    move_hv(f.x + 1, n.y);
    line_frag(fm, width - 1, 0, false, false, false);
  }
  if (dy < 0) {
    move_hv(f.x, n.y);
    line_frag(fm, 1, 1, true, false, true);
    if (dx == 0) {
      move_hv(p.x, n.y);
      line_frag(fm, 1, 1, false, false, true);
    }
  }
  if (dy > 0) {
    move_hv(f.x, p.y);
    line_frag(fm, dy + 1, 1, true, false, true);
    if (dx == 0) {
      move_hv(p.x, p.y);
      line_frag(fm, dy + 1, 1, false, false, true);
    }
  }
}

// --- separators ---------------------------------------------------------------

bool SeqWorkspace::insert_separator(const CellPos& pos, const ElementPtr& copy)
{
  move_to(pos);
  const ElementPtr chain = get_c_elm();
  const auto fl = std::dynamic_pointer_cast<SeqFragLine>(chain);
  if (!fl || !fl->get_is_single() || !fl->is_topleft)
    return false;
  const ElementPtr fm = fl->get_fm();
  if (!fm)
    return false;
  const auto sp = SeqSeparator::create_with_fl(fl);
  // Every cell up to the right edge is tested before anything is stored.
  for (int32_t step = 0; step < MAX_SEPARATOR_CELLS; ++step) {
    if (!can_put(sp))
      return false;
    if (step > 0 && heads_with_part_of(get_c_elm(), fm))
      break;
    move_h(1);
  }
  const auto copied = separator_cells(copy);
  move_to(pos);
  for (int32_t step = 0; step < MAX_SEPARATOR_CELLS; ++step) {
    const ElementPtr part = step == 0 ? ElementPtr(sp) : ElementPtr(SeqSepLine::create_with_sp(sp));
    const bool at_edge = step > 0 && heads_with_part_of(get_c_elm(), fm);
    put(part);
    if (step < static_cast<int32_t>(copied.size()))
      if (const auto text = copied[step]->get_text_elm())
        put(SeqTextElement::create_with_text(part, text->get_text()));
    if (at_edge)
      break;
    move_h(1);
  }
  signal_update();
  return true;
}

} // namespace velkaro
