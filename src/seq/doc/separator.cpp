#include "seq/doc/separator.h"

#include "common/check.h"
#include "seq/doc/frag_line.h"
#include "seq/doc/share_rules.h"
#include "seq/doc/text_element.h"

namespace velkaro {

std::shared_ptr<SeqSeparator> SeqSeparator::create_with_fl(const ElementPtr& fl)
{
  VK_CHECK_VAL(fl != nullptr, nullptr);
  auto sp = create();
  sp->set_parent(fl);
  return sp;
}

std::shared_ptr<SeqFragLine> SeqSeparator::get_fl() const
{
  return std::dynamic_pointer_cast<SeqFragLine>(get_parent());
}

std::shared_ptr<SeqTextElement> SeqSeparator::get_text_elm() const
{
  return a_child_of<SeqTextElement>(ANY_ROLE);
}

std::vector<ModelElement::ElementPtr> SeqSeparator::obstacles()
{
  return seq_pattern_obstacles(SeqShareKind::separator, *this);
}

} // namespace velkaro
