#include "seq/doc/life_line.h"

#include <typeinfo>

#include <glib.h>

#include "common/check.h"
#include "model/element_cells.h"
#include "model/serializing_reader.h"
#include "model/serializing_writer.h"
#include "seq/doc/exec_spec.h"
#include "seq/doc/life_head.h"
#include "seq/doc/message.h"
#include "seq/doc/share_rules.h"
#include "seq/doc/xml_values.h"

namespace velkaro {
namespace {

// What a message without lines adds to the cell it starts from.
constexpr double ONLY_MESSAGE_WIDTH = 35.0 / 3.0;
constexpr double ONLY_MESSAGE_HEIGHT = 17.5;

} // namespace

std::shared_ptr<SeqLifeLine> SeqLifeLine::create_with_head(const ElementPtr& head)
{
  VK_CHECK_VAL(head != nullptr, nullptr);
  auto ll = create();
  ll->set_parent(head);
  return ll;
}

std::shared_ptr<SeqLifeLine> SeqLifeLine::create_with_ll(const std::shared_ptr<SeqLifeLine>& ll)
{
  VK_CHECK_VAL(ll != nullptr, nullptr);
  auto cell = create();
  cell->set_parent(ll->get_head());
  return cell;
}

std::shared_ptr<SeqLifeHead> SeqLifeLine::get_head() const
{
  return std::dynamic_pointer_cast<SeqLifeHead>(get_parent());
}

ModelElement::ElementPtr SeqLifeLine::sibling_at(int32_t dy) const
{
  const auto cells = get_cells();
  const ElementPtr parent = get_parent();
  if (!cells || !parent || !stored)
    return nullptr;
  // Only while the element stands where it says: the line operations move
  // cells before they bring the positions up to date.
  // The covering index knows where the element stands without walking its
  // chain: every cell of a long chain asks.
  const auto own = cells->find(*this);
  if (!own || CellPos{own->h, own->v} != pos)
    return nullptr;
  const ElementPtr chain = cells->get(pos.x, pos.y + dy);
  if (!chain)
    return nullptr;
  for (ElementPtr e = chain; e; e = e->get_next()) {
    const ModelElement& c = *e;
    if (typeid(c) == typeid(SeqLifeLine) && c.get_role() == get_role() && c.get_parent() == parent &&
        c.pos == CellPos{pos.x, pos.y + dy})
      return e;
  }
  return nullptr;
}

ModelElement::ElementPtr SeqLifeLine::get_upper() const
{
  if (ElementPtr above = sibling_at(-1))
    return above;
  return ModelElement::get_upper();
}

ModelElement::ElementPtr SeqLifeLine::get_lower() const
{
  if (ElementPtr below = sibling_at(1))
    return below;
  return ModelElement::get_lower();
}

std::shared_ptr<SeqLifeLine> SeqLifeLine::get_next_ll() const
{
  return std::dynamic_pointer_cast<SeqLifeLine>(get_lower());
}

std::shared_ptr<SeqLifeLine> SeqLifeLine::get_prev_ll() const
{
  return std::dynamic_pointer_cast<SeqLifeLine>(get_upper());
}

std::shared_ptr<SeqExecSpec> SeqLifeLine::get_es() const
{
  return seek<SeqExecSpec>(0);
}

int32_t SeqLifeLine::es_end(int32_t dir) const
{
  return endrole<SeqExecSpec>(dir);
}

void SeqLifeLine::set_in_process(bool b)
{
  const auto head = get_head();
  VK_CHECK(head != nullptr);
  head->set_in_process(b);
}

std::vector<ModelElement::ElementPtr> SeqLifeLine::obstacles()
{
  return seq_pattern_obstacles(SeqShareKind::life_line, *this);
}

void SeqLifeLine::write_in_top()
{
  if (SerializingWriter* writer = get_writer())
    (void)writer->write_attribute("has_stop", seq_xml::bool_word(has_stop));
}

void SeqLifeLine::read_in_top()
{
  if (SerializingReader* reader = get_reader())
    has_stop = seq_xml::read_required_flag(*reader, "has_stop");
}

Rectangle SeqLifeLine::get_rect()
{
  // The grid asks every cell of a column for its rectangle whenever an
  // element of the column changes; the chain remembers what the seeks find
  // for all the life lines it holds.
  Rectangle rect;
  if (const auto es = seek<SeqExecSpec>(0))
    rect = es->get_rect_for_ll();
  for (const int32_t role : {0, 1}) {
    const auto msg = seek<SeqMessage>(role);
    if (msg && msg->get_is_only()) {
      rect.width += ONLY_MESSAGE_WIDTH;
      rect.height += ONLY_MESSAGE_HEIGHT;
      break;
    }
  }
  return rect;
}

} // namespace velkaro
