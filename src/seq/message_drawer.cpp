#include "seq/message_drawer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "common/any.h"
#include "common/point.h"
#include "model/grid.h"
#include "model/text_element.h"
#include "seq/doc/exec_spec.h"
#include "seq/doc/life_line.h"
#include "seq/doc/message.h"
#include "seq/doc/msg_line.h"
#include "view/drawer_context.h"

namespace velkaro {

using namespace seq_geom;

void SeqMessageDrawer::draw()
{
  get_cr()->set_line_width(1.0);
  m_found.clear();
  m_free_level.clear();
  m_tip.clear();
  m_msg_type.clear();
  m_first_dot = first_dot_of_whole();
  m_past_first_dot = false;
  m_last_drawn.reset();
  each_target<SeqMessage>(get_clip_region(), [this] {
    catch_up({0, now_cell.y, now_cell.x});
    draw_message();
  });
  draw_left_out(0);
  each_target<SeqMsgLine>(get_clip_region(), [this] {
    catch_up({1, now_cell.y, now_cell.x});
    draw_msg_line();
  });
  draw_left_out(1);
  // The drawers after this one draw as they would after the whole walk.
  catch_up({2, 0, 0});
  m_found.clear();
  m_free_level.clear();
  m_tip.clear();
  m_msg_type.clear();
  m_ml.reset();
  m_msg.reset();
  m_ll.reset();
  m_es.reset();
  m_last_drawn.reset();
}

double SeqMessageDrawer::get_liney() const { return now_rect.get_bottom() - MSG_LINE_UP; }

double SeqMessageDrawer::get_abovey() const { return now_rect.get_bottom() - MSG_LOOP_UP; }

void SeqMessageDrawer::find_life_line()
{
  m_ll = life_line_of(*now_elm);
  m_es = m_ll ? m_found[{now_elm->pos.x, now_elm->pos.y}].second : nullptr;
}

std::shared_ptr<SeqLifeLine> SeqMessageDrawer::life_line_of(const ModelElement& elm)
{
  const auto key = std::make_pair(elm.pos.x, elm.pos.y);
  if (const auto it = m_found.find(key); it != m_found.end())
    return it->second.first;
  auto ll = elm.seek<SeqLifeLine>(ANY_ROLE);
  auto es = ll ? ll->get_es() : nullptr;
  m_found.emplace(key, std::make_pair(ll, std::move(es)));
  return ll;
}

void SeqMessageDrawer::draw_message()
{
  m_msg = std::dynamic_pointer_cast<SeqMessage>(now_elm);
  if (!m_msg)
    return;
  m_ml.reset();
  find_life_line();
  m_right = m_msg->get_right();
  if (m_ll && m_ll->get_is_in_process())
    set_in_proc();
  if (settled(drawn(0)))
    return;

  double start = 0;
  if (m_es) {
    // The line starts just inside the outermost side on its side.
    const int32_t level = first_free_level(get_dir());
    start = 4.0 * (level + 0.8 * get_dir()) - get_dir();
  }
  if (m_msg->get_msg_type() == SeqMsgTypeTypes::REPLY)
    set_dash(get_cr(), REPLY_DASH, REPLY_DASH, std::abs(start));
  outl(start);
  get_cr()->stroke();
}

void SeqMessageDrawer::draw_msg_line()
{
  m_ml = std::dynamic_pointer_cast<SeqMsgLine>(now_elm);
  if (!m_ml)
    return;
  m_msg = m_ml->get_msg();
  find_life_line();
  m_right = m_ml->get_right();
  if (m_msg && m_msg->get_is_in_process())
    set_in_proc();
  else
    set_default();
  if (settled(drawn(1)))
    return;

  const auto& cr = get_cr();
  const bool reply = msg_type() == SeqMsgTypeTypes::REPLY;
  const double from = m_right == 1 ? now_rect.x : now_rect.get_right();
  double to = m_right == 1 ? now_rect.get_right() : now_rect.x;
  if (is_tip(*m_ml)) {
    unset_dash(cr);
    to = now_rect.get_xmid() + arrow(false);
    cr->stroke();
  }
  if (reply)
    set_dash(cr, REPLY_DASH, REPLY_DASH, offset(*m_ml));
  segment(cr, from, get_liney(), to, get_liney());
  cr->stroke();
  unset_dash(cr);
  draw_text_elm(Point(0, -MSG_TEXT_UP));
}

void SeqMessageDrawer::outl(double start)
{
  const auto& cr = get_cr();
  const double xmid = now_rect.get_xmid();
  const double e = m_right == 1 ? now_rect.get_right() : now_rect.x;
  double dot_y = get_liney();
  if (m_msg->get_is_only()) {
    const double g = arrow(true);
    cr->move_to(xmid + start, get_abovey());
    cr->line_to(e, get_abovey());
    cr->line_to(e, get_liney());
    cr->line_to(xmid + g, get_liney());
    cr->stroke();
    dot_y = get_abovey();
  } else {
    segment(cr, xmid + start, get_liney(), e, get_liney());
  }
  cr->stroke();
  // A found message: it starts where no life line stands.
  if (!m_ll)
    dot(xmid - get_dir() * m_radius, dot_y);
}

double SeqMessageDrawer::arrow(bool back)
{
  const int32_t dir = get_dir();
  double x0 = 0;
  if (m_es) {
    if (m_ml && m_ml->point != ANY_ROLE) {
      // The level the point names, within the levels the cell holds.
      const int32_t p = std::clamp(m_ml->point, m_ll->es_end(-1), m_ll->es_end(1));
      x0 = p * dir < 1 ? -dir * 7.2 : -dir * 3.2;
      x0 += 4.0 * p;
    } else {
      // Just outside the outermost side the arrow arrives from.
      const int32_t s = back ? -dir : dir;
      x0 = (first_free_level(-s) - 0.8 * s) * 4.0;
    }
  }
  const auto& cr = get_cr();
  const double liney = get_liney();
  const double tip = now_rect.get_xmid() + x0;
  const int32_t t = back ? -dir : dir;
  const double base = tip - t * ARROW_LENGTH;
  cr->move_to(base, liney + ARROW_HALF);
  cr->line_to(tip, liney);
  cr->line_to(base, liney - ARROW_HALF);
  const bool sync = msg_type() == SeqMsgTypeTypes::SYNCHRONOUS;
  if (sync) {
    cr->stroke_preserve();
    cr->fill();
  } else {
    cr->stroke();
  }
  // A lost message: its tip lies where no life line stands.
  if (!back && m_ml && !m_ll)
    dot(now_rect.get_xmid() + dir * m_radius, liney);
  return x0;
}

int32_t SeqMessageDrawer::first_free_level(int32_t step) const
{
  // Where the height walk of the cell's execution specifications from level step
  // stops; only the levels present matter, not the boxes' heights, which
  // would cost a search through the life line's cells.
  const auto key = std::make_pair(m_ll.get(), step);
  if (const auto it = m_free_level.find(key); it != m_free_level.end())
    return it->second;
  const int32_t level = m_ll->es_end(step) + step;
  m_free_level.emplace(key, level);
  return level;
}

bool SeqMessageDrawer::is_tip(const SeqMsgLine& line)
{
  const auto msg = line.get_msg();
  const auto key = std::make_tuple(msg.get(), line.pos.x, line.pos.y, line.get_role());
  if (const auto it = m_tip.find(key); it != m_tip.end())
    return it->second;
  const bool tip = line.get_is_tip();
  m_tip.emplace(key, tip);
  return tip;
}

SeqMsgTypeTypes SeqMessageDrawer::msg_type()
{
  // A line without a message is drawn as a call, as it reports.
  if (!m_msg)
    return SeqMsgTypeTypes::SYNCHRONOUS;
  if (const auto it = m_msg_type.find(m_msg.get()); it != m_msg_type.end())
    return it->second;
  const SeqMsgTypeTypes type = m_msg->get_msg_type();
  m_msg_type.emplace(m_msg.get(), type);
  return type;
}

double SeqMessageDrawer::offset(const SeqMsgLine& line) const
{
  const auto grid = get_grid();
  const auto msg = line.get_msg();
  if (!grid || !msg)
    return 0;
  const double c = grid->get_top_left_point(msg->pos).get_x() + grid->get_size(msg->pos.x, msg->pos.y).width / 2;
  if (line.get_right() == 1)
    return grid->get_top_left_point(line.pos).get_x() - c;
  return c - grid->get_top_left_point({line.pos.x + 1, line.pos.y}).get_x();
}

SeqMessageDrawer::Drawn SeqMessageDrawer::drawn(int walk)
{
  Drawn d;
  d.walk = walk;
  d.cell = now_cell;
  d.rect = now_rect;
  d.right = m_right;
  d.life_line = m_ll != nullptr;
  d.boxes = m_es != nullptr;
  if (m_es) {
    d.level_out = first_free_level(get_dir());
    d.level_in = first_free_level(-get_dir());
  }
  if (walk == 0) {
    d.type = m_msg->get_msg_type();
    d.only = m_msg->get_is_only();
  } else {
    d.type = msg_type();
    d.tip = is_tip(*m_ml);
    d.point = m_ml->point;
    d.offset = d.type == SeqMsgTypeTypes::REPLY ? offset(*m_ml) : 0.0;
    d.text = now_elm->seek<ModelTextElement>(ANY_ROLE).get();
  }
  cairo_t* cr = get_cr()->cobj();
  d.antialias = cairo_get_antialias(cr);
  d.width = cairo_get_line_width(cr);
  d.dashes = cairo_get_dash_count(cr);
  d.readable = cairo_pattern_get_rgba(cairo_get_source(cr), &d.rgba[0], &d.rgba[1], &d.rgba[2], &d.rgba[3]) ==
               CAIRO_STATUS_SUCCESS;
  return d;
}

bool SeqMessageDrawer::settled(const Drawn& d)
{
  if (!get_dc()->settles_repeats || !d.readable) {
    m_last_drawn.reset();
    m_left_out.reset();
    return false;
  }
  if (m_last_drawn == d) {
    ++m_alike;
  } else {
    m_last_drawn = d;
    m_alike = 1;
  }
  if (m_alike <= ViewDrawerContext::SETTLED_AFTER) {
    m_left_out.reset();
    return false;
  }
  m_left_out = LeftOut{start_cell, now_cell, now_rect, now_elm};
  return true;
}

void SeqMessageDrawer::draw_left_out(int walk)
{
  if (!m_left_out)
    return;
  start_cell = m_left_out->start_cell;
  now_cell = m_left_out->now_cell;
  now_rect = m_left_out->now_rect;
  now_elm = m_left_out->now_elm;
  m_left_out.reset();
  // Nothing was drawn since the visit: the cairo state is the one it
  // started from.
  m_last_drawn.reset();
  if (walk == 0)
    draw_message();
  else
    draw_msg_line();
}

std::optional<SeqMessageDrawer::WalkPlace> SeqMessageDrawer::first_dot_of_whole()
{
  const auto& dc = get_dc();
  if (!dc->whole || dc->zoom != 1.0)
    return std::nullopt;
  struct FirstDot {
    bool known = false;
    std::optional<WalkPlace> place;
  };
  auto& kept = dc->whole->kept<FirstDot>();
  if (!kept.known) {
    kept.place = find_first_dot(dc->whole->rect);
    kept.known = true;
  }
  return kept.place;
}

std::optional<SeqMessageDrawer::WalkPlace> SeqMessageDrawer::find_first_dot(const cairo_rectangle_int_t& whole)
{
  // The walks of draw() over the whole, with the tests that decide a dot:
  // a message in a cell without a life line (found), a tip there (lost).
  // Each walk meets the places in order, so its first dot is the first.
  const auto region = Cairo::Region::create(whole);
  std::optional<WalkPlace> first;
  each_met<SeqMessage>(region, [&] {
    if (!first && !life_line_of(*now_elm))
      first = WalkPlace{0, now_cell.y, now_cell.x};
  });
  if (first)
    return first;
  each_met<SeqMsgLine>(region, [&] {
    const auto line = std::dynamic_pointer_cast<SeqMsgLine>(now_elm);
    if (!first && line && is_tip(*line) && !life_line_of(*now_elm))
      first = WalkPlace{1, now_cell.y, now_cell.x};
  });
  return first;
}

void SeqMessageDrawer::catch_up(const WalkPlace& place)
{
  // A dot in the visited cell itself is this part's to draw, in its turn.
  if (!m_first_dot || m_past_first_dot || !(*m_first_dot < place))
    return;
  get_dc()->set_antialias_off(true);
  m_past_first_dot = true;
}

void SeqMessageDrawer::dot(double x, double y)
{
  const auto& cr = get_cr();
  const auto& dc = get_dc();
  const Cairo::Antialias before = cr->get_antialias();
  dc->set_antialias_off(false);
  cr->arc(x, y, m_radius, 0, 2 * std::numbers::pi);
  cr->fill();
  // At zoom 1 the lines stay crisp after the dot; at any other zoom the
  // drawing goes on as it was.
  if (dc->zoom == 1.0)
    dc->set_antialias_off(true);
  else
    cr->set_antialias(before);
}

} // namespace velkaro
