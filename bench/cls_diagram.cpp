#include "cls_diagram.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <numeric>
#include <random>
#include <set>
#include <utility>

#include <glib.h>

#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/class_element.h"
#include "cls/doc/workspace.h"
#include "cls/route/segment_layouter.h"
#include "model/element_cells.h"
#include "model/grid.h"
#include "model/text_element.h"

namespace velkaro {
namespace {

const std::array<const char*, 16> NOUNS = {"Order",   "Customer", "Invoice", "Payment", "Product", "Stock",
                                           "Account", "Address",  "Cart",    "Coupon",  "Carrier", "Parcel",
                                           "Review",  "Supplier", "Ledger",  "Session"};
const std::array<const char*, 6> ROLES = {"", "Item", "Service", "Record", "Policy", "Event"};
const std::array<const char*, 12> ATTRIBUTES = {
    "- id: long",           "- name: String",        "- createdAt: Date",    "- total: Money",
    "- status: Status",     "- quantity: int",       "- email: String",      "- active: boolean",
    "- tags: List<String>", "- version: int",        "- note: String",       "- weight: double"};
const std::array<const char*, 10> OPERATIONS = {
    "+ getId(): long",        "+ validate(): boolean", "+ save(): void",        "+ total(): Money",
    "+ cancel(reason: String)", "+ toString(): String",  "+ apply(c: Coupon)",    "+ ship(to: Address)",
    "+ refresh(): void",      "+ matches(q: Query): boolean"};
const std::array<const char*, 4> MULTIPLICITIES = {"1", "0..1", "0..*", "1..*"};
// The kinds of the connectors that are not generalizations, taken in turn.
const std::array<const char*, 4> OTHER_KINDS = {"association", "aggregation", "composition", "dependency"};

std::vector<CellPos> cells_of(ClsPlacement placement, int n)
{
  std::vector<CellPos> cells;
  if (placement == ClsPlacement::grid) {
    const int side = static_cast<int>(std::ceil(std::sqrt(n)));
    for (int i = 0; i < n; ++i)
      cells.push_back({2 * (i % side) + 1, 2 * (i / side) + 1});
    return cells;
  }
  int k = 7;
  while (std::gcd(k, n) != 1)
    k += 2;
  for (int i = 0; i < n; ++i)
    cells.push_back({2 * i + 1, static_cast<int32_t>(2 * ((static_cast<int64_t>(k) * i) % n) + 1)});
  return cells;
}

// Lines first to first + count - 1 of a list, taken round it.
std::vector<std::string> lines_of(const char* const* list, size_t size, size_t first, size_t count)
{
  std::vector<std::string> lines;
  for (size_t i = 0; i < count; ++i)
    lines.emplace_back(list[(first + i) % size]);
  return lines;
}

std::string joined(const std::vector<std::string>& lines)
{
  std::string text;
  for (const std::string& l : lines)
    text += (text.empty() ? "" : "\n") + l;
  return text;
}

} // namespace

const char* cls_placement_name(ClsPlacement placement)
{
  return placement == ClsPlacement::grid ? "grid" : "staggered";
}

ClsDiagramPlan cls_plan_diagram(int n, ClsPlacement placement)
{
  n = std::max(n, 2);
  ClsDiagramPlan plan;
  plan.placement = placement;
  std::mt19937 rng(43);
  const auto below = [&rng](size_t bound) { return static_cast<size_t>(rng() % bound); };

  const std::vector<CellPos> cells = cells_of(placement, n);
  for (int i = 0; i < n; ++i) {
    ClsPlannedClass c;
    c.cell = cells[static_cast<size_t>(i)];
    const size_t noun = static_cast<size_t>(i) % NOUNS.size();
    const size_t role = (static_cast<size_t>(i) / NOUNS.size()) % ROLES.size();
    c.name = std::string(NOUNS[noun]) + ROLES[role] + std::to_string(i + 1);
    c.attributes = lines_of(ATTRIBUTES.data(), ATTRIBUTES.size(), below(ATTRIBUTES.size()), 2 + below(3));
    c.operations = lines_of(OPERATIONS.data(), OPERATIONS.size(), below(OPERATIONS.size()), 1 + below(3));
    plan.classes.push_back(std::move(c));
    plan.used.end.x = std::max(plan.used.end.x, plan.classes.back().cell.x + 1);
    plan.used.end.y = std::max(plan.used.end.y, plan.classes.back().cell.y + 1);
  }

  const size_t total = static_cast<size_t>(n) * 3 / 2;
  plan.generalizations = total / 3;
  // Pairs already joined, smaller index first.
  std::set<std::pair<size_t, size_t>> joined_pairs;
  const auto join = [&](size_t a, size_t b) { return joined_pairs.insert(std::minmax(a, b)).second; };

  // The forest: a shuffled order of the classes; each child (the classes
  // from the second on, as many as there are generalizations) gets a
  // parent from before it in the order.
  std::vector<size_t> order(static_cast<size_t>(n));
  std::iota(order.begin(), order.end(), size_t{0});
  std::shuffle(order.begin(), order.end(), rng);
  for (size_t k = 1; k <= plan.generalizations && k < order.size(); ++k) {
    const size_t child = order[k];
    const size_t parent = order[below(k)];
    join(child, parent);
    plan.connectors.push_back({child, parent, "generalization", "", ""});
  }
  plan.generalizations = plan.connectors.size();

  // The other kinds in turn, between random pairs not joined yet.
  size_t turn = 0;
  while (plan.connectors.size() < total) {
    const size_t a = below(static_cast<size_t>(n));
    const size_t b = below(static_cast<size_t>(n));
    if (a == b || !join(a, b))
      continue;
    ClsPlannedConnector c{a, b, OTHER_KINDS[turn % OTHER_KINDS.size()], "", ""};
    ++turn;
    if (c.type_name != "dependency") {
      c.start_label = MULTIPLICITIES[below(MULTIPLICITIES.size())];
      c.end_label = MULTIPLICITIES[below(MULTIPLICITIES.size())];
    }
    plan.connectors.push_back(std::move(c));
  }
  return plan;
}

std::vector<size_t> cls_connectors_at(const ClsDiagramPlan& plan, size_t index)
{
  std::vector<size_t> found;
  for (size_t i = 0; i < plan.connectors.size(); ++i)
    if (plan.connectors[i].from == index || plan.connectors[i].to == index)
      found.push_back(i);
  return found;
}

bool cls_build_diagram(ClsWorkspace& ws, const ClsDiagramPlan& plan)
{
  for (const ClsPlannedClass& c : plan.classes) {
    const auto klass = ClsClassElement::create();
    klass->name_elem->set_text(c.name);
    klass->block1_elem->set_text(joined(c.attributes));
    klass->block1_shown = true;
    klass->block2_elem->set_text(joined(c.operations));
    klass->block2_shown = true;
    if (!ws.add_class(c.cell, klass)) {
      g_warning("cls_build_diagram: no room for class %s at %s", c.name.c_str(), c.cell.to_string().c_str());
      return false;
    }
  }
  for (const ClsPlannedConnector& p : plan.connectors) {
    const auto con = ClsAbstractConnectorElement::make(p.type_name);
    if (!con) {
      g_warning("cls_build_diagram: no connector kind \"%s\"", p.type_name.c_str());
      return false;
    }
    con->set_grid(ws.grid);
    con->start = plan.classes[p.from].cell;
    con->end = plan.classes[p.to].cell;
    con->start_elem = ws.elm_at(con->start);
    con->end_elem = ws.elm_at(con->end);
    con->start_multiplicity->set_text(p.start_label);
    con->end_multiplicity->set_text(p.end_label);
    if (!ws.update_connector_route(con) || !ws.add_connector(con)) {
      g_warning("cls_build_diagram: the connector %s-%s was refused", con->start.to_string().c_str(),
                con->end.to_string().c_str());
      return false;
    }
  }
  ws.update_layout_all();
  ws.get_layouter()->layout_not_laid_out_segs();
  ws.update_layout_all();
  ws.clear_in_process();
  return true;
}

Rectangle cls_whole_rect(const ClsWorkspace& ws, double margin)
{
  CellRange range = *ws.get_cells()->get_exists_range();
  range.start = {0, 0};
  range.end = CellPos{range.end.x + 1, range.end.y + 1}.clamp();
  const Rectangle r = ws.grid->get_range_rect(range);
  return {-margin, -margin, r.width + 2 * margin, r.height + 2 * margin};
}

bool cls_write_diagram(const ClsDiagramPlan& plan, const std::string& path, std::string& error)
{
  const auto ws = ModelWorkspace::create<ClsWorkspace>();
  if (!cls_build_diagram(*ws, plan)) {
    error = "the diagram could not be built";
    return false;
  }
  if (!ws->save(path)) {
    error = ws->get_last_error();
    return false;
  }
  return true;
}

} // namespace velkaro
