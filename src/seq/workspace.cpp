// The sequence workspace's frame: its grid and cells, the slots through
// which the base line and block operations ask it about its elements, and
// the helpers its operations share.

#include "seq/workspace.h"

#include <glib.h>

#include "common/check.h"
#include "model/element.h"
#include "seq/cells.h"
#include "seq/exec_spec.h"
#include "seq/frag_line.h"
#include "seq/fragment.h"
#include "seq/grid.h"
#include "seq/life_head.h"
#include "seq/life_line.h"
#include "seq/message.h"
#include "seq/msg_line.h"
#include "seq/sep_line.h"
#include "seq/separator.h"
#include "seq/text_element.h"

namespace velkaro {
namespace {

template <class T>
bool exactly(const ModelElement& e)
{
  return typeid(e) == typeid(T);
}

// The cursor cell holds an element of fm's family.
bool holds_part_of(const std::shared_ptr<ModelElement>& head, const std::shared_ptr<ModelElement>& fm)
{
  if (!head || !fm)
    return false;
  bool found = false;
  head->foreach([&](const std::shared_ptr<ModelElement>& e) { found = found || e->get_parent() == fm; });
  return found;
}

} // namespace

void SeqWorkspace::init()
{
  ModelWorkspace::init();
  grid = SeqGrid::create();
  set_cells(SeqCells::create());
  tmp_cells = SeqCells::create();
}

SeqWorkspace::ElementPtr SeqWorkspace::make_text()
{
  return SeqTextElement::create();
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

// --- line continuation --------------------------------------------------------

void SeqWorkspace::fill_upper(const ElementPtr& felm)
{
  VK_CHECK(felm != nullptr);
  if (exactly<SeqLifeLine>(*felm)) {
    put(SeqLifeLine::create_with_ll(std::static_pointer_cast<SeqLifeLine>(felm)));
  } else if (exactly<SeqExecSpec>(*felm)) {
    if (!felm->get_is_top())
      put(SeqExecSpec::create_from(std::static_pointer_cast<SeqExecSpec>(felm)));
  } else if (exactly<SeqFragLine>(*felm)) {
    const auto& line = static_cast<const SeqFragLine&>(*felm);
    // The top-right corner starts the frame's right edge: above it lies
    // nothing of the frame.
    const bool top_right = line.is_start && !line.is_topleft;
    const ElementPtr fm = line.get_parent();
    if (line.get_dir() == 1 && !top_right && fm && !holds_part_of(get_c_elm(), fm))
      put(SeqFragLine::create_with_frag(fm, 1, line.is_topleft));
  }
}

void SeqWorkspace::fill_right(const ElementPtr& felm)
{
  VK_CHECK(felm != nullptr);
  if (!exactly<SeqMsgLine>(*felm))
    return;
  const auto msg = static_cast<const SeqMsgLine&>(*felm).get_msg();
  if (msg && msg->get_right() != 1)
    put(SeqMsgLine::create_with_msg(msg));
}

void SeqWorkspace::fill_left(const ElementPtr& felm)
{
  VK_CHECK(felm != nullptr);
  if (exactly<SeqMsgLine>(*felm)) {
    const auto msg = static_cast<const SeqMsgLine&>(*felm).get_msg();
    if (msg && msg->get_right() == 1)
      put(SeqMsgLine::create_with_msg(msg));
  } else if (exactly<SeqFragLine>(*felm)) {
    const auto& line = static_cast<const SeqFragLine&>(*felm);
    const ElementPtr fm = line.get_parent();
    if (!fm || holds_part_of(get_c_elm(), fm))
      return;
    if (line.get_dir() == 0)
      put(SeqFragLine::create_with_frag(fm, 0, line.is_topleft));
    else if (!line.is_topleft && (line.is_start || line.is_end))
      // Left of a corner of the right edge, the top or bottom edge goes on.
      put(SeqFragLine::create_with_frag(fm, 0, line.is_start));
  } else if (exactly<SeqSepLine>(*felm)) {
    if (const auto sp = static_cast<const SeqSepLine&>(*felm).get_sp())
      put(SeqSepLine::create_with_sp(sp));
  }
}

// --- row removal --------------------------------------------------------------

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

// --- queries at the cursor ----------------------------------------------------

std::shared_ptr<SeqFragLine> SeqWorkspace::get_c_fl() const
{
  const ElementPtr head = get_c_elm();
  return head ? head->seek<SeqFragLine>(ANY_ROLE) : nullptr;
}

std::shared_ptr<SeqSeparator> SeqWorkspace::get_c_sp() const
{
  const ElementPtr head = get_c_elm();
  return head ? head->seek<SeqSeparator>(ANY_ROLE) : nullptr;
}

// --- shared helpers -----------------------------------------------------------

bool SeqWorkspace::can_put(const ElementPtr& elm)
{
  return elm && cursor.get_is_valid() && could_store(elm);
}

bool SeqWorkspace::put(const ElementPtr& elm)
{
  return elm && store(elm);
}

void SeqWorkspace::replace_family(const ElementPtr& olde, const ElementPtr& newe)
{
  std::vector<ElementPtr> attached;
  for (const auto& child : olde->get_children())
    if (child->stored && anchor_of(child).get_is_valid())
      attached.push_back(child);
  replace(olde, newe);
  // Refused (the old element stays): nothing moves.
  if (!newe->stored || !anchor_of(newe).get_is_valid())
    return;
  for (const auto& child : attached)
    rehome(child, newe);
}

void SeqWorkspace::rehome(const ElementPtr& child, const ElementPtr& newp)
{
  // An earlier child may have taken this one along.
  if (!child->stored || !anchor_of(child).get_is_valid())
    return;
  const ElementPtr copy = child->copy_all(*get_cells(), false);
  // Kinds whose parent is computed (an execution specification finds its
  // life line in its cell) store none.
  if (child->ModelElement::get_parent())
    copy->set_parent(newp);
  remove_all(child, false);
  store_family(copy);
}

void SeqWorkspace::store_family(const ElementPtr& copy)
{
  move_to(copy->origpos);
  copy->pick_parent(*this, get_c_elm());
  move_to(copy->origpos);
  put(copy);
  // Once stored, a copy carries nothing any more.
  const std::vector<ElementPtr> subs = std::move(copy->subs);
  copy->subs.clear();
  for (const auto& sub : subs)
    store_family(sub);
}

} // namespace velkaro
