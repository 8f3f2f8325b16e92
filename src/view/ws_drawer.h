#pragma once
// ViewWsDrawer: the base of the drawers of a workspace's elements. A
// subclass's draw() calls the element walk (each_target) with its element
// class and its clip region, and draws the visited element from the walk's
// fields, after the walk has set the element's fill and line style.
//
// The walk visits the controller's current cells (the scratch cells while
// the workspace is in temp mode, as in the canvas's working pass) through
// their covering map: rows ascending, columns ascending, within a cell the
// covering elements in order. An element over several cells is visited
// once, at the first of its cells in that order (its top-left cell). With a
// region, only the cells around the region are looked at, so a walk costs
// what the region holds, not what the document holds; an element is visited
// when its cell rectangle touches or overlaps the region (edges included).
//
// Style of a visited element (init()): outside temp mode the element at the
// cursor cell is filled with active_element_fill and outlined in
// active_element_line, every other one filled with element_fill and
// outlined in element_line, at width 1.0; in temp mode nothing is filled and
// lines are in_working_line; elements in process get width 2.0 in
// in_process_line; without a controller nothing is filled and lines are
// element_line. A drawer context that shows no editor marks (an export)
// has no cursor cell and no element in process: every element gets the
// style of one elsewhere.
//
// Cost. The covering map of the cells walked comes from
// ModelElementCells::expanded_for(): for a page, a map of just those cells
// made from the covering index (expand_part()); for a range spanning most
// rows (an export), or once it is built, the cached map of the whole
// document. What the walk meets is sorted into the order of the whole
// map's walk. The grid drawer walks the same way and the cursor frame asks
// the index for its one cell (stack_at()), so drawing a page costs what the
// page holds, whatever the size of the document, also right after an edit,
// which drops the cached whole map.
//
// The walk and the workspace accessors need a bound controller; without
// one the walk visits nothing.

#include <functional>
#include <memory>
#include <optional>

#include "common/cell_pos.h"
#include "common/cell_range.h"
#include "common/rectangle.h"
#include "view/drawer.h"

namespace velkaro {

class ModelElement;
class ModelElementCells;
class ModelGrid;
class ModelWorkspace;

class ViewWsDrawer : public ViewDrawer {
public:
  using ElementPtr = std::shared_ptr<ModelElement>;
  // Which elements a walk visits, by their class (a walk asks once per
  // class it meets); null: every element.
  using ElementFilter = bool (*)(const ModelElement& elm);
  // Called for each visited element; reads it from the fields below.
  using TargetFunc = std::function<void()>;

  // The filter of class T and the classes derived from it.
  template <class T>
  static bool is_a(const ModelElement& elm)
  {
    return dynamic_cast<const T*>(&elm) != nullptr;
  }

  // --- The element being visited.

  // The element's anchor cell for an element over several cells, the
  // visited cell for a single-cell element.
  CellPos start_cell{0, 0};
  // The cell at which the walk reports the element.
  CellPos now_cell{0, 0};
  // The element; set only for elements that pass the region test.
  ElementPtr now_elm;
  // In canvas units, the grid rectangle of the visited cell, or for an
  // element over several cells of its range from its anchor cell to its
  // end cell: from the anchor cell's top-left corner, where its layout box
  // starts, so that an element extending left or up has a negative width
  // or height here.
  Rectangle now_rect;

  // The cells whose rectangles may touch box (canvas units): one line more
  // on the near sides, since a cell ending on the box's edge touches it;
  // none when the box ends before the first cell.
  static std::optional<CellRange> cells_around(const ModelGrid& grid, const cairo_rectangle_int_t& box);

  // --- The walk and the style, for draw().

  // Visits the elements that pass type (null: all) and touch region (null:
  // no test): for each, sets the fields, init(), set_in_proc() for one in
  // process, then fn().
  void each_target(ElementFilter type, const Cairo::RefPtr<Cairo::Region>& region, const TargetFunc& fn);
  template <class T>
  void each_target(const Cairo::RefPtr<Cairo::Region>& region, const TargetFunc& fn)
  {
    each_target(&is_a<T>, region, fn);
  }
  // The same walk without the style: fn only looks at the visited
  // element's fields, before anything is drawn (the cairo state stays).
  void each_met(ElementFilter type, const Cairo::RefPtr<Cairo::Region>& region, const TargetFunc& fn);
  template <class T>
  void each_met(const Cairo::RefPtr<Cairo::Region>& region, const TargetFunc& fn)
  {
    each_met(&is_a<T>, region, fn);
  }
  // The style of the visited element: fills the current path (keeping it)
  // as the header says, sets a solid line, set_default(), and the active
  // line colour at the cursor cell. A drawer may call it again after
  // putting an element's outline on the path, to fill that outline.
  void init();
  // Line width 1.0 in in_working_line (temp mode) or element_line.
  void set_default();
  // Line width 2.0 in in_process_line; set_default() where the drawer
  // context shows no editor marks.
  void set_in_proc();
  // Draws the text of the visited element's chain (its first text element)
  // with a text drawer at now_rect's corner moved by offset.
  void draw_text_elm(const Point& offset);

  // --- The bound controller's workspace; only while one is bound.

  std::shared_ptr<ModelWorkspace> get_ws() const;
  std::shared_ptr<ModelGrid> get_grid() const;
  // The workspace's current cells (the scratch cells in temp mode).
  std::shared_ptr<ModelElementCells> get_cells() const;
  // now_cell is the controller's cursor cell, and the drawer context shows
  // the editor's marks.
  bool get_is_cursor() const;

  // Whether the visited element goes on beyond now_cell on that side.
  bool get_has_left() const { return start_cell.x < now_cell.x; }
  bool get_has_top() const { return start_cell.y < now_cell.y; }
  bool get_has_right() const;
  bool get_has_bottom() const;

protected:
  ViewWsDrawer() = default;
  explicit ViewWsDrawer(const std::shared_ptr<ViewDrawerContext>& dc) : ViewDrawer(dc) {}

private:
  // The fields for element elm reported at (x, y), the region test, the
  // style and fn.
  void visit(int32_t x, int32_t y, const ElementPtr& elm, const Cairo::RefPtr<Cairo::Region>& region,
             const TargetFunc& fn);
  // The walk over the cells around region.
  void each_in_region(ElementFilter type, const Cairo::RefPtr<Cairo::Region>& region, const TargetFunc& fn);
  // The workspace is in temp mode (false without a controller).
  bool in_temp_mode() const;

  // Set while each_met() walks: visit() sets no style.
  bool m_unstyled = false;
};

} // namespace velkaro
