#pragma once
// ViewFillingDrawer paints one colour over the whole target (nothing in the
// drawer framework clips, so the paint covers the whole widget or image).
// ViewFillingBackgroundDrawer paints the bound palette's background: every
// exporter draws one first; the command bar paints its own background with
// a ViewFillingDrawer bound to its context.

#include <memory>

#include <gdk/gdk.h>

#include "view/drawer.h"

namespace velkaro {

class ViewFillingDrawer : public ViewDrawer {
public:
  // Unbound; bind it with draw_for().
  explicit ViewFillingDrawer(const GdkRGBA& color) : color(color) {}
  // Bound to dc without a controller; draw it with draw().
  ViewFillingDrawer(const std::shared_ptr<ViewDrawerContext>& dc, const GdkRGBA& color)
    : ViewDrawer(dc), color(color)
  {
  }

  // Saves the cairo state, paints color, restores.
  void draw() override;

  GdkRGBA color;
};

class ViewFillingBackgroundDrawer : public ViewFillingDrawer {
public:
  // Unbound, color opaque black until it draws.
  ViewFillingBackgroundDrawer() : ViewFillingDrawer(GdkRGBA{0, 0, 0, 1}) {}

  // color := the bound palette's background; then paints it.
  void draw() override;
};

} // namespace velkaro
