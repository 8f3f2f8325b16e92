// What the sequence workspace tells the base line and block operations:
// how its elements continue into an inserted row or column, what survives a
// removed row, and which elements a block cut takes.

#include <array>
#include <typeinfo>

#include "common/check.h"
#include "seq/doc/exec_spec.h"
#include "seq/doc/frag_line.h"
#include "seq/doc/fragment.h"
#include "seq/doc/life_head.h"
#include "seq/doc/life_line.h"
#include "seq/doc/message.h"
#include "seq/doc/msg_line.h"
#include "seq/doc/sep_line.h"
#include "seq/doc/text_element.h"
#include "seq/doc/workspace.h"

namespace velkaro {
namespace {

using ElementPtr = std::shared_ptr<ModelElement>;

enum class Fill { upper, left, right };

// One continuation rule: for the hook, an element of exactly the type, when
// the condition holds, gets the element made for the gap cell. Rules of
// frame lines do nothing when the gap cell already holds a part of the
// line's fragment.
struct FillRule {
  Fill hook;
  const std::type_info& type;
  bool (*applies)(const ModelElement& felm);
  ElementPtr (*make)(const ElementPtr& felm);
  bool frame_line;
};

template <class T>
const T& as(const ModelElement& e)
{
  return static_cast<const T&>(e);
}

template <class T>
std::shared_ptr<T> as(const ElementPtr& e)
{
  return std::static_pointer_cast<T>(e);
}

bool always(const ModelElement&)
{
  return true;
}

bool not_first_of_run(const ModelElement& e)
{
  return !e.get_is_top();
}

// Every vertical frame line but the top-right corner, above which lies
// nothing of the frame.
bool vertical_below_the_top(const ModelElement& e)
{
  const auto& line = as<SeqFragLine>(e);
  return line.get_dir() == 1 && !(line.is_start && !line.is_topleft);
}

bool horizontal(const ModelElement& e)
{
  return as<SeqFragLine>(e).get_dir() == 0;
}

// A corner of the right edge, left of which the top or bottom edge runs.
bool right_corner(const ModelElement& e)
{
  const auto& line = as<SeqFragLine>(e);
  return line.get_dir() == 1 && !line.is_topleft && (line.is_start || line.is_end);
}

int32_t msg_right_of(const ModelElement& e)
{
  const auto msg = as<SeqMsgLine>(e).get_msg();
  return msg ? msg->get_right() : 0;
}

bool going_right(const ModelElement& e)
{
  return msg_right_of(e) == 1;
}

bool going_left(const ModelElement& e)
{
  return as<SeqMsgLine>(e).get_msg() && msg_right_of(e) != 1;
}

ElementPtr life_line_cell(const ElementPtr& e)
{
  return SeqLifeLine::create_with_ll(as<SeqLifeLine>(e));
}

ElementPtr spec_cell(const ElementPtr& e)
{
  return SeqExecSpec::create_from(as<SeqExecSpec>(e));
}

ElementPtr message_line(const ElementPtr& e)
{
  return SeqMsgLine::create_with_msg(as<SeqMsgLine>(*e).get_msg());
}

ElementPtr same_frame_line(const ElementPtr& e)
{
  const auto& line = as<SeqFragLine>(*e);
  return SeqFragLine::create_with_frag(line.get_parent(), line.get_dir(), line.is_topleft);
}

ElementPtr edge_beside_corner(const ElementPtr& e)
{
  const auto& line = as<SeqFragLine>(*e);
  return SeqFragLine::create_with_frag(line.get_parent(), 0, line.is_start);
}

ElementPtr separator_line(const ElementPtr& e)
{
  return SeqSepLine::create_with_sp(as<SeqSepLine>(*e).get_sp());
}

const std::array<FillRule, 8> fill_rules{{
    {Fill::upper, typeid(SeqLifeLine), always, life_line_cell, false},
    {Fill::upper, typeid(SeqExecSpec), not_first_of_run, spec_cell, false},
    {Fill::upper, typeid(SeqFragLine), vertical_below_the_top, same_frame_line, true},
    {Fill::right, typeid(SeqMsgLine), going_left, message_line, false},
    {Fill::left, typeid(SeqMsgLine), going_right, message_line, false},
    {Fill::left, typeid(SeqFragLine), horizontal, same_frame_line, true},
    {Fill::left, typeid(SeqFragLine), right_corner, edge_beside_corner, true},
    {Fill::left, typeid(SeqSepLine), always, separator_line, false},
}};

// The cell holds an element of fm's family.
bool holds_part_of(const ElementPtr& head, const ElementPtr& fm)
{
  bool found = false;
  if (head && fm)
    head->foreach([&](const ElementPtr& e) { found = found || e->get_parent() == fm; });
  return found;
}

} // namespace

void SeqWorkspace::fill_upper(const ElementPtr& felm)
{
  VK_CHECK(felm != nullptr);
  fill(static_cast<int>(Fill::upper), felm);
}

void SeqWorkspace::fill_right(const ElementPtr& felm)
{
  VK_CHECK(felm != nullptr);
  fill(static_cast<int>(Fill::right), felm);
}

void SeqWorkspace::fill_left(const ElementPtr& felm)
{
  VK_CHECK(felm != nullptr);
  fill(static_cast<int>(Fill::left), felm);
}

void SeqWorkspace::fill(int hook, const ElementPtr& felm)
{
  const ModelElement& filled = *felm;
  for (const FillRule& rule : fill_rules) {
    if (static_cast<int>(rule.hook) != hook || typeid(filled) != rule.type || !rule.applies(filled))
      continue;
    if (rule.frame_line && holds_part_of(get_c_elm(), felm->get_parent()))
      return;
    put(rule.make(felm));
    return;
  }
}

std::vector<SeqWorkspace::ElementPtr> SeqWorkspace::remove_row_elms(const ElementPtr& elm)
{
  VK_CHECK_VAL(elm != nullptr, std::vector<ElementPtr>{});
  for (const auto& es : elm->extract<SeqExecSpec>(ANY_ROLE)) {
    const auto next = es->get_next_es();
    if (!es->get_is_top() || !next)
      continue;
    const ElementPtr copy = next->copy_all(*get_cells(), false);
    copy->set_is_top(true);
    replace_family(next, copy);
  }
  return ModelWorkspace::remove_row_elms(elm);
}

bool SeqWorkspace::range_cut_target(const ModelElement& elm, bool take_lines, CellDir axis)
{
  if (dynamic_cast<const SeqLifeHead*>(&elm) || dynamic_cast<const SeqTextElement*>(&elm) ||
      dynamic_cast<const SeqMessage*>(&elm) || dynamic_cast<const SeqFragment*>(&elm))
    return true;
  if (!take_lines)
    return false;
  if (axis == CellDir::v)
    return dynamic_cast<const SeqMsgLine*>(&elm) != nullptr;
  if (axis == CellDir::h)
    return dynamic_cast<const SeqLifeLine*>(&elm) || dynamic_cast<const SeqExecSpec*>(&elm);
  return false;
}

} // namespace velkaro
