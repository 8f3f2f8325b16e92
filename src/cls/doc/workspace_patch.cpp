// Undo and redo of the class workspace: what an action changed besides its
// cells is noted when its record opens and closes, and patching a record
// applies its elements, lines and connectors and then puts every connector,
// route, segment position and terminal where the record's far side had
// them.

#include <algorithm>
#include <iterator>
#include <optional>
#include <utility>
#include <unordered_set>

#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/abstract_connector_term.h"
#include "cls/doc/class_element.h"
#include "cls/doc/element_cells.h"
#include "cls/doc/workspace.h"
#include "cls/route/router.h"
#include "cls/route/segment.h"
#include "cls/route/segment_layouter.h"
#include "common/c_resource.h"
#include "model/text_element.h"
#include "model/text_measure.h"

namespace velkaro {

// --- watching records -------------------------------------------------------------------

ClsWorkspace::Snapshot ClsWorkspace::snapshot(bool with_states) const
{
  Snapshot s;
  if (!m_connectors)
    return s;
  s.order = m_connectors->get_members();
  s.index = ConnectorIndex(s.order);
  if (with_states) {
    s.states.reserve(s.order.size());
    size_t segments = 0;
    for (const ConnectorPtr& c : s.order)
      segments += c->get_segments().size();
    s.segments.reserve(segments);
    s.places.reserve(segments);
    for (const ConnectorPtr& c : s.order) {
      Snapshot::State st{c->start, c->end, c->start_elem, c->end_elem, s.segments.size(), c->get_segments().size(),
                         std::nullopt, std::nullopt, c->get_label_box(StartOrEnd::start),
                         c->get_label_box(StartOrEnd::end), c->searched_route};
      if (c->start_term)
        st.start_term = c->start_term->get_placement();
      if (c->end_term)
        st.end_term = c->end_term->get_placement();
      for (const auto& seg : c->get_segments()) {
        s.segments.push_back(seg);
        s.places.push_back({seg->start_point, seg->end_point, seg->is_laid_out, seg->last_layout});
      }
      s.states.push_back(std::move(st));
    }
  }
  s.terminals.assign(m_terminals.begin(), m_terminals.end());
  return s;
}

ClsWorkspace::ConnectorIndex::ConnectorIndex(const Members& members)
{
  m_entries.reserve(members.size());
  for (size_t i = 0; i < members.size(); ++i)
    m_entries.emplace_back(members[i].get(), i);
  std::sort(m_entries.begin(), m_entries.end());
}

std::optional<size_t> ClsWorkspace::ConnectorIndex::find(const ClsAbstractConnectorElement* con) const
{
  const auto it = std::lower_bound(m_entries.begin(), m_entries.end(), std::make_pair(con, size_t{0}));
  if (it == m_entries.end() || it->first != con)
    return std::nullopt;
  return it->second;
}

bool ClsWorkspace::Snapshot::same_as(size_t i, const ClsAbstractConnectorElement& con) const
{
  const State& a = states[i];
  const auto& segs = con.get_segments();
  const auto placement = [](const auto& term) {
    return term ? std::optional<ClsAbstractConnectorTerm::Placement>(term->get_placement()) : std::nullopt;
  };
  if (!(a.start == con.start) || !(a.end == con.end) || a.start_elem != con.start_elem ||
      a.end_elem != con.end_elem || a.count != segs.size() || a.start_term != placement(con.start_term) ||
      a.end_term != placement(con.end_term) || !(a.start_label_box == con.get_label_box(StartOrEnd::start)) ||
      !(a.end_label_box == con.get_label_box(StartOrEnd::end)))
    return false;
  for (size_t k = 0; k < a.count; ++k) {
    const ClsSegment& seg = *segs[k];
    if (segments[a.first + k] != segs[k] ||
        !(places[a.first + k] ==
          ClsConnectorState::SegmentPlace{seg.start_point, seg.end_point, seg.is_laid_out, seg.last_layout}))
      return false;
  }
  return true;
}

ClsConnectorState ClsWorkspace::Snapshot::state_of(size_t i) const
{
  const State& st = states[i];
  const auto from = static_cast<std::ptrdiff_t>(st.first);
  const auto to = static_cast<std::ptrdiff_t>(st.first + st.count);
  ClsConnectorState state;
  state.start = st.start;
  state.end = st.end;
  state.start_elem = st.start_elem;
  state.end_elem = st.end_elem;
  state.segments.assign(segments.begin() + from, segments.begin() + to);
  state.places.assign(places.begin() + from, places.begin() + to);
  state.start_term = st.start_term;
  state.end_term = st.end_term;
  state.start_label_box = st.start_label_box;
  state.end_label_box = st.end_label_box;
  state.searched_route = st.searched_route;
  return state;
}

void ClsWorkspace::on_diff_changed()
{
  const auto open = get_cls_diff();
  const auto watched = m_watched.lock();
  if (watched == open)
    return;
  if (watched && m_watch_start)
    note_changes(*watched, *m_watch_start);
  m_watched.reset();
  m_watch_start.reset();
  if (open) {
    m_watched = open;
    m_watch_start = snapshot();
  }
}

void ClsWorkspace::note_changes(ClsWorkspaceDiff& record, const Snapshot& start) const
{
  ClsWorkspaceDiffSide& from = *record.from;
  ClsWorkspaceDiffSide& to = *record.to;
  const Members& now = m_connectors->get_members();
  // A record watched more than once keeps the side it first started from.
  if (start.order != now) {
    if (!from.order)
      from.order = start.order;
    to.order = now;
  }
  const ConnectorIndex now_index(now);
  // A connector changed unless both moments hold it in the same state.
  for (size_t i = 0; i < start.order.size(); ++i) {
    const ConnectorPtr& c = start.order[i];
    const std::optional<size_t> j = now_index.find(c.get());
    if (j && start.same_as(i, *c))
      continue;
    from.connectors.try_emplace(c.get(), ClsWorkspaceDiffSide::Connector{c, start.state_of(i)});
    to.connectors.insert_or_assign(
        c.get(), ClsWorkspaceDiffSide::Connector{c, j ? std::optional<ClsConnectorState>(ClsConnectorState::of(*c))
                                                        : std::nullopt});
  }
  for (const ConnectorPtr& c : now) {
    if (start.find(c.get()))
      continue;
    from.connectors.try_emplace(c.get(), ClsWorkspaceDiffSide::Connector{c, std::nullopt});
    to.connectors.insert_or_assign(c.get(), ClsWorkspaceDiffSide::Connector{c, ClsConnectorState::of(*c)});
  }
  // Both lists are in row order: what only one of them holds changed.
  const ClsCellOrder before;
  std::vector<CellPos> gone;
  std::vector<CellPos> came;
  std::set_difference(start.terminals.begin(), start.terminals.end(), m_terminals.begin(), m_terminals.end(),
                      std::back_inserter(gone), before);
  std::set_difference(m_terminals.begin(), m_terminals.end(), start.terminals.begin(), start.terminals.end(),
                      std::back_inserter(came), before);
  for (const CellPos& p : gone) {
    from.terminals.try_emplace(p, true);
    to.terminals.insert_or_assign(p, false);
  }
  for (const CellPos& p : came) {
    from.terminals.try_emplace(p, false);
    to.terminals.insert_or_assign(p, true);
  }
}

// --- patching ------------------------------------------------------------------------------

void ClsWorkspace::restore(const Snapshot& pre, const ClsWorkspaceDiffSide* side, bool lines_moved)
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
    // Not changed by the action: as it was before the patch, which only a
    // line moved (the other operations of a patch route nothing).
    if (!lines_moved)
      continue;
    if (const std::optional<size_t> i = pre.find(c.get()); i && *i < pre.states.size())
      pre.state_of(*i).apply_to(*c);
  }
  layouter_changed();

  Terminals wanted(pre.terminals.begin(), pre.terminals.end());
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
  const ModelTextMeasure::Steady steady;
  const bool lines_moved = diff.removed_line || diff.inserted_line;
  // The connectors' states only when a line moves them.
  const Snapshot pre = snapshot(lines_moved);
  const auto* cls = dynamic_cast<const ClsWorkspaceDiff*>(&diff);
  {
    // Routes, positions, terms and labels all come from restore() below, so
    // the operations leave them alone: what they route or spread would be
    // overwritten.
    m_replaying = true;
    const ScopeGuard replayed([this] { m_replaying = false; });
    if (const auto line = diff.removed_line)
      remove_line(line->dir, line->index);
    if (const auto line = diff.inserted_line)
      insert_line(line->dir, line->index);
    patch_elements(diff);
    if (cls && cls->removed_connectors)
      for (const ConnectorPtr& c : *cls->removed_connectors)
        remove_connector_without_layout(c);
    if (cls && cls->added_connectors)
      for (const ConnectorPtr& c : *cls->added_connectors)
        add_connector(c);
  }
  // Routes, positions and terminals go to the record's far side, the rest
  // back to where they were.
  restore(pre, cls ? cls->to.get() : nullptr, lines_moved);
  get_cells()->update_moved_pos();
  signal_update();
}

} // namespace velkaro
