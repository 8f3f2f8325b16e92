#pragma once
// ViewDrawer: the base of everything drawn on the canvas, in an exported
// image or on the command bar. A drawer has one job, draw(), which it does
// through the drawer context it is bound to.
//
// Binding: draw_for(dc, ctrl) binds the drawer to a drawer context and a
// controller context and calls draw(). The binding stays until the next one
// (the canvas binds its drawers again at every draw), so the accessors below
// give the latest draw's context, regions and controller. A drawer made
// with a context (the constructor taking dc) is bound without a controller
// and drawn with draw().
//
// Regions: update_region holds the context's update rectangle; clip_region
// is the region a drawer limits its work to, the very same region after
// every binding. Nothing clips the cairo context: a drawer that paints
// paints the whole target.
//
// Ownership: the drawer holds its context and regions; the controller only
// weakly (a canvas's drawers belong to the canvas, which the controller
// holds), so get_ctrl() is null once the controller is gone.
//
// Subclasses implement draw() and may override get_for_working() and
// get_dirty(). Element drawers derive from ViewWsDrawer.

#include <memory>
#include <optional>

#include <cairomm/context.h>
#include <cairomm/region.h>
#include <gdk/gdk.h>

#include "view/color_map.h"

namespace velkaro {

class CtrlContext;
class Point;
class ViewDrawerContext;

class ViewDrawer {
public:
  virtual ~ViewDrawer() = default;
  ViewDrawer(const ViewDrawer&) = delete;
  ViewDrawer& operator=(const ViewDrawer&) = delete;

  // --- Virtual operations.

  // Draws the drawer's content with the bound context.
  virtual void draw() = 0;
  // Whether the canvas runs the drawer a second time, over the workspace's
  // scratch cells in the working colour. Base: false.
  virtual bool get_for_working() const { return false; }
  // Base: the clip region of the binding in force at the first call, on
  // this and every later call.
  virtual Cairo::RefPtr<Cairo::Region> get_dirty();

  // --- Binding.

  // Binds dc (and its update rectangle as both regions) and ctrl (null
  // allowed), then draw(). The override colour is left as it is.
  void draw_for(const std::shared_ptr<ViewDrawerContext>& dc, const std::shared_ptr<CtrlContext>& ctrl);

  // The bound context, or null before the first binding.
  const std::shared_ptr<ViewDrawerContext>& get_dc() const { return m_dc; }
  // The bound context's cairo context; only while a context is bound.
  const Cairo::RefPtr<Cairo::Context>& get_cr() const;
  const Cairo::RefPtr<Cairo::Region>& get_update_region() const { return m_update_region; }
  const Cairo::RefPtr<Cairo::Region>& get_clip_region() const { return m_clip_region; }
  // The bound controller while it lives; null when bound without one.
  std::shared_ptr<CtrlContext> get_ctrl() const { return m_ctrl.lock(); }

  // Set only while the canvas's working pass runs the drawer: the palette's
  // in_working_line. A drawer may draw in it instead of its own colour.
  const std::optional<GdkRGBA>& get_override_color() const { return m_override_color; }
  void set_override_color(const std::optional<GdkRGBA>& color) { m_override_color = color; }

  // --- Helpers for draw().

  // Adds a move to from and a line to to to the current path (no stroke).
  void line(const Point& from, const Point& to);
  // The bound palette's colour.
  GdkRGBA get_color(ViewColor color) const;
  // Makes the bound palette's colour the cairo source.
  void set_source(ViewColor color);
  // Makes rgba the cairo source.
  void set_source(const GdkRGBA& rgba);

protected:
  // Nothing bound.
  ViewDrawer() = default;
  // Bound to dc as draw_for() binds it, without a controller.
  explicit ViewDrawer(const std::shared_ptr<ViewDrawerContext>& dc);
  // Binds dc (and its update rectangle as both regions) as draw_for() does,
  // without drawing; the controller stays as it is. For a drawer that also
  // draws single figures on a context of the caller's (an icon).
  void bind(const std::shared_ptr<ViewDrawerContext>& dc);

private:

  std::shared_ptr<ViewDrawerContext> m_dc;
  Cairo::RefPtr<Cairo::Region> m_update_region;
  Cairo::RefPtr<Cairo::Region> m_clip_region;
  std::weak_ptr<CtrlContext> m_ctrl;
  std::optional<GdkRGBA> m_override_color;
  Cairo::RefPtr<Cairo::Region> m_dirty;
};

} // namespace velkaro
