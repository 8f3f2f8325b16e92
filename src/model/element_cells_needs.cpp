// The sizes the lines of the covering index need. Each line counts the needs
// of its measured elements by size, so that its largest need is known
// without walking the line, and lists the elements waiting to be measured.
// A need that comes or goes costs a logarithm of the line for each line the
// element covers; only line_need() with fresh walks a line.

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/element_cells.h"

namespace velkaro {
namespace {

using Needs = std::map<double, int32_t>;

// A need that is not a number was never the largest (std::max keeps what
// it has against one), so it is not counted.
void count_in(Needs& needs, double need)
{
  if (!std::isnan(need))
    ++needs[need];
}

void count_out(Needs& needs, double need)
{
  if (std::isnan(need))
    return;
  const auto it = needs.find(need);
  if (it != needs.end() && --it->second == 0)
    needs.erase(it);
}

} // namespace

template <typename Each>
void ModelElementCells::each_line_of(const Placed& p, Each each) const
{
  const auto walk = [&](Lines& lines, int32_t anchor, int32_t extension, double need) {
    const int64_t far = int64_t{anchor} + extension;
    const int64_t lo = std::max<int64_t>(std::min<int64_t>(anchor, far), std::numeric_limits<int32_t>::min());
    const int64_t hi = std::min<int64_t>(std::max<int64_t>(anchor, far), std::numeric_limits<int32_t>::max());
    for (auto it = lines.lower_bound(static_cast<int32_t>(lo)); it != lines.end() && it->first <= hi; ++it)
      each(it->second, need);
  };
  walk(m_cols, p.anchor.x, p.dh, p.need_w);
  walk(m_rows_cover, p.anchor.y, p.dv, p.need_h);
}

void ModelElementCells::join_needs(Line& line, const Placed& p, double need) const
{
  if (p.measured) {
    count_in(line.needs, need);
    return;
  }
  // Entries that no longer stand pile up in a line whose need nobody asks
  // for; they go once they outnumber the line's elements.
  if (line.waiting.size() > 2 * line.elms.size() + 16)
    std::erase_if(line.waiting, [this](const Waiting& w) { return !stands(w); });
  line.waiting.push_back({p.elm, p.stamp});
}

void ModelElementCells::enter_needs(const Placed& p) const
{
  each_line_of(p, [](Line& line, double need) { count_in(line.needs, need); });
}

void ModelElementCells::leave_needs(const Placed& p) const
{
  each_line_of(p, [](Line& line, double need) { count_out(line.needs, need); });
}

void ModelElementCells::await(Placed& p) const
{
  p.measured = false;
  p.stamp = ++m_stamps;
  each_line_of(p, [this, &p](Line& line, double need) { join_needs(line, p, need); });
}

bool ModelElementCells::stands(const Waiting& w) const
{
  const auto it = m_placed.find(w.elm);
  return it != m_placed.end() && it->second.stamp == w.stamp && !it->second.measured;
}

void ModelElementCells::measure(Placed& p) const
{
  const Rectangle r = p.elm->get_rect();
  const double w = (r.width + 10.0) / static_cast<double>(p.elm->get_mwidth());
  const double h = (r.height + 10.0) / static_cast<double>(p.elm->get_mheight());
  if (p.measured) {
    if (w == p.need_w && h == p.need_h)
      return;
    leave_needs(p);
  }
  p.need_w = w;
  p.need_h = h;
  p.measured = true;
  enter_needs(p);
}

void ModelElementCells::settle(Line& line) const
{
  // Measuring an element changes only the counts of lines, never their
  // waiting lists, so the list can be walked as it stands.
  for (const Waiting& w : line.waiting)
    if (stands(w))
      measure(m_placed.find(w.elm)->second);
  line.waiting.clear();
}

double ModelElementCells::line_need(CellDir dir, int32_t index, bool fresh) const
{
  if (dir == CellDir::hv)
    return 0.0;
  Line* found = indexed_line(dir, index);
  if (!found)
    return 0.0;
  Line& line = *found;
  if (fresh) {
    for (Placed* p : line.elms)
      measure(*p);
    line.waiting.clear();
  } else {
    settle(line);
  }
  return line.needs.empty() ? 0.0 : std::max(0.0, line.needs.rbegin()->first);
}

void ModelElementCells::forget_need(const ModelElement& elm) const
{
  const auto it = m_placed.find(&elm);
  if (it == m_placed.end() || !it->second.measured)
    return;
  leave_needs(it->second);
  await(it->second);
}

} // namespace velkaro
