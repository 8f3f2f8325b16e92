#pragma once
// What the routing tests share: an element with a settable rectangle (a
// class box as the segment layout sees it) and the snapshot of a route
// graph that tests compare.

#include <array>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>

#include "cls/route/router.h"
#include "model/element.h"

namespace velkaro::test {

class RouteBoxForTest : public ModelElement {
public:
  static std::shared_ptr<RouteBoxForTest> create(const Rectangle& rect = {})
  {
    auto e = std::make_shared<RouteBoxForTest>();
    e->rect = rect;
    return e;
  }

  const char* get_type_name() const override { return "RouteBoxForTest"; }
  ElementPtr new_instance() const override { return std::make_shared<RouteBoxForTest>(); }
  Rectangle get_rect() override { return rect; }

  Rectangle rect;
};

// One node of a graph as the tests compare it: references, terminal flag and
// the cells of its four links ((-1, -1) for none).
struct RouteNodeShotForTest {
  int32_t references = 0;
  bool is_terminal = false;
  std::array<CellPos, 4> links{};

  bool operator==(const RouteNodeShotForTest&) const = default;
};

using RouteGraphShotForTest = std::map<std::pair<int32_t, int32_t>, RouteNodeShotForTest>;

inline RouteGraphShotForTest route_graph_shot(const ClsRouter& router)
{
  RouteGraphShotForTest shot;
  router.foreach([&](int32_t x, int32_t y, const ClsRouter::Value& node) {
    RouteNodeShotForTest n;
    n.references = node->references;
    n.is_terminal = node->is_terminal;
    for (size_t d = 0; d < 4; ++d)
      n.links[d] = node->links[d] ? node->links[d]->pos : CellPos{-1, -1};
    shot[{x, y}] = n;
    return true;
  });
  return shot;
}

// A readable difference of two shots (empty when equal), for failure output.
inline std::string route_graph_diff(const RouteGraphShotForTest& got,
                                    const RouteGraphShotForTest& want)
{
  std::ostringstream out;
  const auto describe = [](const RouteNodeShotForTest& n) {
    std::ostringstream s;
    s << "refs " << n.references << (n.is_terminal ? " terminal" : "") << " links";
    for (const CellPos& l : n.links)
      s << " " << l.to_string();
    return s.str();
  };
  for (const auto& [cell, n] : got) {
    const auto it = want.find(cell);
    if (it == want.end())
      out << "extra node (" << cell.first << ", " << cell.second << ")\n";
    else if (!(it->second == n))
      out << "node (" << cell.first << ", " << cell.second << "): " << describe(n) << " want "
          << describe(it->second) << "\n";
  }
  for (const auto& [cell, n] : want)
    if (!got.count(cell))
      out << "missing node (" << cell.first << ", " << cell.second << ")\n";
  return out.str();
}

} // namespace velkaro::test
