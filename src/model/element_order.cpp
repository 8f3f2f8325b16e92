// The order among siblings of one parent, type and role, and the neighbours
// above and below that follow from it.

#include <cstring>
#include <unordered_set>

#include <glib.h>

#include "model/element.h"

namespace velkaro {

int ModelElement::elmcmp(const ModelElement& elm1, const ModelElement& elm2)
{
  if (!elm1.get_cells() || !elm2.get_cells())
    g_debug("element:98: elm hasnt cells compared!");
  if (&elm1 == &elm2)
    return 0;
  const CellPos& a = elm1.pos;
  const CellPos& b = elm2.pos;
  if ((a.x < b.x && a.y <= b.y) || (a.y < b.y && a.x <= b.x))
    return -1;
  if ((b.x < a.x && b.y <= a.y) || (b.y < a.y && b.x <= a.x))
    return 1;
  // One lies up-right of the other: 1 in either order.
  if (a != b)
    return 1;
  if (const int by_name = std::strcmp(elm1.get_type_name(), elm2.get_type_name()))
    return by_name;
  const int32_t r1 = elm1.get_role();
  const int32_t r2 = elm2.get_role();
  return r1 < r2 ? -1 : (r1 > r2 ? 1 : 0);
}

ModelElement::ElementPtr ModelElement::upper_(bool up) const
{
  const bool before = up != get_flip();
  ElementPtr best;
  each_siblings([&](const ElementPtr& c) {
    if (before) {
      if (elmcmp(*this, *c) >= 1 && (!best || elmcmp(*c, *best) > 0))
        best = c;
    } else if (elmcmp(*this, *c) < 0 && (!best || elmcmp(*c, *best) < 0)) {
      best = c;
    }
  });
  return best;
}

ModelElement::ElementPtr ModelElement::walk_to_end(bool up) const
{
  ElementPtr e = self();
  std::unordered_set<const ModelElement*> seen{e.get()};
  while (!(up ? e->get_is_top() : e->get_is_bottom())) {
    ElementPtr next = up ? e->get_upper() : e->get_lower();
    // Siblings up-right of each other name each other as neighbours.
    if (!next || !seen.insert(next.get()).second)
      break;
    e = std::move(next);
  }
  return e;
}

ModelElement::ElementPtr ModelElement::get_bottom() const
{
  return walk_to_end(false);
}

ModelElement::ElementPtr ModelElement::get_top() const
{
  return walk_to_end(true);
}

} // namespace velkaro
