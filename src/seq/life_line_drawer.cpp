#include "seq/life_line_drawer.h"

#include "common/any.h"
#include "common/point.h"
#include "model/element_cells.h"
#include "model/grid.h"
#include "seq/drawer_geometry.h"
#include "seq/doc/exec_spec.h"
#include "seq/doc/life_head.h"
#include "seq/doc/life_line.h"

namespace velkaro {

using namespace seq_geom;

namespace {

// The life-line cell below ll, as SeqLifeLine::get_next_ll() finds it. In
// every document the editor makes that is the cell right under ll, which is
// looked at first: the element order searches all the cells of the life
// line, and a page must cost what it shows, not the length of its life
// lines.
std::shared_ptr<SeqLifeLine> below(const SeqLifeLine& ll)
{
  if (const auto cells = ll.get_cells()) {
    if (const auto head = cells->get(ll.pos.x, ll.pos.y + 1)) {
      const auto next = head->seek<SeqLifeLine>(0);
      if (next && next->get_head() && next->get_head() == ll.get_head())
        return next;
    }
  }
  return ll.get_next_ll();
}

// The box of level n goes on into the cell below: that cell holds a
// execution specification of the level that does not start a box of its own.
bool goes_on_below(const SeqLifeLine* next, int32_t n)
{
  if (!next)
    return false;
  const auto es = next->seek<SeqExecSpec>(n);
  return es && !es->get_is_top();
}

} // namespace

void SeqLifeLineDrawer::draw()
{
  // Left over only by a draw that cairo broke off.
  m_runs.clear();
  m_below.clear();
  m_has_es.clear();
  each_target<SeqLifeLine>(get_clip_region(), [this] {
    m_ll = std::dynamic_pointer_cast<SeqLifeLine>(now_elm);
    if (!m_ll)
      return;
    get_cr()->set_line_width(1.0);
    if (chain_has_es(*m_ll))
      execspec();
    else
      normal();
  });
  flush_runs(-1);
  m_ll.reset();
  m_next.reset();
  m_below.clear();
  m_has_es.clear();
}

std::shared_ptr<SeqLifeLine> SeqLifeLineDrawer::below_of(const SeqLifeLine& ll)
{
  // Two cells of one life line in one chain have the same neighbours: the
  // element order puts neither before the other.
  const auto key = std::make_tuple(ll.pos.x, ll.pos.y, static_cast<const void*>(ll.get_parent().get()),
                                   ll.get_role());
  if (const auto it = m_below.find(key); it != m_below.end())
    return it->second;
  auto next = below(ll);
  m_below.emplace(key, next);
  return next;
}

bool SeqLifeLineDrawer::chain_has_es(const SeqLifeLine& ll)
{
  const auto key = std::make_pair(ll.pos.x, ll.pos.y);
  if (const auto it = m_has_es.find(key); it != m_has_es.end())
    return it->second;
  const bool has = ll.has<SeqExecSpec>(ANY_ROLE);
  m_has_es.emplace(key, has);
  return has;
}

bool SeqLifeLineDrawer::extend_run(double xmid, double phase)
{
  const auto& cr = get_cr();
  Run now;
  if (cairo_pattern_get_rgba(cairo_get_source(cr->cobj()), &now.red, &now.green, &now.blue, &now.alpha) !=
      CAIRO_STATUS_SUCCESS)
    return false;
  now.x = xmid;
  now.top = now_rect.y;
  now.bottom = now_rect.get_bottom();
  now.phase = phase;
  now.width = cr->get_line_width();
  const auto it = m_runs.find(now_cell.x);
  if (it != m_runs.end()) {
    Run& run = it->second;
    if (run.x == now.x && run.bottom == now.top && run.red == now.red && run.green == now.green &&
        run.blue == now.blue && run.alpha == now.alpha && run.width == now.width) {
      run.bottom = now.bottom;
      return true;
    }
    flush_runs(now_cell.x);
  }
  m_runs.emplace(now_cell.x, now);
  return true;
}

void SeqLifeLineDrawer::flush_runs(int32_t column)
{
  const auto& cr = get_cr();
  const auto stroke = [&cr](const Run& run) {
    cairo_t* c = cr->cobj();
    cairo_save(c);
    cairo_set_source_rgba(c, run.red, run.green, run.blue, run.alpha);
    cairo_set_line_width(c, run.width);
    const double dashes[] = {LL_DASH, LL_DASH};
    cairo_set_dash(c, dashes, 2, run.phase);
    cairo_move_to(c, run.x, run.top);
    cairo_line_to(c, run.x, run.bottom);
    cairo_stroke(c);
    cairo_restore(c);
  };
  if (column >= 0) {
    if (const auto it = m_runs.find(column); it != m_runs.end()) {
      stroke(it->second);
      m_runs.erase(it);
    }
    return;
  }
  for (const auto& [x, run] : m_runs)
    stroke(run);
  m_runs.clear();
}

double SeqLifeLineDrawer::offset(const SeqLifeLine& ll) const
{
  const auto grid = get_grid();
  if (!grid)
    return LL_PHASE;
  const double top = grid->get_top_left_point(ll.pos).get_y();
  const auto head = ll.get_head();
  // A cell that lost its head counts its phase from itself.
  if (!head)
    return LL_PHASE;
  const double start = grid->get_top_left_point({head->pos.x, head->pos.y + 1}).get_y();
  return top - start + LL_PHASE;
}

void SeqLifeLineDrawer::normal()
{
  const auto& cr = get_cr();
  const double xmid = now_rect.get_xmid();
  const double ymid = now_rect.get_ymid();
  const bool goes_on = below_of(*m_ll) != nullptr;
  // What the column drew so far stays under this cell's piece.
  if (goes_on && extend_run(xmid, offset(*m_ll)))
    return;
  flush_runs(now_cell.x);
  set_dash(cr, LL_DASH, LL_DASH, offset(*m_ll));
  cr->move_to(xmid, now_rect.y);
  if (goes_on) {
    cr->line_to(xmid, now_rect.get_bottom());
  } else if (!m_ll->has_stop) {
    cr->line_to(xmid, ymid);
  } else {
    cr->line_to(xmid, ymid - STOP_GAP);
    cr->stroke();
    unset_dash(cr);
    segment(cr, xmid - STOP_HALF, ymid - STOP_HALF, xmid + STOP_HALF, ymid + STOP_HALF);
    segment(cr, xmid + STOP_HALF, ymid - STOP_HALF, xmid - STOP_HALF, ymid + STOP_HALF);
  }
  cr->stroke();
  unset_dash(cr);
}

void SeqLifeLineDrawer::execspec()
{
  const auto e0 = now_elm->seek<SeqExecSpec>(0);
  // Boxes nest on a level-0 box; a cell without one shows its plain line.
  if (!e0) {
    normal();
    return;
  }
  m_next = below_of(*m_ll);
  flush_runs(now_cell.x);
  const auto& cr = get_cr();
  const double xmid = now_rect.get_xmid();
  const double y = now_rect.y;
  const double bottom = now_rect.get_bottom();
  const bool e0_in_proc = e0->get_is_in_process();
  if (e0_in_proc)
    set_in_proc();

  double t = y + ES_STEP;
  double b = bottom - ES_STEP;
  if (!e0->get_is_top()) {
    t = y;
  } else {
    set_dash(cr, LL_DASH, LL_DASH, offset(*m_ll));
    segment(cr, xmid, y, xmid, t);
    cr->stroke();
    unset_dash(cr);
    segment(cr, xmid - ES_HALF_WIDTH, t, xmid + ES_HALF_WIDTH, t);
    cr->stroke();
  }
  if (goes_on_below(m_next.get(), 0)) {
    b = bottom;
  } else {
    set_dash(cr, LL_DASH, LL_DASH, offset(*m_ll) + b - y);
    segment(cr, xmid, b, xmid, bottom);
    cr->stroke();
    unset_dash(cr);
    // Stroked with the right side below.
    segment(cr, xmid - ES_HALF_WIDTH, b, xmid + ES_HALF_WIDTH, b);
  }
  unset_dash(cr);
  draw_outside(1, xmid + ES_HALF_WIDTH, t, b);
  cr->stroke();
  // A nested box in process on the right must not colour the left side.
  if (!e0_in_proc)
    set_default();
  draw_outside(-1, xmid - ES_HALF_WIDTH, t, b);
  cr->stroke();
}

void SeqLifeLineDrawer::draw_outside(int32_t n, double x, double top, double bottom)
{
  const auto& cr = get_cr();
  const auto e = now_elm->seek<SeqExecSpec>(n);
  if (!e) {
    segment(cr, x, top, x, bottom);
    return;
  }
  const int32_t s = n < 0 ? -1 : 1;
  const double outer = x + ES_STEP * s;
  const double inner = x - ES_STEP * s;
  double t = top + ES_STEP;
  double b = bottom - ES_STEP;
  // The enclosing box's side above and below the nested box.
  if (e->get_is_top())
    segment(cr, x, top, x, t);
  else
    t = top;
  if (goes_on_below(m_next.get(), n))
    b = bottom;
  else
    segment(cr, x, bottom, x, b);
  cr->stroke();

  if (e->get_is_in_process())
    set_in_proc();
  if (t != top)
    segment(cr, inner, t, outer, t);
  if (b != bottom)
    segment(cr, inner, b, outer, b);
  segment(cr, inner, t, inner, b);
  draw_outside(n + s, outer, t, b);
}

} // namespace velkaro
