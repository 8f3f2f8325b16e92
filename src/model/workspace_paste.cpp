// Placement tests at the cursor, and putting copies of elements back into
// the document.

#include <glib.h>

#include "common/c_resource.h"
#include "common/check.h"
#include "model/element.h"
#include "model/element_cells.h"
#include "model/workspace.h"

namespace velkaro {
namespace {

// copy and every copy it carries, moved by delta, cover only cells of the
// grid.
bool lands_in_grid(const ModelElement& copy, const CellPos& delta)
{
  const int64_t x = int64_t{copy.origpos.x} + delta.x;
  const int64_t y = int64_t{copy.origpos.y} + delta.y;
  if (!CellPos::in_range(x) || !CellPos::in_range(y) || !CellPos::in_range(x + copy.dh) ||
      !CellPos::in_range(y + copy.dv))
    return false;
  for (const auto& sub : copy.subs)
    if (!lands_in_grid(*sub, delta))
      return false;
  return true;
}

} // namespace

std::vector<ModelWorkspace::ElementPtr> ModelWorkspace::obstacles(const ElementPtr& elm)
{
  VK_CHECK_VAL(elm != nullptr, std::vector<ElementPtr>{});
  const CellPos saved = cursor;
  auto found = elm->get_obstacles(*this, cursor);
  cursor = saved;
  return found;
}

bool ModelWorkspace::could_store_ary(const std::vector<ElementPtr>& elms)
{
  for (const auto& e : elms)
    if (e && could_store(e))
      return true;
  return false;
}

bool ModelWorkspace::store_copy(const ElementPtr& copy, const CellPos& delta)
{
  VK_CHECK_VAL(copy != nullptr, false);
  const CellPos at = copy->origpos.add(delta);
  cursor = at;
  copy->pick_parent(*this, get_c_elm());
  cursor = at;
  bool stored = store(copy);
  for (const auto& sub : copy->subs)
    stored = store_copy(sub, delta) && stored;
  return stored;
}

bool ModelWorkspace::make_room(const ElementPtr& copy, const CellPos& target)
{
  cursor = target;
  if (could_store(copy))
    return true;
  const auto blockers = obstacles(copy);
  // Decided before anything goes: a part that may not go alone and has no
  // parent cannot be cut, and cutting the others would be in vain.
  for (const auto& b : blockers) {
    if (!b->get_is_cuttable() && !b->get_parent()) {
      g_debug("workspace: no paste at %s: a %s in the way may not be cut",
              target.to_string().c_str(), b->get_type_name());
      return false;
    }
  }
  for (const auto& b : blockers) {
    // Listed more than once, or taken along with an earlier one: cutting it
    // again would take its lower siblings, which are not in the way.
    if (b->stored)
      cut(b, false);
  }
  cursor = target;
  if (could_store(copy))
    return true;
  g_debug("workspace: no paste at %s: cutting what was in the way made no room",
          target.to_string().c_str());
  return false;
}

bool ModelWorkspace::paste(ElementPtr& copy, const CellPos& target, bool consume)
{
  VK_CHECK_VAL(copy != nullptr, false);
  const LayoutBatch batch(*this);
  const CellPos delta = target.substract(copy->origpos);
  cursor = target;
  if (!lands_in_grid(*copy, delta)) {
    g_debug("workspace: no paste at %s: the copy would reach outside the grid",
            target.to_string().c_str());
    return false;
  }
  if (!make_room(copy, target))
    return false;
  if (consume) {
    (void)store_copy(copy, delta);
    copy = nullptr;
  } else {
    paste_keeping(copy, delta);
  }
  clear_in_process();
  signal_update();
  return true;
}

void ModelWorkspace::paste_keeping(ElementPtr& copy, const CellPos& delta)
{
  if (is_tmp) {
    // The scratch cells hold the document being tried (a dry run): they are
    // not for clearing, so the copy goes in and the caller gets a copy of it.
    (void)store_copy(copy, delta);
    copy = copy->copy_all(*get_cells(), false);
    return;
  }
  ElementPtr for_document;
  {
    // Stored in the scratch cells, the copies it carries become its
    // children again, so that a deep copy takes them along with their new
    // places. Nothing stays there.
    tmp_cells->clear();
    is_tmp = true;
    const ScopeGuard leave_tmp([this] {
      is_tmp = false;
      tmp_cells->clear();
    });
    (void)store_copy(copy, delta);
    for_document = copy->copy_all(*tmp_cells, false);
    copy = copy->copy_all(*tmp_cells, false);
  }
  (void)store_copy(for_document, {0, 0});
}

bool ModelWorkspace::paste_elms(std::vector<ElementPtr>& elms, CellPos& yank_pos,
                                const CellPos& to, bool consume)
{
  std::vector<ElementPtr> left;
  left.reserve(elms.size());
  bool all = true;
  for (const auto& c : elms) {
    ElementPtr held = c;
    if (!held) {
      g_critical("ModelWorkspace::paste_elms: a copy is missing");
      all = false;
      continue;
    }
    if (!paste(held, held->origpos.substract(yank_pos).add(to), consume))
      all = false;
    left.push_back(std::move(held));
  }
  yank_pos = to;
  elms = std::move(left);
  return all;
}

} // namespace velkaro
