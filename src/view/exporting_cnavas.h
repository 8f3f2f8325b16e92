#pragma once
// ViewExportingCnavas (the name is spelled so): draws a diagram off-screen
// and writes it as a PNG file. It is the base of one exporter per diagram
// kind, which overrides new_drawers() with its drawer list; the window's
// export command makes the kind's exporter for a rectangle of the diagram
// and calls export_png() with a path.
//
// Unlike the canvas it has no widget: it draws with the light palette at
// zoom 1 (one canvas unit is one pixel), in one pass, without saving or
// restoring the cairo state between drawers (the style one drawer leaves
// stays in force for the next), without the working pass and without
// changing the antialiasing. The image keeps what was drawn: a second
// export with the same exporter draws over the first picture.
//
// Writing never costs an existing file: the image goes into a temporary
// file beside the target, which is renamed over the target only once it
// is complete (ModelFileReplacement, as a document save does; the same
// files are refused, and a symbolic link stays a link). A failure (an image cairo cannot make, a drawing error, a
// place that cannot be written, a failed write or rename) returns false,
// leaves the target as it was and no temporary file behind, and
// get_last_error() says why.
//
// Ownership: the exporter holds the controller, its workspace and the
// off-screen drawer context for its own (short) life.

#include <memory>
#include <string>
#include <vector>

#include "common/rectangle.h"

namespace velkaro {

class CtrlContext;
class ModelWorkspace;
class ViewDrawer;
class ViewDrawerContext;

class ViewExportingCnavas {
public:
  using DrawerList = std::vector<std::shared_ptr<ViewDrawer>>;

  // A new T (this class or a kind's exporter, constructed from ctrl, rect
  // and args); null with a critical message for a null ctrl.
  template <class T = ViewExportingCnavas, class... Args>
  static std::shared_ptr<T> create(const std::shared_ptr<CtrlContext>& ctrl, const Rectangle& rect,
                                   Args&&... args)
  {
    if (!check_ctrl(ctrl.get()))
      return nullptr;
    return std::make_shared<T>(ctrl, rect, std::forward<Args>(args)...);
  }

  // The exporter of rect (canvas units): an image of rect's width and
  // height, each truncated toward zero, whose top-left pixel shows the
  // canvas point (rect.x, rect.y); the light palette. ctrl must not be null.
  ViewExportingCnavas(const std::shared_ptr<CtrlContext>& ctrl, const Rectangle& rect);
  virtual ~ViewExportingCnavas();
  ViewExportingCnavas(const ViewExportingCnavas&) = delete;
  ViewExportingCnavas& operator=(const ViewExportingCnavas&) = delete;

  // Draws new_drawers() in order with the off-screen context and ctrl,
  // then writes the image to file_path as the header says. True when the
  // file was written.
  virtual bool export_png(const std::string& file_path);
  // Why the latest export failed, for the user; "" after a success.
  const std::string& get_last_error() const { return m_last_error; }

  std::shared_ptr<CtrlContext> ctrl;
  std::shared_ptr<ModelWorkspace> ws;
  std::shared_ptr<ViewDrawerContext> dc;

protected:
  // The drawers of one export, in drawing order (the first paints the
  // background, ViewFillingBackgroundDrawer). Base: none, so the base
  // exporter writes a fully transparent image.
  virtual DrawerList new_drawers();
  // Moves the complete temporary file temp over target; false with error
  // set when that failed (the caller then removes temp). Tests override it
  // to interrupt an export at its last step.
  virtual bool replace_file(const std::string& temp, const std::string& target, std::string& error);

private:
  static bool check_ctrl(const CtrlContext* ctrl);
  bool draw_all(std::string& error);
  bool write_file(const std::string& target, std::string& error);
  bool fail(const std::string& file_path, const std::string& error);

  std::string m_last_error;
};

} // namespace velkaro
