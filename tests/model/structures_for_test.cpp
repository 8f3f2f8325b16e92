// The full recomputations of structures_for_test.h.

#include "model/structures_for_test.h"

#include <algorithm>
#include <map>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <gtest/gtest.h>

#include "common/point.h"
#include "model/expanded_cells.h"
#include "model/text_element.h"

namespace velkaro::test {

std::shared_ptr<ModelGrid> fresh_grid(ModelWorkspace& ws)
{
  auto grid = std::make_shared<ModelGrid>();
  grid->h = ModelGridGridList::create(ws.grid->h->get_min_size());
  grid->v = ModelGridGridList::create(ws.grid->v->get_min_size());
  std::map<int32_t, double> cols, rows;
  ws.get_cells()->foreach([&](int32_t x, int32_t y, const std::shared_ptr<ModelElement>& head) {
    head->foreach([&](const std::shared_ptr<ModelElement>& e) {
      const Rectangle r = e->get_rect();
      for (int64_t i = 0; i < e->get_mwidth(); ++i) {
        double& need = cols[static_cast<int32_t>(x + i * e->get_exthdir())];
        need = std::max(need, (r.width + 10.0) / e->get_mwidth());
      }
      for (int64_t j = 0; j < e->get_mheight(); ++j) {
        double& need = rows[static_cast<int32_t>(y + j * e->get_extvdir())];
        need = std::max(need, (r.height + 10.0) / e->get_mheight());
      }
    });
    return true;
  });
  for (const auto& [x, need] : cols)
    grid->h->set_size(x, need);
  for (const auto& [y, need] : rows)
    grid->v->set_size(y, need);
  return grid;
}

void expect_fresh_grid(ModelWorkspace& ws, int32_t last, const std::string& where)
{
  const auto fresh = fresh_grid(ws);
  for (int32_t i = 0; i <= last; ++i) {
    ASSERT_NEAR(ws.grid->h->get(i), fresh->h->get(i), 1e-6) << where << ": column " << i;
    ASSERT_NEAR(ws.grid->v->get(i), fresh->v->get(i), 1e-6) << where << ": row " << i;
  }
}

void expect_index_exact(ModelElementCells& cells, const std::string& where)
{
  using ElementPtr = std::shared_ptr<ModelElement>;
  const auto expanded = cells.expand();
  const auto names = [](const std::shared_ptr<ModelExpStack>& stack) {
    std::vector<const ModelElement*> elms;
    if (stack)
      for (const auto& e : stack->get_data())
        elms.push_back(e.get());
    return elms;
  };
  std::vector<int32_t> cols, rows;
  expanded->foreach([&](int32_t x, int32_t y, const std::shared_ptr<ModelExpStack>& stack) {
    EXPECT_EQ(names(cells.stack_at(x, y)), names(stack)) << where << ": the stack at " << x << ", " << y;
    cols.push_back(x);
    rows.push_back(y);
    // A cell beside it may be empty: it has no stack either.
    EXPECT_EQ(names(cells.stack_at(x + 1, y)), names(expanded->get(x + 1, y))) << where;
    return true;
  });
  cols.push_back(0);
  rows.push_back(0);
  // Each line once: a line holds many covered cells.
  for (auto* lines : {&cols, &rows}) {
    std::sort(lines->begin(), lines->end());
    lines->erase(std::unique(lines->begin(), lines->end()), lines->end());
  }
  const auto visit = [&](CellDir dir, int32_t index) {
    std::vector<std::pair<const ModelElement*, CellPos>> expected, got;
    const auto add = [&](int32_t x, int32_t y, const ElementPtr& e) { expected.push_back({e.get(), {x, y}}); };
    if (dir == CellDir::h)
      expanded->foreach_col(index, add);
    else
      expanded->foreach_row(index, add);
    for (const auto& met : cells.covering(dir, index))
      got.push_back({met.elm.get(), {met.x, met.y}});
    EXPECT_EQ(got, expected) << where << ": the elements covering " << (dir == CellDir::h ? "column " : "row ")
                             << index;
  };
  for (int32_t x : cols)
    visit(CellDir::h, x);
  for (int32_t y : rows)
    visit(CellDir::v, y);
  cells.foreach([&](int32_t x, int32_t y, const ElementPtr& head) {
    int32_t index = 0;
    for (ElementPtr e = head; e; e = e->get_next(), ++index) {
      const auto found = cells.find(*e);
      EXPECT_TRUE(found && *found == (ModelElementElmPos{x, y, index})) << where << ": the place of element "
                                                                        << index << " at " << x << ", " << y;
    }
    return true;
  });
}

void expect_structures(ModelWorkspace& ws, const std::string& where)
{
  const auto cells = ws.get_cells();
  expect_index_exact(*cells, where);
  cells->foreach([&](int32_t x, int32_t y, const std::shared_ptr<ModelElement>& head) {
    for (auto e = head; e; e = e->get_next())
      EXPECT_EQ(e->pos, (CellPos{x, y})) << where;
    return true;
  });
  const auto used = cells->get_exists_range();
  expect_fresh_grid(ws, std::max(used->end.x, used->end.y) + 4, where);
  // Every text sits in the box of its cells as the grid now has them: laid
  // out again, it stays where it is.
  cells->foreach([&](int32_t x, int32_t y, const std::shared_ptr<ModelElement>& head) {
    for (auto e = head; e; e = e->get_next()) {
      const auto text = std::dynamic_pointer_cast<ModelTextElement>(e);
      if (!text)
        continue;
      const Point before = text->get_pango_layout_offset();
      text->layout_for(ws, x, y);
      const Point after = text->get_pango_layout_offset();
      EXPECT_NEAR(after.get_x(), before.get_x(), 1e-6) << where << ": the text at " << x << ", " << y;
      EXPECT_NEAR(after.get_y(), before.get_y(), 1e-6) << where << ": the text at " << x << ", " << y;
    }
    return true;
  });
}

void expect_parent_links(ModelWorkspace& ws, const std::string& where)
{
  using ElementPtr = std::shared_ptr<ModelElement>;
  const auto cells = ws.get_cells();
  // Each parent's children, gathered once: a life head lists every cell.
  std::unordered_map<const ModelElement*, std::unordered_set<const ModelElement*>> listed;
  const auto in_document = [&](const ElementPtr& parent) {
    const CellPos at = ws.anchor_of(parent);
    const ElementPtr chain = at.get_is_valid() ? ws.elm_at(at) : nullptr;
    return parent->stored && chain && chain->has_elm(*parent);
  };
  cells->foreach([&](int32_t x, int32_t y, const ElementPtr& head) {
    for (ElementPtr e = head; e; e = e->get_next()) {
      const std::string what = where + ": the " + e->get_type_name() + " at " + CellPos{x, y}.to_string();
      if (const ElementPtr kept = e->ModelElement::get_parent()) {
        EXPECT_TRUE(in_document(kept)) << what << " has a " << kept->get_type_name()
                                       << " outside the document as its parent";
        auto [it, fresh] = listed.try_emplace(kept.get());
        if (fresh)
          for (const auto& child : kept->get_children())
            it->second.insert(child.get());
        EXPECT_TRUE(it->second.contains(e.get()))
          << what << " is not among the children of its parent, a " << kept->get_type_name();
      }
      if (const ElementPtr parent = e->get_parent()) {
        EXPECT_TRUE(in_document(parent)) << what << " finds a " << parent->get_type_name()
                                         << " outside the document as its parent";
      }
    }
    return true;
  });
}

void expect_structures_and_links(ModelWorkspace& ws, const std::string& where)
{
  expect_structures(ws, where);
  expect_parent_links(ws, where);
}

} // namespace velkaro::test
