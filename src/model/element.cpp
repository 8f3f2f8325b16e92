#include "model/element.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <limits>
#include <unordered_set>

#include "common/cell_range.h"
#include "common/check.h"
#include "model/element_cells.h"

namespace velkaro {
namespace {

// See ModelElement::chain_generation(); 0 is never current.
std::atomic<uint64_t> g_chain_generation{1};

int32_t span(int32_t extension)
{
  const int64_t n = std::llabs(int64_t{extension}) + 1;
  return static_cast<int32_t>(std::min<int64_t>(n, std::numeric_limits<int32_t>::max()));
}

} // namespace

ModelElement::~ModelElement()
{
  // A chain read from a document can be long, and the copies a deep copy
  // carries nest as deep as the line of parents copied, enough to overflow
  // the stack through nested destructors. So what this element owns is
  // released here one element at a time: an element that dies with it
  // hands its own next and carried copies over before it goes.
  std::vector<ElementPtr> pending = std::move(subs);
  const auto take_next = [&pending](ModelElement& e) {
    if (e.m_next) {
      e.m_next->m_prev = nullptr;
      pending.push_back(std::move(e.m_next));
    }
  };
  take_next(*this);
  while (!pending.empty()) {
    ElementPtr e = std::move(pending.back());
    pending.pop_back();
    if (!e || e.use_count() != 1)
      continue;
    for (auto& sub : e->subs)
      pending.push_back(std::move(sub));
    e->subs.clear();
    take_next(*e);
  }
  // Its children lost their parent, the elements after it their head.
  chains_changed();
}

std::shared_ptr<ModelElement> ModelElement::self() const
{
  return std::const_pointer_cast<ModelElement>(shared_from_this());
}

void ModelElement::set_cells(ModelElementCells& cells)
{
  m_cells = cells.weak_from_this();
}

ModelElement::ElementPtr ModelElement::get_prev() const
{
  return m_prev ? m_prev->self() : nullptr;
}

void ModelElement::complete_children() const
{
  if (!m_children_pending)
    return;
  const auto cells = get_cells();
  if (cells && cells->get_is_filling())
    return;
  m_children_pending = false;
  if (cells)
    cells->fill_children(*this);
}

std::vector<ModelElement::ElementPtr> ModelElement::get_children() const
{
  complete_children();
  std::vector<ElementPtr> children;
  children.reserve(m_children.size());
  for (const auto& weak : m_children)
    if (auto child = weak.lock())
      children.push_back(std::move(child));
  return children;
}

// --- virtual defaults -------------------------------------------------------

void ModelElement::pick_parent(ModelWorkspace& ws, const ElementPtr& head)
{
  (void)ws;
  (void)head;
}

void ModelElement::each_pos_obstacles(std::vector<ElementPtr>& obstacles, const CellPos& pos)
{
  (void)obstacles;
  (void)pos;
}

void ModelElement::layout(const Rectangle& box)
{
  (void)box;
}

void ModelElement::write_in_top() {}

void ModelElement::vwrite()
{
  write_base(tag, [this] { write_in_top(); });
}

void ModelElement::read_val(const std::string& name)
{
  (void)name;
}

void ModelElement::read_in_top() {}
void ModelElement::reconnect() {}
void ModelElement::on_remove() {}
void ModelElement::on_insert() {}

CellPos ModelElement::get_endpos() const
{
  // Wraps like the 32-bit arithmetic of positions elsewhere instead of overflowing.
  return {static_cast<int32_t>(int64_t{pos.x} + dh), static_cast<int32_t>(int64_t{pos.y} + dv)};
}

void ModelElement::set_is_top(bool b)
{
  (void)b;
  m_signal_notify.emit("is-top");
}

bool ModelElement::get_is_in_process() const
{
  // No kind overrides this test, so the ancestors' flags are read directly,
  // in a loop rather than by recursion through a long line of ancestors.
  if (in_process)
    return true;
  for (ElementPtr p = get_parent(); p; p = p->get_parent())
    if (p->in_process)
      return true;
  return false;
}

Rectangle ModelElement::get_rect()
{
  return {0, 0, 0, 0};
}

void ModelElement::set_role(int32_t role)
{
  m_role = role;
  chains_changed();
  m_signal_notify.emit("role");
}

bool ModelElement::is_own_type(const ModelElement& other) const
{
  return typeid(other) == typeid(*this);
}

// --- chain ------------------------------------------------------------------

uint64_t ModelElement::chain_generation()
{
  return g_chain_generation.load(std::memory_order_relaxed);
}

void ModelElement::chains_changed()
{
  g_chain_generation.fetch_add(1, std::memory_order_relaxed);
}

void ModelElement::relink_parent(std::weak_ptr<ModelElement> parent)
{
  // Only the presence of a parent can change a role (a text's).
  const bool presence = m_parent.expired() != parent.expired();
  m_parent = std::move(parent);
  if (presence)
    chains_changed();
}

const ModelElement* ModelElement::first_() const
{
  const uint64_t generation = chain_generation();
  // Back to the head, or to an element that knows it in this generation.
  const ModelElement* known = this;
  int32_t steps = 0;
  while (known->m_first_generation != generation && known->m_prev) {
    known = known->m_prev;
    ++steps;
  }
  if (known->m_first_generation != generation) {
    known->m_first_memo = known;
    known->m_index_memo = 0;
    known->m_first_generation = generation;
  }
  const ModelElement* first = known->m_first_memo;
  int32_t index = known->m_index_memo + steps;
  for (const ModelElement* e = this; e != known; e = e->m_prev, --index) {
    e->m_first_memo = first;
    e->m_index_memo = index;
    e->m_first_generation = generation;
  }
  return first;
}

const ModelElement* ModelElement::seek_(const std::type_info& type, int32_t role,
                                        bool (*is)(const ModelElement&)) const
{
  const ModelElement* head = first_();
  const auto accepts = [&](const ModelElement& e) {
    return is(e) && (role == ANY_ROLE || e.get_role() == role);
  };
  const uint64_t generation = chain_generation();
  if (head->m_seek_generation != generation) {
    head->m_seek_memo.clear();
    head->m_seek_generation = generation;
  }
  auto memo = std::find_if(head->m_seek_memo.begin(), head->m_seek_memo.end(),
                           [&type](const SeekMemo& m) { return *m.type == type; });
  if (memo == head->m_seek_memo.end()) {
    // A short walk costs less than remembering what it met.
    constexpr int SHORT_WALK = 32;
    const ModelElement* e = head;
    for (int walked = 0; e && walked < SHORT_WALK; e = e->m_next.get(), ++walked)
      if (accepts(*e))
        return e;
    if (!e)
      return nullptr;
    SeekMemo found;
    found.type = &type;
    for (e = head; e; e = e->m_next.get()) {
      if (!is(*e))
        continue;
      if (!found.any)
        found.any = e;
      found.by_role.try_emplace(e->get_role(), e);
    }
    // get_role() may have sought another type in this chain meanwhile.
    head->m_seek_memo.push_back(std::move(found));
    memo = std::prev(head->m_seek_memo.end());
  }
  if (role == ANY_ROLE)
    return memo->any;
  const auto it = memo->by_role.find(role);
  return it == memo->by_role.end() ? nullptr : it->second;
}

ModelElement::ElementPtr ModelElement::get_first() const
{
  return first_()->self();
}

ModelElement::ElementPtr ModelElement::get_last() const
{
  const ModelElement* e = this;
  while (e->m_next)
    e = e->m_next.get();
  return e->self();
}

int32_t ModelElement::get_index() const
{
  (void)first_();
  return m_index_memo;
}

ModelElement::ElementPtr ModelElement::nth(int32_t n) const
{
  if (n < 0)
    return nullptr;
  ElementPtr e = get_first();
  for (; e && n > 0; --n)
    e = e->m_next;
  return e;
}

ModelElement::ElementPtr ModelElement::add(const ElementPtr& elm)
{
  VK_CHECK_VAL(elm != nullptr, self());
  // Appending a non-head, or the head of this very chain, would link a ring
  // that no walk along the chain ever leaves. (Searching elm's chain keeps
  // appending a single element cheap.)
  VK_CHECK_VAL(elm->m_prev == nullptr, self());
  VK_CHECK_VAL(!elm->has_elm(*this), self());
  const ElementPtr tail = get_last();
  tail->m_next = elm;
  elm->m_prev = tail.get();
  chains_changed();
  return self();
}

ModelElement::ElementPtr ModelElement::insert_at(const ElementPtr& elm, int32_t index)
{
  const ElementPtr first = get_first();
  VK_CHECK_VAL(elm != nullptr, first);
  VK_CHECK_VAL(elm->m_prev == nullptr, first);
  VK_CHECK_VAL(!elm->has_elm(*this), first);
  const ElementPtr tail = elm->get_last();
  if (index <= 0) {
    tail->m_next = first;
    first->m_prev = tail.get();
    chains_changed();
    return elm;
  }
  ElementPtr before = nth(index - 1);
  if (!before)
    before = get_last();
  ElementPtr after = std::move(before->m_next);
  if (after)
    after->m_prev = tail.get();
  tail->m_next = std::move(after);
  before->m_next = elm;
  elm->m_prev = before.get();
  chains_changed();
  return first;
}

ModelElement::ElementPtr ModelElement::remove_()
{
  const ElementPtr keep = self();
  ModelElement* prev = m_prev;
  ElementPtr next = std::move(m_next);
  m_prev = nullptr;
  if (next)
    next->m_prev = prev;
  // Before anything is asked of the chain again.
  chains_changed();
  if (prev) {
    prev->m_next = next;
    return prev->get_first();
  }
  return next;
}

ModelElement::ElementPtr ModelElement::to_first()
{
  const ElementPtr me = self();
  if (!m_prev)
    return me;
  const ElementPtr head = remove_();
  return me->add(head);
}

void ModelElement::foreach(const ElementFunc& fn)
{
  ElementPtr e = self();
  while (e) {
    ElementPtr next = e->m_next;
    fn(e);
    e = std::move(next);
  }
}

bool ModelElement::has_elm(const ModelElement& elm) const
{
  for (const ModelElement* e = get_first().get(); e; e = e->m_next.get())
    if (e == &elm)
      return true;
  return false;
}

ModelElement::ElementPtr ModelElement::to_role(int32_t role) const
{
  for (ElementPtr e = get_first(); e; e = e->m_next)
    if (e->get_role() == role)
      return e;
  return nullptr;
}

std::vector<ModelElement::ElementPtr>
ModelElement::extract_if(const std::function<bool(const ModelElement&)>& pred, int32_t role,
                         bool all) const
{
  std::vector<ElementPtr> found;
  for (ElementPtr e = get_first(); e; e = e->m_next) {
    if (!pred(*e) || (role != ANY_ROLE && e->get_role() != role))
      continue;
    found.push_back(e);
    if (!all)
      break;
  }
  return found;
}

ModelElement::ElementPtr
ModelElement::to_endrole_if(const std::function<bool(const ModelElement&)>& pred, int32_t dir) const
{
  const int64_t step = dir < 0 ? -1 : 1;
  ElementPtr last;
  for (int64_t role = step; std::abs(role) <= std::numeric_limits<int32_t>::max(); role += step) {
    const auto found = extract_if(pred, static_cast<int32_t>(role), false);
    if (found.empty())
      break;
    last = found.front();
  }
  return last;
}

bool ModelElement::get_is_endrole() const
{
  const auto own = [this](const ModelElement& e) { return is_own_type(e); };
  const int32_t role = get_role();
  if (role != 0)
    return to_endrole_if(own, role).get() == this;
  return extract_if(own, 1, false).empty() && extract_if(own, -1, false).empty();
}

// --- cell-map membership ----------------------------------------------------

ModelElement::ElementPtr ModelElement::inserted(ModelElementCells& cells, const CellPos& at)
{
  set_cells(cells);
  if (at.get_is_valid()) {
    pos = at;
  } else {
    const CellPos found = cells.get_pos(self());
    if (found.get_is_valid())
      pos = found;
  }
  stored = true;
  on_insert();
  join_parent();
  return self();
}

ModelElement::ElementPtr ModelElement::remove(ModelElementCells& cells)
{
  set_cells(cells);
  stored = false;
  in_process = false;
  leave_parent();
  on_remove();
  return remove_();
}

void ModelElement::update_pos(ModelElementCells& cells)
{
  pos = cells.get_pos(self());
}

// --- parent and children ----------------------------------------------------

void ModelElement::prune_children()
{
  std::erase_if(m_children, [](const std::weak_ptr<ModelElement>& w) { return w.expired(); });
  m_pruned_size = m_children.size();
}

void ModelElement::join_parent()
{
  const ElementPtr p = get_parent();
  if (!p)
    return;
  p->complete_children();
  // Dead children are dropped once the list has doubled since the last
  // time, so that a parent of thousands of children joins each in constant
  // time.
  if (p->m_children.size() >= 2 * std::max<size_t>(p->m_pruned_size, 16))
    p->prune_children();
  if (m_listed_by.lock() == p)
    return;
  // An element that never joined a list can only be in one that dup()
  // copied; everywhere else the list must be searched.
  if (m_ever_listed || p->m_children_copied) {
    for (const auto& weak : p->m_children)
      if (weak.lock().get() == this) {
        m_listed_by = p;
        return;
      }
  }
  p->m_children.push_back(weak_from_this());
  m_listed_by = p;
  m_ever_listed = true;
}

void ModelElement::leave_parent()
{
  const ElementPtr p = get_parent();
  if (!p)
    return;
  p->complete_children();
  std::erase_if(p->m_children, [this](const std::weak_ptr<ModelElement>& w) {
    const auto child = w.lock();
    return !child || child.get() == this;
  });
  p->m_pruned_size = p->m_children.size();
  if (m_listed_by.lock() == p)
    m_listed_by.reset();
}

bool ModelElement::get_is_parent() const
{
  complete_children();
  return std::any_of(m_children.begin(), m_children.end(),
                     [](const std::weak_ptr<ModelElement>& w) { return !w.expired(); });
}

ModelElement::ElementPtr ModelElement::get_a_child() const
{
  const auto children = get_children();
  return children.empty() ? nullptr : children.front();
}

bool ModelElement::contains(const ModelElement& elm) const
{
  std::vector<ElementPtr> todo = get_children();
  std::unordered_set<const ModelElement*> seen;
  while (!todo.empty()) {
    const ElementPtr e = std::move(todo.back());
    todo.pop_back();
    if (e.get() == &elm)
      return true;
    if (!seen.insert(e.get()).second)
      continue;
    const auto children = e->get_children();
    todo.insert(todo.end(), children.rbegin(), children.rend());
  }
  return false;
}

void ModelElement::each_siblings(const ElementFunc& fn) const
{
  const ElementPtr p = get_parent();
  if (!p)
    return;
  const int32_t role = get_role();
  for (const auto& child : p->get_children()) {
    const ModelElement& c = *child;
    if (&c != this && typeid(c) == typeid(*this) && c.get_role() == role)
      fn(child);
  }
}

// --- derived values ---------------------------------------------------------

int32_t ModelElement::get_mwidth() const
{
  return span(dh);
}

int32_t ModelElement::get_mheight() const
{
  return span(dv);
}

std::shared_ptr<CellRange> ModelElement::get_range() const
{
  return CellRange::create(pos, get_endpos());
}

} // namespace velkaro
