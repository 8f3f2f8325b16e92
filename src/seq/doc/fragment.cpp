#include "seq/doc/fragment.h"

#include <array>
#include <string_view>

#include "seq/doc/frag_line.h"
#include "seq/doc/share_rules.h"
#include "seq/doc/text_element.h"

namespace velkaro {
namespace {

// Tried in this order; the first one the text starts with is the operator.
constexpr std::array<const char*, 12> operators{
    "ref",    "alt",    "opt", "par",    "loop",     "break",
    "critical", "assert", "neg", "ignore", "consider", "unknown",
};

constexpr const char* NO_OPERATOR = "unknown";

} // namespace

std::shared_ptr<SeqTextElement> SeqFragment::get_text_elm() const
{
  return seek<SeqTextElement>(ANY_ROLE);
}

std::string SeqFragment::get_text() const
{
  const auto text = get_text_elm();
  return text ? text->get_text() : std::string();
}

std::shared_ptr<SeqFragLine> SeqFragment::get_bottom_right() const
{
  const auto edge = a_child_of<SeqFragLine>(1);
  return edge ? std::dynamic_pointer_cast<SeqFragLine>(edge->get_bottom()) : nullptr;
}

const char* SeqFragment::get_operator() const
{
  const std::string text = get_text();
  const std::string_view view(text);
  for (const char* keyword : operators)
    if (view.starts_with(keyword))
      return keyword;
  return NO_OPERATOR;
}

std::vector<ModelElement::ElementPtr> SeqFragment::obstacles()
{
  return seq_pattern_obstacles(SeqShareKind::fragment, *this);
}

} // namespace velkaro
