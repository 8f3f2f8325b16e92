#include "seq/doc/share_rules.h"

#include <array>
#include <typeinfo>

#include "seq/doc/exec_spec.h"
#include "seq/doc/frag_line.h"
#include "seq/doc/life_line.h"
#include "seq/doc/message.h"
#include "seq/doc/msg_line.h"
#include "seq/doc/msg_type.h"
#include "seq/doc/separator.h"

namespace velkaro {
namespace {

// One way in which a visited element may share the cell of the tested one.
using Clause = bool (*)(const ModelElement& tested, const ModelElement& visited);

template <class T>
bool is_a(const ModelElement&, const ModelElement& v)
{
  return dynamic_cast<const T*>(&v) != nullptr;
}

template <class T>
bool exactly(const ModelElement&, const ModelElement& v)
{
  return typeid(v) == typeid(T);
}

bool in_process(const ModelElement&, const ModelElement& v)
{
  return v.get_is_in_process();
}

template <int Dir>
bool frame_line_of_dir(const ModelElement&, const ModelElement& v)
{
  return dynamic_cast<const SeqFragLine*>(&v) && v.get_role() == Dir;
}

template <int Dir>
bool exactly_frame_line_of_dir(const ModelElement& t, const ModelElement& v)
{
  return exactly<SeqFragLine>(t, v) && v.get_role() == Dir;
}

bool frame_line_across(const ModelElement& t, const ModelElement& v)
{
  return dynamic_cast<const SeqFragLine*>(&v) && v.get_role() != t.get_role();
}

// For a vertical frame line: what crosses a left or right edge.
bool across_vertical_edge(const ModelElement& t, const ModelElement& v)
{
  return t.get_role() == 1 && (is_a<SeqMsgLine>(t, v) || is_a<SeqSeparator>(t, v));
}

// For a horizontal frame line: what crosses a top or bottom edge.
bool across_horizontal_edge(const ModelElement& t, const ModelElement& v)
{
  return t.get_role() == 0 && (is_a<SeqLifeLine>(t, v) || is_a<SeqExecSpec>(t, v));
}

bool msg_line_not_tip(const ModelElement&, const ModelElement& v)
{
  const auto* line = dynamic_cast<const SeqMsgLine*>(&v);
  return line && !line->get_is_tip();
}

bool top_left_frame_line(const ModelElement&, const ModelElement& v)
{
  const auto* line = dynamic_cast<const SeqFragLine*>(&v);
  return line && line->is_topleft;
}

int32_t right_of(const ModelElement& e)
{
  if (const auto* line = dynamic_cast<const SeqMsgLine*>(&e))
    return line->get_right();
  return e.get_role();
}

bool message_other_direction(const ModelElement& t, const ModelElement& v)
{
  return is_a<SeqMessage>(t, v) && v.get_role() != right_of(t);
}

bool message_same_direction(const ModelElement& t, const ModelElement& v)
{
  return is_a<SeqMessage>(t, v) && v.get_role() == right_of(t);
}

// Two arrows of opposite directions that both end in the cell.
bool meeting_tip(const ModelElement& t, const ModelElement& v)
{
  const auto* tested = dynamic_cast<const SeqMsgLine*>(&t);
  const auto* line = dynamic_cast<const SeqMsgLine*>(&v);
  return tested && line && line->get_right() != tested->get_right() && line->get_is_tip() &&
         tested->get_is_tip();
}

struct Row {
  SeqShareKind kind;
  std::array<Clause, 6> may_share;
};

// The kind under test, and the visited elements that may share its cell.
constexpr std::array<Row, 8> share_table{{
    {SeqShareKind::text, {msg_line_not_tip, top_left_frame_line}},
    {SeqShareKind::fragment, {in_process}},
    {SeqShareKind::frag_line,
     {in_process, across_vertical_edge, across_horizontal_edge, frame_line_across}},
    {SeqShareKind::separator,
     {in_process, exactly_frame_line_of_dir<1>, exactly<SeqLifeLine>, exactly<SeqExecSpec>}},
    {SeqShareKind::life_head_below, {is_a<SeqMsgLine>, is_a<SeqSeparator>, frame_line_of_dir<0>}},
    {SeqShareKind::life_line, {is_a<SeqMsgLine>, is_a<SeqSeparator>, frame_line_of_dir<0>}},
    {SeqShareKind::message,
     {is_a<SeqLifeLine>, is_a<SeqExecSpec>, is_a<SeqMsgType>, message_other_direction}},
    {SeqShareKind::msg_line,
     {is_a<SeqLifeLine>, is_a<SeqExecSpec>, is_a<SeqMsgType>, frame_line_of_dir<1>,
      message_same_direction, meeting_tip}},
}};

} // namespace

bool seq_may_share(SeqShareKind kind, const ModelElement& tested, const ModelElement& visited)
{
  for (const Row& row : share_table) {
    if (row.kind != kind)
      continue;
    for (Clause clause : row.may_share)
      if (clause && clause(tested, visited))
        return true;
    break;
  }
  return false;
}

void seq_chain_obstacles(SeqShareKind kind, const ModelElement& tested,
                         const std::shared_ptr<ModelElement>& head,
                         std::vector<std::shared_ptr<ModelElement>>& found)
{
  if (!head)
    return;
  head->foreach([&](const std::shared_ptr<ModelElement>& e) {
    if (!seq_may_share(kind, tested, *e))
      found.push_back(e);
  });
}

std::vector<std::shared_ptr<ModelElement>> seq_pattern_obstacles(SeqShareKind kind,
                                                                  const ModelElement& tested)
{
  std::vector<std::shared_ptr<ModelElement>> found;
  seq_chain_obstacles(kind, tested, tested.get_c_elm(), found);
  return found;
}

} // namespace velkaro
