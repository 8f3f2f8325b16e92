#include "seq/doc/cells.h"

#include <array>
#include <functional>

#include "common/check.h"
#include "seq/doc/exec_spec.h"
#include "seq/doc/frag_line.h"
#include "seq/doc/fragment.h"
#include "seq/doc/life_head.h"
#include "seq/doc/life_line.h"
#include "seq/doc/message.h"
#include "seq/doc/msg_line.h"
#include "seq/doc/msg_type.h"
#include "seq/doc/sep_line.h"
#include "seq/doc/separator.h"
#include "seq/doc/text_element.h"

namespace velkaro {
namespace {

struct Kind {
  const char* name;
  std::shared_ptr<ModelElement> (*make)();
};

template <class T>
std::shared_ptr<ModelElement> make()
{
  return std::make_shared<T>();
}

// The names of the vocabulary, compared exactly in this order.
constexpr std::array<Kind, 11> kinds{{
    {"life_head", make<SeqLifeHead>},
    {"life_line", make<SeqLifeLine>},
    {"message", make<SeqMessage>},
    {"message_type", make<SeqMsgType>},
    {"message_line", make<SeqMsgLine>},
    {"execution_specification", make<SeqExecSpec>},
    {"fragment", make<SeqFragment>},
    {"fragment_line", make<SeqFragLine>},
    {"separator", make<SeqSeparator>},
    {"separator-line", make<SeqSepLine>},
    {"seq_text", make<SeqTextElement>},
}};

} // namespace

SeqCells::ElementPtr SeqCells::bear(const std::string& name)
{
  for (const Kind& kind : kinds)
    if (name == kind.name)
      return kind.make();
  return ModelElementCells::bear(name);
}

} // namespace velkaro
