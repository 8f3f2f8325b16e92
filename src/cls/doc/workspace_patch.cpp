// Undo and redo of the class workspace: what an action changed besides its
// cells is noted when its record opens and closes, and patching a record
// applies its elements, lines and connectors and then puts every connector,
// route, segment position and terminal where the record's far side had
// them.

#include <algorithm>
#include <unordered_set>

#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/class_element.h"
#include "cls/doc/element_cells.h"
#include "cls/doc/workspace.h"
#include "cls/route/router.h"
#include "cls/route/segment_layouter.h"
#include "model/text_element.h"

namespace velkaro {

// --- watching records -------------------------------------------------------------------

ClsWorkspace::Snapshot ClsWorkspace::snapshot() const
{
  Snapshot s;
  if (!m_connectors)
    return s;
  s.order = m_connectors->get_members();
  s.states.reserve(s.order.size());
  for (const ConnectorPtr& c : s.order)
    s.states.try_emplace(c.get(), ClsConnectorState::of(*c));
  s.terminals = m_terminals;
  return s;
}

void ClsWorkspace::on_diff_changed()
{
  const auto open = get_cls_diff();
  const auto watched = m_watched.lock();
  if (watched == open)
    return;
  if (watched && m_watch_start)
    note_changes(*watched, *m_watch_start, snapshot());
  m_watched.reset();
  m_watch_start.reset();
  if (open) {
    m_watched = open;
    m_watch_start = snapshot();
  }
}

void ClsWorkspace::note_changes(ClsWorkspaceDiff& record, const Snapshot& start,
                                const Snapshot& now)
{
  ClsWorkspaceDiffSide& from = *record.from;
  ClsWorkspaceDiffSide& to = *record.to;
  // A record watched more than once keeps the side it first started from.
  if (start.order != now.order) {
    if (!from.order)
      from.order = start.order;
    to.order = now.order;
  }
  const auto note = [&](const ConnectorPtr& c) {
    const auto s0 = start.states.find(c.get());
    const auto s1 = now.states.find(c.get());
    const bool in0 = s0 != start.states.end();
    const bool in1 = s1 != now.states.end();
    if (in0 && in1 && s0->second == s1->second)
      return;
    from.connectors.try_emplace(
        c.get(), ClsWorkspaceDiffSide::Connector{
                     c, in0 ? std::optional<ClsConnectorState>(s0->second) : std::nullopt});
    to.connectors.insert_or_assign(
        c.get(), ClsWorkspaceDiffSide::Connector{
                     c, in1 ? std::optional<ClsConnectorState>(s1->second) : std::nullopt});
  };
  for (const ConnectorPtr& c : start.order)
    note(c);
  for (const ConnectorPtr& c : now.order)
    if (!start.states.count(c.get()))
      note(c);
  for (const CellPos& p : start.terminals)
    if (!now.terminals.count(p)) {
      from.terminals.try_emplace(p, true);
      to.terminals.insert_or_assign(p, false);
    }
  for (const CellPos& p : now.terminals)
    if (!start.terminals.count(p)) {
      from.terminals.try_emplace(p, false);
      to.terminals.insert_or_assign(p, true);
    }
}

// --- patching ------------------------------------------------------------------------------

void ClsWorkspace::restore(const Snapshot& pre, const ClsWorkspaceDiffSide* side)
{
  const Members order = side && side->order ? *side->order : pre.order;
  m_connectors->assign(order);
  for (const ConnectorPtr& c : order) {
    if (side) {
      const auto it = side->connectors.find(c.get());
      if (it != side->connectors.end()) {
        if (it->second.state)
          it->second.state->apply_to(*c);
        continue;
      }
    }
    // Not changed by the action: as it was before the patch.
    if (const auto it = pre.states.find(c.get()); it != pre.states.end())
      it->second.apply_to(*c);
  }
  layouter_changed();

  Terminals wanted = pre.terminals;
  if (side)
    for (const auto& [p, registered] : side->terminals) {
      if (registered)
        wanted.insert(p);
      else
        wanted.erase(p);
    }
  for (const CellPos& p : Terminals(m_terminals))
    if (!wanted.count(p))
      unregister_terminal(p);
  for (const CellPos& p : wanted)
    register_terminal(p);
}

void ClsWorkspace::patch_elements(const ModelWorkspaceDiff& diff)
{
  // Removed elements: a whole chain that left goes with its connectors, an
  // element that left a chain alone goes alone.
  std::vector<std::pair<CellPos, ElementPtr>> rms;
  diff.each_rm([&rms](int32_t x, int32_t y, const ElementPtr& e) { rms.push_back({{x, y}, e}); });
  for (const auto& rm : rms) {
    const CellPos& pos = rm.first;
    const ElementPtr& e = rm.second;
    const ElementPtr head = elm_at(pos);
    if (!head || !head->has_elm(*e))
      continue;
    bool whole = head == e;
    for (ElementPtr m = head; whole && m; m = m->get_next())
      whole = std::any_of(rms.begin(), rms.end(), [&m, at = pos](const auto& r) {
        return r.first == at && r.second == m;
      });
    if (whole)
      rm_pos(pos);
    else
      remove(e);
  }
  // Added elements: into an empty cell with what hangs on them, or back
  // into their place in a chain.
  std::vector<std::pair<CellPos, ModelWorkspaceDiff::Entries>> adds;
  diff.add->foreach([&adds](int32_t x, int32_t y,
                            const std::shared_ptr<ModelWorkspaceDiff::Entries>& entries) {
    adds.push_back({{x, y}, *entries});
    return true;
  });
  for (auto& [pos, entries] : adds) {
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
      if (a.index < 0 || b.index < 0)
        return a.index >= 0 && b.index < 0;
      return a.index < b.index;
    });
    for (const auto& entry : entries) {
      const ElementPtr head = elm_at(pos);
      if (head && head->has_elm(*entry.elm))
        continue;
      const auto klass = std::dynamic_pointer_cast<ClsClassElement>(entry.elm);
      const auto text = std::dynamic_pointer_cast<ModelTextElement>(entry.elm);
      if (!head && klass) {
        add_class(pos, klass);
      } else if (!head && text) {
        add_text(pos, text);
      } else if (head && text && !entry.elm->get_prev()) {
        // A text that left a chain goes back to its place there.
        const int32_t at = entry.index < 0 ? INT32_MAX : entry.index;
        const ElementPtr first = head->insert_at(entry.elm, at);
        const auto cells = get_cells();
        cells->set(pos.x, pos.y, first);
        entry.elm->inserted(*cells, pos);
        update_layout(pos);
      }
    }
  }
}

void ClsWorkspace::patch(const ModelWorkspaceDiff& diff)
{
  const Snapshot pre = snapshot();
  const auto* cls = dynamic_cast<const ClsWorkspaceDiff*>(&diff);
  if (const auto line = diff.removed_line)
    remove_line(line->dir, line->index);
  if (const auto line = diff.inserted_line)
    insert_line(line->dir, line->index);
  patch_elements(diff);
  if (cls && cls->removed_connectors)
    for (const ConnectorPtr& c : *cls->removed_connectors) {
      remove_connector_without_layout(c);
      const auto& layouter = get_layouter();
      for (const auto& s : c->get_segments())
        layouter->set_related_seg_laid_out(s, false);
    }
  if (cls && cls->added_connectors)
    for (const ConnectorPtr& c : *cls->added_connectors) {
      add_connector(c);
      c->set_is_laid_out(false);
    }
  get_layouter()->layout_not_laid_out_segs();
  // What the routing above did stands only where the record leads to it:
  // routes, positions and terminals go to the record's far side, the rest
  // back to where they were.
  restore(pre, cls ? cls->to.get() : nullptr);
  get_cells()->update_moved_pos();
  signal_update();
}

} // namespace velkaro
