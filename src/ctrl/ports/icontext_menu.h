#pragma once
// CtrlIContextMenu: the popup menu of a right click on the canvas. The view
// implements it from the window's menu bar; the controller context holds it,
// and a mode's right press asks it to pop up.

namespace velkaro {

class CtrlContext;

class CtrlIContextMenu {
public:
  virtual ~CtrlIContextMenu() = default;

  // Builds the popup from the menu bar's context menus (and the File, View
  // and Help menus while the menu bar is hidden), enables its items by the
  // context's actionable names and pops it up for the current pointer event.
  virtual void show_menu(CtrlContext& ctx) = 0;
};

} // namespace velkaro
