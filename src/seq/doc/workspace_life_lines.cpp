// Life lines and execution specifications.

#include <algorithm>
#include <cstdlib>

#include "common/cell_range.h"
#include "common/check.h"
#include "seq/doc/exec_spec.h"
#include "seq/doc/life_head.h"
#include "seq/doc/life_line.h"
#include "seq/doc/text_element.h"
#include "seq/doc/workspace.h"

namespace velkaro {
namespace {

// A new life line is a head and this many cells in all.
constexpr int32_t DEFAULT_LENGTH = 6;

int32_t sign(int32_t v)
{
  return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

} // namespace

// --- life lines ---------------------------------------------------------------

bool SeqWorkspace::add_lifeline(const CellPos& pos, const CellRange* range)
{
  const auto head = SeqLifeHead::create();
  move_to(pos);
  if (!can_put(head))
    return false;
  put(head);
  put(SeqTextElement::create_with_parent(head));
  int32_t length = DEFAULT_LENGTH;
  bool stop = false;
  if (range) {
    length = std::max(deltav(pos, *range) + 1, 1);
    stop = deltah(pos, *range) != 0;
  }
  // The cells are tested before any is stored, so that the last one gets
  // its stop before it enters the document (each test looks at its own cell
  // only, which the cells above do not change).
  int32_t cells = 0;
  for (int32_t i = 1; i < length; ++i) {
    move_hv(pos.x, pos.y + i);
    if (!can_put(SeqLifeLine::create_with_head(head)))
      break;
    ++cells;
  }
  for (int32_t i = 1; i <= cells; ++i) {
    move_hv(pos.x, pos.y + i);
    const auto ll = SeqLifeLine::create_with_head(head);
    ll->has_stop = i == cells && stop;
    put(ll);
  }
  // Where the walk ended: on the cell that could not take a life line.
  move_hv(pos.x, pos.y + cells + (cells < length - 1 ? 1 : 0));
  clear_in_process();
  signal_update();
  return true;
}

void SeqWorkspace::replace_stop(const std::shared_ptr<SeqLifeLine>& ll, bool stop)
{
  const auto cell = SeqLifeLine::create_with_ll(ll);
  cell->has_stop = stop;
  replace_family(ll, cell);
}

bool SeqWorkspace::set_stop(const std::shared_ptr<SeqLifeLine>& ll, bool only_clear)
{
  VK_CHECK_VAL(ll != nullptr, false);
  if (!ll->stored || !anchor_of(ll).get_is_valid())
    return false;
  if (only_clear && !ll->has_stop)
    return false;
  replace_stop(ll, !ll->has_stop);
  signal_update();
  return true;
}

bool SeqWorkspace::mod_lifeline(const CellPos& pos, const CellRange& range)
{
  const ElementPtr chain = elm_at(pos);
  auto cur = chain ? chain->seek<SeqLifeLine>(ANY_ROLE) : nullptr;
  if (!cur)
    return false;
  const int32_t d = deltav(pos, range);
  const int32_t e = deltah(pos, range);
  const bool s = cur->has_stop;
  const ElementPtr head = cur->get_parent();
  bool made_here = false;
  move_to(pos);
  if (d < 0) {
    move_v(-1);
    for (int32_t removed = 0;;) {
      const ElementPtr above_chain = get_c_elm();
      const auto above = above_chain ? above_chain->seek<SeqLifeLine>(ANY_ROLE) : nullptr;
      if (!above || above->get_parent() != head)
        break;
      remove_all(cur, false);
      cur = above;
      // The new last cell loses what was attached to it.
      remove_all(cur, true);
      if (++removed == -int64_t{d})
        break;
      move_v(-1);
    }
  } else if (d > 0) {
    for (int32_t i = 0; i < d; ++i) {
      move_v(1);
      const auto cell = SeqLifeLine::create_with_ll(cur);
      if (!can_put(cell))
        break;
      put(cell);
      cur = cell;
      made_here = true;
    }
  }
  if (e % 2 != 0 && d <= 0) {
    set_stop(cur, false);
    return true;
  }
  const bool stop = e % 2 == 0 ? s : !s;
  if (made_here)
    cur->has_stop = stop;
  else if (cur->has_stop != stop)
    replace_stop(cur, stop);
  return true;
}

// --- execution specifications -------------------------------------------------

void SeqWorkspace::run_es(const CellPos& pos, int32_t level, int32_t enclosing, int32_t dir,
                          int32_t n, bool top, const std::shared_ptr<SeqExecSpec>& first)
{
  std::shared_ptr<SeqExecSpec> last = first;
  move_to(pos);
  move_v(dir);
  while (std::llabs(int64_t{cursor.y} - pos.y) <= n) {
    const ElementPtr chain = get_c_elm();
    if (!chain)
      break;
    const auto ll = chain->seek<SeqLifeLine>(ANY_ROLE);
    if (!ll || ll->get_is_bottom())
      break;
    bool enclosing_top = false;
    if (level != 0) {
      const auto enc = chain->seek<SeqExecSpec>(enclosing);
      if (!enc || (dir > 0 && enc->get_is_top()))
        break;
      enclosing_top = enc->get_is_top();
    }
    if (chain->has<SeqExecSpec>(level))
      break;
    const auto es = SeqExecSpec::create(level, false);
    put(es);
    last = es;
    // The box now reaches the neighbouring cell it came from, whose height
    // depends on that.
    if (const auto neighbour = dir > 0 ? ll->get_prev_ll() : ll->get_next_ll())
      relayout_box_cells(neighbour);
    move_v(dir);
    if (dir < 0 && enclosing_top)
      break;
  }
  if (dir >= 0)
    return;
  // Stored by this operation: the record holds the element itself.
  last->set_is_top(top);
  relayout_box_cells(last);
  if (const auto ll = last->get_ll())
    if (const auto below = ll->get_next_ll())
      relayout_box_cells(below);
}

void SeqWorkspace::relayout_box_cells(const ElementPtr& elm)
{
  const CellPos at = anchor_of(elm);
  if (!at.get_is_valid())
    return;
  for (int32_t dy = -1; dy <= 1; ++dy) {
    if (int64_t{at.y} + dy < 0)
      continue;
    if (const ElementPtr chain = elm_at({at.x, at.y + dy}))
      chain->foreach([this](const ElementPtr& e) { relayout(e); });
  }
}

std::shared_ptr<SeqExecSpec> SeqWorkspace::insert_execspec(const CellPos& pos, int32_t step,
                                                          const CellRange* range, bool top)
{
  move_to(pos);
  const ElementPtr chain = get_c_elm();
  if (!chain || !chain->has<SeqLifeLine>(ANY_ROLE))
    return nullptr;
  int32_t enclosing = 0;
  int32_t level = 0;
  const auto present = chain->extract<SeqExecSpec>(ANY_ROLE);
  if (!present.empty()) {
    const auto [lo, hi] = std::minmax_element(
        present.begin(), present.end(),
        [](const auto& a, const auto& b) { return a->get_role() < b->get_role(); });
    enclosing = step <= 0 ? std::min((*lo)->get_role(), 0) : std::max((*hi)->get_role(), 0);
    level = enclosing + step;
    // A step of 0 would put a second cell on a level that is there.
    if (chain->has<SeqExecSpec>(level))
      return nullptr;
  }
  const auto es = SeqExecSpec::create(level, top);
  if (!range) {
    put(es);
    signal_update();
    return es;
  }
  const int32_t d = deltav(pos, *range);
  const int32_t dir = d < 1 ? -1 : 1;
  if (dir < 0)
    es->set_is_top(false);
  put(es);
  run_es(pos, level, enclosing, dir, std::abs(d), top, es);
  signal_update();
  return es;
}

bool SeqWorkspace::mod_es(const std::shared_ptr<SeqExecSpec>& es, const CellRange& range)
{
  VK_CHECK_VAL(es != nullptr, false);
  const CellPos pos = anchor_of(es);
  if (!es->stored || !pos.get_is_valid())
    return false;
  move_to(pos);
  const int32_t d = deltav(pos, range);
  const int32_t dir = d < 1 ? -1 : 1;
  const int32_t n = std::abs(d);
  const bool top = es->get_is_top();
  const bool grow = (top && dir < 0) || ((!top || !es->get_next_es()) && dir > 0);
  // Each step removes the cell it leaves; a cell with a deeper level beside
  // it is not walked onto, since that level would lose its support.
  bool moved = false;
  std::shared_ptr<SeqExecSpec> remaining;
  auto cur = es;
  for (int32_t i = 0; i < n; ++i) {
    auto further = dir > 0 ? cur->get_next_es() : cur->get_prev_es();
    remove(cur);
    moved = true;
    remaining = further;
    if (!further || !further->get_is_endrole())
      break;
    cur = std::move(further);
  }
  if (grow && moved) {
    const int32_t level = es->get_role();
    const auto first = SeqExecSpec::create(level, dir < 0 ? false : top);
    move_to(pos);
    put(first);
    run_es(pos, level, level - sign(level), dir, n, top, first);
  } else if (!grow && moved && dir > 0 && remaining) {
    const ElementPtr copy = remaining->copy_all(*get_cells(), false);
    copy->set_is_top(true);
    copy->in_process = true;
    replace_family(remaining, copy);
  }
  signal_update();
  return true;
}

bool SeqWorkspace::rm_es(const std::shared_ptr<SeqExecSpec>& es)
{
  VK_CHECK_VAL(es != nullptr, false);
  const CellPos pos = anchor_of(es);
  if (!es->stored || !pos.get_is_valid())
    return false;
  const int32_t level = es->get_role();
  const int32_t side = sign(level);
  move_to(pos);
  while (const ElementPtr chain = get_c_elm()) {
    const auto cell = chain->seek<SeqExecSpec>(level);
    if (!cell)
      break;
    const bool was_top = cell->get_is_top();
    remove(cell);
    if (was_top)
      break;
    move_v(-1);
  }
  move_hv(pos.x, pos.y + 1);
  while (const ElementPtr chain = get_c_elm()) {
    const auto cell = chain->seek<SeqExecSpec>(level);
    if (!cell || cell->get_is_top())
      break;
    if (level == 0) {
      for (const auto& any : chain->extract<SeqExecSpec>(ANY_ROLE))
        remove(any);
    } else {
      if (!cell->get_is_endrole())
        for (int32_t k = level + side;; k += side) {
          const auto deeper = chain->seek<SeqExecSpec>(k);
          if (!deeper)
            break;
          remove(deeper);
        }
      remove(cell);
    }
    move_v(1);
  }
  signal_update();
  return true;
}

} // namespace velkaro
