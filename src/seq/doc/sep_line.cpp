#include "seq/doc/sep_line.h"

#include "common/check.h"
#include "seq/doc/frag_line.h"

namespace velkaro {

std::shared_ptr<SeqSepLine> SeqSepLine::create_with_sp(const ElementPtr& sp)
{
  VK_CHECK_VAL(sp != nullptr, nullptr);
  auto line = create();
  line->set_parent(sp);
  return line;
}

std::shared_ptr<SeqSeparator> SeqSepLine::get_sp() const
{
  return std::dynamic_pointer_cast<SeqSeparator>(get_parent());
}

std::shared_ptr<SeqFragLine> SeqSepLine::get_fl() const
{
  const auto sp = get_sp();
  return sp ? sp->get_fl() : nullptr;
}

} // namespace velkaro
