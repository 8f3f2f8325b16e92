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
// changing the antialiasing. It is a picture of the diagram: its drawer
// context shows no mark of the editor (ViewDrawerContext::shows_editor),
// so the element at the cursor, elements in process and the text under
// the cursor with its caret and selection look like any other.
//
// The image is never held whole (an export of a long diagram is tens of
// millions of pixels): it is drawn in bands of rows, top to bottom, each
// recorded with a fresh cairo context and a fresh drawer list
// (new_drawers()), as if the pass over the whole image were seen through a
// slot; the PNG writer turns each band into pixels and compresses it on
// other threads while the next is drawn. Drawers draw what their clip
// region meets, so a band costs what it shows. A band wider than cairo's
// images (32,767 pixels) is drawn in pieces of at most that width side by
// side, each recorded and turned into its columns of the band's pixels
// alike. So any image a PNG can hold is exported, as tall as it comes and
// up to 536,870,911 pixels wide (a row's bytes must fit in an int). Each
// part's context names the whole drawing (ViewDrawerContext::whole), and
// a band is the image one drawing of the whole would give there, pixel for
// pixel; near a cut between pieces an antialiased edge may differ from it
// by a few levels (cairo's rasterizer splits an edge where a piece ends).
// Every export draws afresh.
//
// Bands hold about two megabytes of pixels and at most 32,767 rows, as
// cairo's images do. On the calling thread each band gets a fresh drawer
// list and a cairo context on a recording surface translated to the band;
// the covering map of the whole image is built once and shared by every
// band's walk. A drawer whose drawing depends on what the whole drawing did
// before the band works that out once through the whole drawing's context
// and keeps it for the next band (the message drawer: where the first found
// or lost dot lies, after which antialiasing is off). Only cairo recordings
// cross to the writer's threads: drawers, the model and Pango stay on the
// calling thread. A test compares bands with one drawing of the whole at
// several cuts. The bands are images of 8-bit channels, so the context
// settles repeats (ViewDrawerContext::settles_repeats): a drawer may leave
// out the alike drawings that can no longer change a pixel (thousands of
// alike messages in one cell of a hostile file).
//
// Writing never costs an existing file: the image goes into a temporary
// file beside the target, which is renamed over the target only once it
// is complete (ModelFileReplacement, as a document save does; the same
// files are refused, and a symbolic link stays a link, also one to a file
// not there yet, which the export makes). A failure (an image of no pixels
// or wider than the most that can be written, a drawing error, a place that
// cannot be written, a failed write or rename) returns false, leaves the
// target as it was and no temporary file behind, and get_last_error() says
// why, in the system's words where the system refused ("No space left on
// device", as a save says it).
//
// Ownership: the exporter holds the controller, its workspace and the
// export's drawer context for its own (short) life; the bands' contexts
// live while their band is drawn.

#include <memory>
#include <string>
#include <vector>

#include <cairo.h>

#include "common/rectangle.h"

namespace velkaro {

class CtrlContext;
class ModelWorkspace;
class ModelExpandedCells;
class ViewPngWriter;
class ViewDrawer;
class ViewDrawerContext;
class ViewWholeDrawing;

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

  // Draws new_drawers() in order with ctrl, band by band, then writes the
  // image to file_path as the header says. True when the file was written.
  virtual bool export_png(const std::string& file_path);
  // Why the latest export failed, for the user; "" after a success.
  const std::string& get_last_error() const { return m_last_error; }
  // The rows of a band (0, the default: the writer's choice, about two
  // megabytes of pixels); tests cut the image finely.
  void set_band_rows(int rows) { m_band_rows = rows; }
  // The columns of a band's pieces (0, the default, or more than cairo
  // takes: the widest image cairo makes); tests cut the bands finely.
  void set_piece_columns(int columns) { m_piece_columns = columns; }

  std::shared_ptr<CtrlContext> ctrl;
  std::shared_ptr<ModelWorkspace> ws;
  // The export's settings: the palette, the zoom and, as update_rect, the
  // whole image's rectangle; no surface (each band has its own).
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
  // Writes png's stream to the temporary file's descriptor fd; false with
  // error set to the system's reason ("No space left on device") when a
  // write failed. Tests override it to write to a full disk.
  virtual bool write_stream(const ViewPngWriter& png, int fd, std::string& error);

private:
  static bool check_ctrl(const CtrlContext* ctrl);
  // The image drawn and compressed; null with error set when it could not be.
  std::unique_ptr<ViewPngWriter> draw_all(std::string& error);
  // Records every band's drawing and hands it to png.
  bool draw_bands(ViewPngWriter& png, std::string& error);
  // The recording of the drawers' drawing of columns by rows pixels from
  // (x0, y0) of the image, a part of whole; null with error set when it
  // failed.
  std::shared_ptr<cairo_surface_t> record(int x0, int y0, int columns, int rows,
                                          const std::shared_ptr<ViewWholeDrawing>& whole, std::string& error);
  // The covering map of the image's cells when it is the whole document's
  // (then built once and kept by the cells); null otherwise.
  std::shared_ptr<ModelExpandedCells> share_covering() const;
  bool write_file(const std::string& target, const ViewPngWriter& png, std::string& error);
  bool fail(const std::string& file_path, const std::string& error);

  // The canvas point at the image's top-left pixel.
  double m_x;
  double m_y;
  int m_band_rows = 0;
  int m_piece_columns = 0;
  std::string m_last_error;
};

} // namespace velkaro
