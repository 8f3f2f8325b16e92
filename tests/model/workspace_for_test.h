#pragma once
// A small diagram kind for the workspace tests: a box element that writes
// its name, may be marked as not cuttable alone, and is kept out of cells
// covered by another box; cells that make it from its XML name; and a
// workspace whose fill hooks log their calls and can let boxes grow.

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "model/element.h"
#include "model/element_cells.h"
#include "model/exp_stack.h"
#include "model/serializing_reader.h"
#include "model/serializing_writer.h"
#include "model/workspace.h"
#include "model/document_for_test.h"
#include "model/workspace_diff.h"
#include "support/test_env.h"

namespace velkaro::test {

class Box : public ModelElement {
public:
  static std::shared_ptr<Box> create(std::string name, int32_t role = 0, bool fixed = false)
  {
    auto b = std::make_shared<Box>();
    b->name = std::move(name);
    b->set_role(role);
    b->fixed = fixed;
    return b;
  }
  Box() { tag = "box"; }

  const char* get_type_name() const override { return "Box"; }
  ElementPtr new_instance() const override { return std::make_shared<Box>(); }
  bool get_resizable() const override { return true; }
  bool get_is_cuttable() const override { return !fixed; }

  // Another box covering the cell is in the way, unless it has the same
  // name: a copy and what it was copied from do not block each other.
  void each_pos_obstacles(std::vector<ElementPtr>& obstacles, const CellPos& pos) override
  {
    const auto ws = get_ws();
    const auto stack = ws ? ws->exp_at(pos) : nullptr;
    if (!stack)
      return;
    stack->foreach([&](const ElementPtr& e) {
      const auto box = dynamic_cast<Box*>(e.get());
      if (box && box != this && box->name != name)
        obstacles.push_back(e);
    });
  }

  void write_in_top() override
  {
    (void)get_writer()->write_attribute("name", name);
    if (fixed)
      (void)get_writer()->write_attribute("fixed", "1");
  }
  void read_in_top() override
  {
    name = get_reader()->get_attribute("name").value_or("");
    fixed = get_reader()->get_attribute("fixed").has_value();
  }

  std::string name;
  bool fixed = false;
};

class BoxCells : public ModelElementCells {
public:
  static std::shared_ptr<BoxCells> create() { return std::make_shared<BoxCells>(); }

  ElementPtr bear(const std::string& name) override
  {
    if (name == "box")
      return std::make_shared<Box>();
    return ModelElementCells::bear(name);
  }
};

// One call of a fill hook: which hook, the element's name, the cursor.
struct HookCall {
  std::string hook;
  std::string name;
  CellPos cursor;

  bool operator==(const HookCall&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const HookCall& c)
{
  return os << c.hook << " " << c.name << " " << c.cursor.to_string();
}

class TestWorkspace : public ModelWorkspace {
public:
  explicit TestWorkspace(Key key) : ModelWorkspace(key) {}

  void init() override
  {
    ModelWorkspace::init();
    set_cells(BoxCells::create());
    tmp_cells = BoxCells::create();
  }

  void fill_upper(const ElementPtr& elm) override { fill("upper", elm); }
  void fill_left(const ElementPtr& elm) override { fill("left", elm); }
  void fill_right(const ElementPtr& elm) override { fill("right", elm); }

  std::vector<HookCall> calls;
  // When set, a hook lets a box that reaches the new line from before it
  // grow by one cell (through resize), and stores a new box "fill" in the
  // new cell next to any other box.
  bool grow = false;

private:
  void fill(const char* hook, const ElementPtr& elm)
  {
    const auto box = std::dynamic_pointer_cast<Box>(elm);
    calls.push_back({hook, box ? box->name : elm->get_type_name(), cursor});
    if (!grow || !box)
      return;
    const CellPos at = cursor;
    const bool across_row = std::string(hook) == "upper";
    const bool before = across_row ? box->pos.y < at.y : box->pos.x < at.x;
    if (before && box->dh >= 0 && box->dv >= 0)
      resize_hv(box, box->dh + (across_row ? 0 : 1), box->dv + (across_row ? 1 : 0), {-1, -1});
    else if (!before)
      store(Box::create("fill"));
    cursor = at;
  }
};

// The names of the chain at (x, y), from its head.
inline std::vector<std::string> chain_at(ModelWorkspace& ws, int32_t x, int32_t y)
{
  std::vector<std::string> names;
  if (const auto head = ws.elm_at({x, y}))
    head->foreach([&](const std::shared_ptr<ModelElement>& e) {
      const auto box = std::dynamic_pointer_cast<Box>(e);
      names.push_back(box ? box->name : e->get_type_name());
    });
  return names;
}

} // namespace velkaro::test
