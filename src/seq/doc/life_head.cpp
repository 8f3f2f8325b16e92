#include "seq/doc/life_head.h"

#include <algorithm>

#include "model/workspace.h"
#include "seq/doc/share_rules.h"
#include "seq/doc/text_element.h"

namespace velkaro {
namespace {

constexpr double TEXT_MARGIN = 8.0;
constexpr double MIN_WIDTH = 89.0;

} // namespace

std::shared_ptr<SeqTextElement> SeqLifeHead::get_text_elm() const
{
  return seek<SeqTextElement>(ANY_ROLE);
}

std::string SeqLifeHead::get_text() const
{
  const auto text = get_text_elm();
  return text ? text->get_text() : std::string();
}

std::vector<ModelElement::ElementPtr> SeqLifeHead::obstacles()
{
  std::vector<ElementPtr> found;
  const auto ws = get_ws();
  if (!ws)
    return found;
  ws->move_to(wpos);
  // Nothing shares the head's own cell.
  if (const ElementPtr own = ws->get_c_elm())
    own->foreach([&found](const ElementPtr& e) { found.push_back(e); });
  ws->move_v(1);
  seq_chain_obstacles(SeqShareKind::life_head_below, *this, ws->get_c_elm(), found);
  ws->move_v(1);
  return found;
}

void SeqLifeHead::layout(const Rectangle& box)
{
  m_rect.x = box.x + (box.width - m_rect.width) / 2.0;
  m_rect.y = box.y + (box.height - m_rect.height) / 2.0;
}

Rectangle SeqLifeHead::get_rect()
{
  const auto text = get_text_elm();
  if (!text)
    return m_rect;
  const Rectangle r = text->get_rect();
  m_rect.width = std::max(r.width + TEXT_MARGIN, MIN_WIDTH);
  m_rect.height = r.height + TEXT_MARGIN;
  return m_rect;
}

} // namespace velkaro
