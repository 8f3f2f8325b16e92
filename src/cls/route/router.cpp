// The route graph: registrations, the nodes around them, their links, and
// the line operations that move registrations.

#include "cls/route/router.h"

#include <atomic>
#include <map>
#include <unordered_set>
#include <utility>

#include <glib.h>

namespace velkaro {

namespace {

constexpr MovingDir route_dirs[] = {MovingDir::up, MovingDir::down, MovingDir::left,
                                    MovingDir::right};

// A number no router had before.
uint64_t new_router_serial()
{
  static std::atomic<uint64_t> serial{0};
  return ++serial;
}

} // namespace

ClsRouter::ClsRouter() : m_term_counts(TermCounts::create()), m_serial(new_router_serial()) {}

ClsRouteNode* ClsRouter::find_node(int32_t x, int32_t y) const
{
  const auto row = m_rows.find(y);
  if (row == m_rows.end())
    return nullptr;
  const auto cell = row->second.find(x);
  return cell == row->second.end() ? nullptr : cell->second.get();
}

int32_t ClsRouter::get_term_count(const CellPos& pos) const
{
  const auto count = m_term_counts->get(pos.x, pos.y);
  return count ? *count : 0;
}

ClsRouter::NodeLook ClsRouter::look_of(const ClsRouteNode& node)
{
  NodeLook look;
  look.exists = true;
  look.is_terminal = node.is_terminal;
  for (size_t i = 0; i < look.links.size(); ++i)
    if (node.links[i])
      look.links[i] = node.links[i]->pos;
  return look;
}

ClsRouter::NodeLook ClsRouter::look_at(const CellPos& cell) const
{
  const ClsRouteNode* node = find_node(cell);
  return node ? look_of(*node) : NodeLook{};
}

ClsRouter::Edit::Edit(ClsRouter& router) : m_router(router)
{
  if (m_router.m_edits++ == 0)
    m_router.m_edited.clear();
}

ClsRouter::Edit::~Edit() { --m_router.m_edits; }

void ClsRouter::log_change(const CellPos& cell, const ClsRouteNode* before)
{
  // Without a route of this graph no one reads the log: the stamp moves on
  // alone.
  if (!m_routed) {
    ++m_log_base;
    return;
  }
  // The first change of the cell in the operation holds how it looked
  // before the operation.
  const uint64_t key = (uint64_t{static_cast<uint32_t>(cell.y)} << 32) | static_cast<uint32_t>(cell.x);
  if (m_edits > 0 && !m_edited.insert(key).second)
    return;
  if (m_log.size() >= LOG_LIMIT) {
    // Routes searched before now are searched again.
    m_log_base += m_log.size();
    m_log.clear();
  }
  m_log.push_back({cell, before ? look_of(*before) : NodeLook{}});
}

void ClsRouter::relink(ClsRouteNode& node, MovingDir dir, ClsRouteNode* to)
{
  if (node.link(dir) == to)
    return;
  log_change(node.pos, &node);
  node.set_link(dir, to);
}

void ClsRouter::set_terminal(ClsRouteNode& node, bool value)
{
  if (node.is_terminal == value)
    return;
  log_change(node.pos, &node);
  node.is_terminal = value;
}

// --- nearest nodes and links -------------------------------------------------

ClsRouteNode* ClsRouter::get_nearest_node(const CellPos& pos, MovingDir dir) const
{
  // The adjacent cell answers at once when it holds a referenced node;
  // otherwise the line is walked outwards from pos, so that the first
  // referenced node met is the nearest. Unreferenced nodes (those about to
  // leave the map) never count.
  switch (dir) {
  case MovingDir::up: {
    if (pos.y <= 0)
      return nullptr;
    for (auto row = m_rows.lower_bound(pos.y); row != m_rows.begin();) {
      --row;
      const auto cell = row->second.find(pos.x);
      if (cell != row->second.end() && cell->second->get_is_referenced())
        return cell->second.get();
    }
    return nullptr;
  }
  case MovingDir::down: {
    if (pos.y >= CellPos::MAX)
      return nullptr;
    for (auto row = m_rows.upper_bound(pos.y); row != m_rows.end(); ++row) {
      const auto cell = row->second.find(pos.x);
      if (cell != row->second.end() && cell->second->get_is_referenced())
        return cell->second.get();
    }
    return nullptr;
  }
  case MovingDir::left: {
    if (pos.x <= 0)
      return nullptr;
    const auto row = m_rows.find(pos.y);
    if (row == m_rows.end())
      return nullptr;
    for (auto cell = row->second.lower_bound(pos.x); cell != row->second.begin();) {
      --cell;
      if (cell->second->get_is_referenced())
        return cell->second.get();
    }
    return nullptr;
  }
  case MovingDir::right: {
    if (pos.x >= CellPos::MAX)
      return nullptr;
    const auto row = m_rows.find(pos.y);
    if (row == m_rows.end())
      return nullptr;
    for (auto cell = row->second.upper_bound(pos.x); cell != row->second.end(); ++cell)
      if (cell->second->get_is_referenced())
        return cell->second.get();
    return nullptr;
  }
  }
  return nullptr;
}

void ClsRouter::link_nearest(ClsRouteNode& node, MovingDir dir)
{
  const Edit edit(*this);
  ClsRouteNode* nearest = get_nearest_node(node.pos, dir);
  if (nearest)
    relink(*nearest, moving_dir_inv(dir), &node);
  relink(node, dir, nearest);
}

void ClsRouter::update_link_nodes(const std::vector<ClsRouteNode*>& nodes)
{
  const Edit edit(*this);
  for (ClsRouteNode* node : nodes) {
    VK_CHECK(node != nullptr);
    for (MovingDir d : route_dirs)
      link_nearest(*node, d);
  }
}

// --- generator cells -----------------------------------------------------------

void ClsRouter::foreach_term_cross_pos(const CellPos& pos, const PosFunc& fn) const
{
  for_each_corner(pos, fn);
}

void ClsRouter::foreach_neighbor_9_nodes(const CellPos& pos, const PosFunc& fn)
{
  for (int32_t dy = -1; dy <= 1; ++dy)
    for (int32_t dx = -1; dx <= 1; ++dx) {
      const CellPos q = pos.add(CellPos{dx, dy});
      if (q.get_is_valid())
        fn(q);
    }
}

void ClsRouter::find_block(const CellPos& generator, Block& block) const
{
  block.count = 0;
  for (int32_t dy = -1; dy <= 1; ++dy) {
    const int32_t y = generator.y + dy;
    const auto row = m_rows.find(y);
    // The row's nodes from the block's left column on, met in column order.
    Row::const_iterator cell;
    if (row != m_rows.end())
      cell = row->second.lower_bound(generator.x - 1);
    for (int32_t dx = -1; dx <= 1; ++dx) {
      const CellPos q{generator.x + dx, y};
      if (!q.get_is_valid())
        continue;
      ClsRouteNode* node = nullptr;
      if (row != m_rows.end()) {
        while (cell != row->second.end() && cell->first < q.x)
          ++cell;
        if (cell != row->second.end() && cell->first == q.x)
          node = cell->second.get();
      }
      block.cells[block.count] = q;
      block.nodes[block.count] = node;
      ++block.count;
    }
  }
}

std::vector<std::pair<CellPos, int32_t>> ClsRouter::corner_generators(const CellPos& pos) const
{
  // The corners (t.x, pos.y) all lie on pos's row and (pos.x, t.y) on its
  // column: terminals sharing a column (a row) give the same corner, which
  // is counted once with their registrations added up.
  std::map<int32_t, int32_t> on_row;
  std::vector<std::pair<CellPos, int32_t>> corners;
  for (const auto& [y, row] : m_term_counts->get_rows()) {
    if (y == pos.y)
      continue;
    int32_t on_column = 0;
    for (const auto& [x, count] : row) {
      if (x == pos.x)
        continue;
      on_row[x] += *count;
      on_column += *count;
    }
    if (on_column > 0)
      corners.emplace_back(CellPos{pos.x, y}, on_column);
  }
  for (const auto& [x, times] : on_row)
    corners.emplace_back(CellPos{x, pos.y}, times);
  return corners;
}

void ClsRouter::reference_block(const CellPos& generator, int32_t times,
                                std::vector<ClsRouteNode*>& created)
{
  Block block;
  find_block(generator, block);
  for (int i = 0; i < block.count; ++i) {
    ClsRouteNode* node = block.nodes[i];
    if (!node) {
      const CellPos& q = block.cells[i];
      auto fresh = std::make_shared<ClsRouteNode>(q);
      node = fresh.get();
      m_rows[q.y].emplace(q.x, std::move(fresh));
      log_change(q, nullptr);
      created.push_back(node);
    }
    node->references += times;
  }
}

// --- registration ----------------------------------------------------------------

bool ClsRouter::add_terminatable_node(const CellPos& pos)
{
  const Edit edit(*this);
  if (!pos.get_is_valid()) {
    g_warning("%s: a terminal at %s lies outside the grid; not registered", G_STRFUNC,
              pos.to_string().c_str());
    return false;
  }
  const auto count = m_term_counts->get(pos.x, pos.y);
  m_term_counts->set(pos.x, pos.y, std::make_shared<int32_t>(count ? *count + 1 : 1));

  std::vector<ClsRouteNode*> created;
  // The references of every generator, whatever the order they come in.
  reference_block(pos, 1, created);
  for (const auto& [corner, times] : corner_generators(pos))
    reference_block(corner, times, created);
  // Only the new nodes are linked: the reverse links they set bring the
  // links of the old ones up to date.
  update_link_nodes(created);
  set_terminal(*find_node(pos), true);
  return true;
}

bool ClsRouter::rm_terminatable_node(const CellPos& pos)
{
  const Edit edit(*this);
  const auto count = m_term_counts->get(pos.x, pos.y);
  if (!count)
    return true;

  std::vector<ClsRouteNode*> orphans;
  const auto unreference_block = [&](const CellPos& generator, int32_t times) {
    Block block;
    find_block(generator, block);
    for (int i = 0; i < block.count; ++i) {
      ClsRouteNode* node = block.nodes[i];
      if (!node || node->references <= 0)
        continue;
      node->references -= times;
      // A node drops to zero once: its count matches its generators exactly.
      if (node->references <= 0)
        orphans.push_back(node);
    }
  };
  unreference_block(pos, 1);
  for (const auto& [corner, times] : corner_generators(pos))
    unreference_block(corner, times);

  // The surviving neighbours of the orphans are relinked while the orphans
  // still stand in the map: the nearest search passes over them.
  std::unordered_set<ClsRouteNode*> seen;
  std::vector<ClsRouteNode*> relink;
  for (ClsRouteNode* orphan : orphans)
    for (MovingDir d : route_dirs) {
      ClsRouteNode* linked = orphan->link(d);
      if (linked && linked->get_is_referenced() && seen.insert(linked).second)
        relink.push_back(linked);
    }
  update_link_nodes(relink);

  // Logged while every node they link to stands.
  for (ClsRouteNode* orphan : orphans)
    log_change(orphan->pos, orphan);
  for (ClsRouteNode* orphan : orphans) {
    const CellPos q = orphan->pos;
    auto row = m_rows.find(q.y);
    auto cell = row->second.find(q.x);
    row->second.erase(cell);
    if (row->second.empty())
      m_rows.erase(row);
  }

  if (*count <= 1) {
    (void)m_term_counts->remove(pos.x, pos.y);
    if (ClsRouteNode* node = find_node(pos))
      set_terminal(*node, false);
  } else {
    m_term_counts->set(pos.x, pos.y, std::make_shared<int32_t>(*count - 1));
  }
  return true;
}

// --- rows and columns ---------------------------------------------------------------

std::vector<CellPos> ClsRouter::terminals_on(CellDir dir, int64_t first, int64_t last) const
{
  std::vector<CellPos> cells;
  m_term_counts->foreach([&](int32_t x, int32_t y, const TermCounts::Value&) {
    const int64_t c = dir == CellDir::h ? x : y;
    if (first <= c && c <= last)
      cells.push_back(CellPos{x, y});
    return true;
  });
  return cells;
}

void ClsRouter::shift_node_at(CellDir dir, int32_t index, int32_t count)
{
  const Edit edit(*this);
  if (dir != CellDir::h && dir != CellDir::v)
    return;
  for (CellPos p : terminals_on(dir, index, INT64_MAX)) {
    rm_terminatable_node(p);
    const int64_t moved = int64_t{p.get(dir)} + count;
    if (moved < 0 || moved > CellPos::MAX) {
      g_warning("%s: the terminal at %s would leave the grid; its registration is dropped",
                G_STRFUNC, p.to_string().c_str());
      continue;
    }
    p.set(dir, static_cast<int32_t>(moved));
    add_terminatable_node(p);
  }
}

void ClsRouter::rm_terminatable_node_at(CellDir dir, int32_t index, int32_t count)
{
  const Edit edit(*this);
  if (dir != CellDir::h && dir != CellDir::v)
    return;
  for (const CellPos& p : terminals_on(dir, index, int64_t{index} + count - 1))
    rm_terminatable_node(p);
}

void ClsRouter::insert_row(int32_t index, int32_t count, const CellFunc&)
{
  shift_node_at(CellDir::v, index, count);
}

void ClsRouter::insert_col(int32_t index, int32_t count, const CellFunc&)
{
  shift_node_at(CellDir::h, index, count);
}

void ClsRouter::remove_row(int32_t index, int32_t count, const CellFunc&, const CellFunc&)
{
  rm_terminatable_node_at(CellDir::v, index, count);
  shift_node_at(CellDir::v, index, -count);
}

void ClsRouter::remove_col(int32_t index, int32_t count, const CellFunc&, const CellFunc&)
{
  rm_terminatable_node_at(CellDir::h, index, count);
  shift_node_at(CellDir::h, index, -count);
}

void ClsRouter::clear()
{
  ModelCells<ClsRouteNode>::clear();
  m_term_counts->clear();
  // No route searched before answers for the graph from now on.
  m_serial = new_router_serial();
  m_routed = false;
  m_log_base += m_log.size();
  m_log.clear();
  m_changed.clear();
}

} // namespace velkaro
