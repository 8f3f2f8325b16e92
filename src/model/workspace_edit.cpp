// Edits of single elements: store, removal, replace, removal with
// descendants, cut, resize, and free text.

#include <algorithm>
#include <unordered_set>

#include <glib.h>

#include "common/cell_range.h"
#include "common/check.h"
#include "model/element.h"
#include "model/element_cells.h"
#include "model/workspace.h"
#include "model/workspace_diff.h"

namespace velkaro {

// --- store ------------------------------------------------------------------

const char* ModelWorkspace::refuse_store(const ModelElement& elm) const
{
  if (!cursor.get_is_valid() || !CellPos::in_range(int64_t{cursor.x} + elm.dh) ||
      !CellPos::in_range(int64_t{cursor.y} + elm.dv))
    return "it would cover a cell outside the grid";
  // Linking an element that is in a chain already would make the chain a
  // ring, or hang one chain in two cells.
  if (elm.get_prev())
    return "it is in a chain already";
  if (const ElementPtr head = get_c_elm(); head && (head->has_elm(elm) || elm.has_elm(*head)))
    return "it is in the chain at that cell already";
  if (elm.stored && elm.pos.get_is_valid() && elm_at(elm.pos).get() == &elm)
    return "it heads a stored chain";
  return nullptr;
}

bool ModelWorkspace::store(const ElementPtr& elm)
{
  return store_at(elm, -1);
}

bool ModelWorkspace::store_at(const ElementPtr& elm, int32_t index)
{
  VK_CHECK_VAL(elm != nullptr, false);
  if (const char* why = refuse_store(*elm)) {
    g_critical("ModelWorkspace::store: a %s cannot be stored at %s: %s", elm->get_type_name(),
               cursor.to_string().c_str(), why);
    return false;
  }
  record_add(cursor, elm);
  // The lines are laid out when the batch ends, after the element's own
  // insertion hook: a kind may set there what its box depends on (a text
  // its alignments).
  const LayoutBatch batch(*this);
  const auto cells = get_cells();
  const ElementPtr head = get_c_elm();
  elm->pos = cursor;
  if (!head)
    set_elm(cursor, elm, *elm);
  else if (index < 0)
    set_elm(cursor, head->add(elm), *elm);
  else
    set_elm(cursor, head->insert_at(elm, index), *elm);
  elm->inserted(*cells, cursor);
  return true;
}

void ModelWorkspace::set_elm(const CellPos& pos, const ElementPtr& head, const ModelElement& changed)
{
  ElementPtr chain = head;
  if (head)
    get_cells()->set(pos.x, pos.y, head);
  else
    chain = get_cells()->remove(pos.x, pos.y);
  // The lines of the whole chain, and those of the element that came or
  // went: a line it no longer covers may have to shrink. A kind may size an
  // element by what else its chain holds (a sequence life line by the
  // boxes on it), so each element of the chain is measured and laid out
  // again, not taken as it was.
  const auto cells = get_cells();
  if (chain)
    chain->foreach([&](const ElementPtr& e) {
      mark_lines(*e, pos);
      cells->forget_need(*e);
      if (!is_tmp)
        m_fresh.emplace(e.get(), e);
    });
  mark_lines(changed, pos);
  // A stored element is laid out whether or not its lines change size.
  if (!is_tmp && get_cells()->find(changed))
    m_fresh.emplace(&changed, changed.weak_from_this());
  {
    // What the kind names joins the lines marked above: all are laid out
    // once, when the outermost batch ends.
    const LayoutBatch batch(*this);
    chain_changed(pos, changed);
  }
}

void ModelWorkspace::relayout(const ElementPtr& elm)
{
  VK_CHECK(elm != nullptr);
  if (is_tmp)
    return;
  const auto cells = get_cells();
  const auto at = cells->find(*elm);
  if (!at)
    return;
  const LayoutBatch batch(*this);
  mark_lines(*elm, {at->h, at->v});
  cells->forget_need(*elm);
  m_fresh.emplace(elm.get(), elm);
}

// --- removal ----------------------------------------------------------------

CellPos ModelWorkspace::remove(const ElementPtr& elm)
{
  VK_CHECK_VAL(elm != nullptr, (CellPos{-1, -1}));
  const CellPos pos = anchor_of(elm);
  remove_on(pos, elm);
  return pos;
}

void ModelWorkspace::remove_on(const CellPos& pos, const ElementPtr& elm)
{
  // A removed element, a copy or an element dropped with a line may still
  // carry the stored flag: only the chain at pos counts.
  if (!elm->stored || !holds(pos, *elm))
    return;
  record_rm(pos, elm);
  const ElementPtr head = elm->remove(*get_cells());
  set_elm(pos, head, *elm);
}

void ModelWorkspace::replace(const ElementPtr& olde, const ElementPtr& newe)
{
  VK_CHECK(olde != nullptr);
  VK_CHECK(newe != nullptr);
  const CellPos pos = anchor_of(olde);
  cursor = pos;
  // Refused before anything changes, so that the old element is not lost.
  if (const char* why = refuse_store(*newe)) {
    g_critical("ModelWorkspace::replace: a %s cannot take the place of a %s at %s: %s",
               newe->get_type_name(), olde->get_type_name(), pos.to_string().c_str(), why);
    return;
  }
  const LayoutBatch batch(*this);
  newe->set_role(olde->get_role());
  remove_on(pos, olde);
  cursor = pos;
  store(newe);
}

std::optional<CellPos> ModelWorkspace::remove_all(const ElementPtr& elm, bool keep)
{
  if (!elm)
    return std::nullopt;
  const LayoutBatch batch(*this);
  std::vector<const ModelElement*> busy{elm.get()};
  for (const auto& child : elm->get_children())
    remove_all_in(child, busy);
  if (keep)
    return anchor_of(elm);
  return remove(elm);
}

void ModelWorkspace::remove_all_in(const ElementPtr& elm, std::vector<const ModelElement*>& busy)
{
  // A removed child leaves its parent's list, so the walk goes over a copy.
  // An element already being removed further up is skipped: parent links
  // that form a ring must not recurse for ever.
  if (!elm->stored || !holds(anchor_of(elm), *elm))
    return;
  if (std::find(busy.begin(), busy.end(), elm.get()) != busy.end())
    return;
  busy.push_back(elm.get());
  for (const auto& child : elm->get_children())
    remove_all_in(child, busy);
  busy.pop_back();
  remove(elm);
}

std::optional<CellPos> ModelWorkspace::cut(const ElementPtr& elm, bool force)
{
  VK_CHECK_VAL(elm != nullptr, std::nullopt);
  const LayoutBatch batch(*this);
  if (!force && !elm->get_is_cuttable())
    return remove_all(elm->get_parent(), false);
  // Every lower neighbour is found before anything goes, then they are cut
  // from the lowest up.
  std::vector<ElementPtr> lowers;
  std::unordered_set<const ModelElement*> seen{elm.get()};
  for (ElementPtr l = elm->get_lower(); l && seen.insert(l.get()).second; l = l->get_lower())
    lowers.push_back(l);
  for (auto it = lowers.rbegin(); it != lowers.rend(); ++it)
    remove_all(*it, false);
  return remove_all(elm, false);
}

// --- resize -----------------------------------------------------------------

int32_t ModelWorkspace::deltahv(CellDir d, const CellPos& pos, const CellRange& range)
{
  const int32_t e = range.end.get(d) - pos.get(d);
  return e != 0 ? e : range.start.get(d) - pos.get(d);
}

ModelWorkspace::ElementPtr ModelWorkspace::resize(const ElementPtr& elm, const CellRange& range,
                                                  const CellPos& newpos)
{
  VK_CHECK_VAL(elm != nullptr, nullptr);
  const CellPos p = newpos.get_is_valid() ? newpos : anchor_of(elm);
  return resize_hv(elm, deltah(p, range), deltav(p, range), newpos);
}

ModelWorkspace::ElementPtr ModelWorkspace::resize_hv(const ElementPtr& elm, int32_t dh, int32_t dv,
                                                     const CellPos& newpos)
{
  VK_CHECK_VAL(elm != nullptr, nullptr);
  if (dh < 0 || dv < 0)
    return elm;
  // The copy carries copies of elm's descendants, each naming the copy of
  // its parent: when the copy goes in, they take the places of the
  // descendants, so that the family stays whole in the document, in later
  // copies of it and through undo and redo.
  const ElementPtr copy = elm->copy_all(*get_cells(), false);
  copy->dh = dh;
  copy->dv = dv;
  // The resized element keeps its parent unless it picks another one.
  copy->set_parent(elm->get_parent());
  const CellPos p = newpos.get_is_valid() ? newpos : anchor_of(elm);
  const LayoutBatch batch(*this);
  const bool was_stored = elm->stored;
  if (was_stored)
    remove_on(p, elm);
  cursor = p;
  // Only the copy itself is tested: the copies of the descendants go where
  // the descendants stand now. A copy reaching outside the grid does not fit
  // either: store() would refuse it, and the element must not get lost.
  std::vector<ElementPtr> subs = std::move(copy->subs);
  copy->subs.clear();
  const bool fits = p.get_is_valid() && CellPos::in_range(int64_t{p.x} + dh) &&
                    CellPos::in_range(int64_t{p.y} + dv) && copy->could_store(*this, p);
  cursor = p;
  if (!fits || refuse_store(*copy)) {
    // Put back where it stood; an element that stood nowhere stays so.
    if (was_stored)
      store(elm);
    return elm;
  }
  remove_all(elm, true);
  copy->pick_parent(*this, get_c_elm());
  cursor = p;
  (void)store(copy);
  // Depth first without recursion, in the order of the children lists; the
  // copies are the document's elements from now on and carry nothing.
  std::vector<ElementPtr> pending(subs.rbegin(), subs.rend());
  while (!pending.empty()) {
    const ElementPtr sub = std::move(pending.back());
    pending.pop_back();
    pending.insert(pending.end(), sub->subs.rbegin(), sub->subs.rend());
    sub->subs.clear();
    cursor = sub->origpos;
    (void)store(sub);
  }
  cursor = p;
  return copy;
}

void ModelWorkspace::clear_in_process()
{
  get_cells()->clear_in_process();
}

// --- placement and free text ------------------------------------------------

bool ModelWorkspace::could_store(const ElementPtr& elm)
{
  VK_CHECK_VAL(elm != nullptr, false);
  const CellPos saved = cursor;
  const bool result = elm->could_store(*this, cursor);
  cursor = saved;
  return result;
}

bool ModelWorkspace::add_text(const CellPos& pos)
{
  cursor = pos;
  const ElementPtr text = make_text();
  if (!could_store(text))
    return false;
  text->pick_parent(*this, get_c_elm());
  if (!store(text))
    return false;
  signal_update();
  return true;
}

} // namespace velkaro
