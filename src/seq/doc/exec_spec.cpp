#include "seq/doc/exec_spec.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_set>

#include "common/check.h"
#include "model/serializing_reader.h"
#include "model/serializing_writer.h"
#include "seq/doc/life_line.h"
#include "seq/doc/xml_values.h"

namespace velkaro {
namespace {

// The height a box adds to the cell it starts in, and to the one it ends in.
constexpr double BOX_END_HEIGHT = 4.0;
// The width of one nesting level on each side of the life line.
constexpr double LEVEL_WIDTH = 8.0;

// Follows step from start while it gives an element; the last one reached.
// Boxes read from a document could lead round in a ring: an element met
// again ends the walk.
template <class Step>
std::shared_ptr<SeqExecSpec> walk(std::shared_ptr<SeqExecSpec> e, Step step)
{
  std::unordered_set<const SeqExecSpec*> seen{e.get()};
  for (auto next = step(*e); next && seen.insert(next.get()).second; next = step(*e))
    e = std::move(next);
  return e;
}

} // namespace

std::shared_ptr<SeqExecSpec> SeqExecSpec::create(int32_t role, bool top)
{
  auto es = create();
  es->set_role(role);
  es->m_top = top;
  return es;
}

std::shared_ptr<SeqExecSpec> SeqExecSpec::create_from(const std::shared_ptr<SeqExecSpec>& from)
{
  VK_CHECK_VAL(from != nullptr, nullptr);
  return create(from->get_role(), false);
}

std::shared_ptr<SeqLifeLine> SeqExecSpec::get_ll() const
{
  return seek<SeqLifeLine>(0);
}

ModelElement::ElementPtr SeqExecSpec::get_parent() const
{
  return get_ll();
}

std::shared_ptr<SeqExecSpec> SeqExecSpec::next_in(const std::shared_ptr<SeqLifeLine>& next_ll) const
{
  if (!next_ll)
    return nullptr;
  const auto next = next_ll->seek<SeqExecSpec>(get_role());
  return next && !next->m_top ? next : nullptr;
}

std::shared_ptr<SeqExecSpec> SeqExecSpec::get_next_es() const
{
  const auto ll = get_ll();
  return ll ? next_in(ll->get_next_ll()) : nullptr;
}

std::shared_ptr<SeqExecSpec> SeqExecSpec::get_prev_es() const
{
  if (m_top)
    return nullptr;
  const auto ll = get_ll();
  const auto prev_ll = ll ? ll->get_prev_ll() : nullptr;
  return prev_ll ? prev_ll->seek<SeqExecSpec>(get_role()) : nullptr;
}

std::shared_ptr<SeqExecSpec> SeqExecSpec::get_top_es() const
{
  return walk(std::static_pointer_cast<SeqExecSpec>(std::const_pointer_cast<ModelElement>(
                  shared_from_this())),
              [](const SeqExecSpec& e) { return e.get_prev_es(); });
}

std::shared_ptr<SeqExecSpec> SeqExecSpec::get_bottom_es() const
{
  return walk(std::static_pointer_cast<SeqExecSpec>(std::const_pointer_cast<ModelElement>(
                  shared_from_this())),
              [](const SeqExecSpec& e) { return e.get_next_es(); });
}

double SeqExecSpec::calcheight(int32_t step, int32_t& level) const
{
  const auto ll = get_ll();
  return ll ? calcheight_in(*ll, ll->get_next_ll(), step, level) : 0.0;
}

double SeqExecSpec::calcheight_in(const SeqLifeLine& ll, const std::shared_ptr<SeqLifeLine>& next_ll,
                                  int32_t step, int32_t& level) const
{
  // A loop over the levels present rather than a call per level.
  double h = 0.0;
  for (auto f = ll.seek<SeqExecSpec>(level); f; f = ll.seek<SeqExecSpec>(level)) {
    if (f->m_top)
      h += BOX_END_HEIGHT;
    if (!next_ll || !f->next_in(next_ll))
      h += BOX_END_HEIGHT;
    level += step;
  }
  return h;
}

Rectangle SeqExecSpec::get_rect_for_ll()
{
  const auto ll = get_ll();
  if (!ll || get_role() != 0)
    return m_rect;
  // The grid asks for this whenever the column changes: the next cell is
  // looked up once.
  const auto next_ll = ll->get_next_ll();
  double h = m_top ? BOX_END_HEIGHT : 0.0;
  if (!next_ll || !next_in(next_ll))
    h += BOX_END_HEIGHT;
  int32_t up = 1;
  int32_t down = -1;
  const double hu = calcheight_in(*ll, next_ll, 1, up);
  const double hd = calcheight_in(*ll, next_ll, -1, down);
  h += hu > hd ? hu : hd;
  const int32_t depth = std::max(std::abs(down), up);
  m_rect.width = (depth + 1) * LEVEL_WIDTH;
  m_rect.height = h;
  return m_rect;
}

void SeqExecSpec::set_is_top(bool b)
{
  m_top = b;
  signal_notify().emit("is-top");
}

void SeqExecSpec::set_in_process(bool b)
{
  if (!get_ll()) {
    in_process = b;
    return;
  }
  std::unordered_set<const SeqExecSpec*> seen;
  for (auto e = get_top_es(); e && seen.insert(e.get()).second; e = e->get_next_es())
    e->in_process = b;
}

void SeqExecSpec::write_in_top()
{
  if (SerializingWriter* writer = get_writer())
    seq_xml::write_flag_if_set(*writer, "top", m_top);
}

void SeqExecSpec::read_in_top()
{
  if (SerializingReader* reader = get_reader())
    m_top = seq_xml::read_flag(*reader, "top");
}

} // namespace velkaro
