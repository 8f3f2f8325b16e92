// The sequence workspace's frame: its grid and cells, and the helpers its
// operations share.

#include "seq/doc/workspace.h"

#include "common/check.h"
#include "model/element.h"
#include "seq/doc/cells.h"
#include "seq/doc/frag_line.h"
#include "seq/doc/grid.h"
#include "seq/doc/life_line.h"
#include "seq/doc/message.h"
#include "seq/doc/msg_line.h"
#include "seq/doc/separator.h"
#include "seq/doc/text_element.h"

namespace velkaro {

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

void SeqWorkspace::chain_changed(const CellPos& pos, const ModelElement& elm)
{
  if (is_tmp)
    return;
  if (pos.y > 0)
    if (const ElementPtr above = elm_at({pos.x, pos.y - 1}))
      for (const auto& ll : above->extract<SeqLifeLine>(ANY_ROLE))
        relayout(ll);
  // The stored parent: the message, also after the line left it.
  if (dynamic_cast<const SeqMsgLine*>(&elm))
    if (const auto msg = std::dynamic_pointer_cast<SeqMessage>(elm.ModelElement::get_parent()))
      if (const auto ll = msg->get_ll())
        relayout(ll);
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
