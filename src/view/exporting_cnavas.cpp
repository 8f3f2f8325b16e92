#include "view/exporting_cnavas.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <vector>

#include <glibmm/ustring.h>

#include "common/check.h"
#include "common/i18n.h"
#include "ctrl/context.h"
#include "model/element_cells.h"
#include "model/expanded_cells.h"
#include "model/text_measure.h"
#include "model/workspace.h"
#include "view/color_map.h"
#include "view/drawer.h"
#include "view/drawer_context.h"
#include "view/png_writer.h"
#include "view/ws_drawer.h"

namespace velkaro {
namespace {

// The side of an image surface cairo makes at most: the widest piece of a
// band, and the tallest band.
constexpr int MAX_SIDE = 32767;
// The widest image written: the bytes of one row of pixels must fit in an
// int, as cairo and the writer count them. Heights are those of a PNG.
constexpr int MAX_WIDTH = std::numeric_limits<int>::max() / 4;

// Owns a cairo surface; shared by a band's recording and its render.
using SurfacePtr = std::shared_ptr<cairo_surface_t>;

// The recording of one piece of a band: the columns from x0 on.
struct Piece {
  int x0;
  int columns;
  SurfacePtr recording;
};

// Replays the recordings of a band's pieces over the whole of buffer: what
// the drawers would have drawn on a new (transparent) image of the band.
// Each piece goes to an image of its own over its columns of the buffer,
// which stays within cairo's sizes however wide the band is.
bool replay(const std::vector<Piece>& pieces, const ViewPngWriter::Buffer& buffer)
{
  bool ok = true;
  for (const Piece& piece : pieces) {
    cairo_surface_t* image = cairo_image_surface_create_for_data(buffer.data + size_t(piece.x0) * 4,
                                                                 CAIRO_FORMAT_ARGB32, piece.columns, buffer.rows,
                                                                 buffer.stride);
    cairo_t* cr = cairo_create(image);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, piece.recording.get(), 0, 0);
    cairo_paint(cr);
    ok = ok && cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    cairo_surface_flush(image);
    cairo_surface_destroy(image);
  }
  return ok;
}

} // namespace

bool ViewExportingCnavas::check_ctrl(const CtrlContext* ctrl)
{
  VK_CHECK_VAL(ctrl != nullptr, false);
  return true;
}

ViewExportingCnavas::ViewExportingCnavas(const std::shared_ptr<CtrlContext>& ctrl, const Rectangle& rect)
  : ctrl(ctrl), ws(ctrl->get_ws()), dc(ViewDrawerContext::create()), m_x(rect.x), m_y(rect.y)
{
  rect.debug_print("");
  dc->update_rect = rect.to_cairo_int();
  dc->color_map = ViewColorMap::create_light();
  // A picture of the diagram: no cursor, caret or selection of the editor.
  dc->shows_editor = false;
  // The bands are ARGB32 images.
  dc->settles_repeats = true;
}

ViewExportingCnavas::~ViewExportingCnavas() = default;

ViewExportingCnavas::DrawerList ViewExportingCnavas::new_drawers() { return {}; }

bool ViewExportingCnavas::export_png(const std::string& file_path)
{
  if (file_path.empty())
    return fail(file_path, _("no file name is given"));
  std::string error;
  const std::unique_ptr<ViewPngWriter> png = draw_all(error);
  if (!png || !write_file(file_path, *png, error))
    return fail(file_path, error);
  m_last_error.clear();
  return true;
}

std::unique_ptr<ViewPngWriter> ViewExportingCnavas::draw_all(std::string& error)
{
  const cairo_rectangle_int_t& all = dc->update_rect;
  if (all.width <= 0 || all.height <= 0) {
    error = Glib::ustring::compose(_("an image of %1 by %2 pixels cannot be made (%3)"), all.width, all.height,
                                   cairo_status_to_string(CAIRO_STATUS_INVALID_SIZE));
    return nullptr;
  }
  if (all.width > MAX_WIDTH) {
    error = Glib::ustring::compose(_("an image %1 pixels wide is wider than %2 pixels, the most that can be written"),
                                   all.width, MAX_WIDTH);
    return nullptr;
  }
  // The writer's choice, unless a test set its own; a band of a narrow
  // image would otherwise be taller than cairo makes an image.
  const int band_rows = std::min(m_band_rows > 0 ? m_band_rows : ViewPngWriter::band_height_for(all.width, all.height),
                                 MAX_SIDE);
  // Grey samples first (an export in the light palette is grey); a band
  // that needs more tells which, and the image is drawn again with those.
  auto samples = ViewPngWriter::Samples::grey;
  for (;;) {
    auto png = std::make_unique<ViewPngWriter>(all.width, all.height, samples, true, 0, band_rows);
    if (!draw_bands(*png, error))
      return nullptr;
    const cairo_status_t status = png->finish();
    if (png->get_needed() != samples) {
      samples = png->get_needed();
      continue;
    }
    if (status != CAIRO_STATUS_SUCCESS) {
      error = cairo_status_to_string(status);
      return nullptr;
    }
    return png;
  }
}

std::shared_ptr<ModelExpandedCells> ViewExportingCnavas::share_covering() const
{
  const auto cells = ws ? ws->get_cells() : nullptr;
  if (!cells || !ws->grid)
    return nullptr;
  const auto range = ViewWsDrawer::cells_around(*ws->grid, dc->update_rect);
  return range ? cells->expanded_for(*range) : nullptr;
}

bool ViewExportingCnavas::draw_bands(ViewPngWriter& png, std::string& error)
{
  // No main-loop iteration runs while it draws: no font changes.
  const ModelTextMeasure::Steady steady;
  const cairo_rectangle_int_t& all = dc->update_rect;
  // Held while the bands are drawn: the walk of every band finds the map of
  // the whole image built already, instead of building a part of its own.
  const auto covering = share_covering();
  // Every band is a part of one drawing: what a drawer works out about the
  // whole (what the drawing did before the band) it finds there.
  const auto whole = std::make_shared<ViewWholeDrawing>(all);
  const int piece_columns =
    m_piece_columns > 0 ? std::min(m_piece_columns, MAX_SIDE) : MAX_SIDE;
  for (int i = 0; i < png.band_count() && png.get_needed() == png.get_samples(); ++i) {
    const int y0 = png.band_y(i);
    const int rows = png.band_rows(i);
    // A band wider than cairo's images is drawn in pieces side by side.
    std::vector<Piece> pieces;
    for (int x0 = 0; x0 < all.width; x0 += piece_columns) {
      const int columns = std::min(piece_columns, all.width - x0);
      SurfacePtr recording = record(x0, y0, columns, rows, whole, error);
      if (!recording)
        return false;
      pieces.push_back({x0, columns, std::move(recording)});
    }
    // The writer's threads turn the recordings into pixels.
    png.submit_render(
      [pieces = std::move(pieces)](const ViewPngWriter::Buffer& buffer) { return replay(pieces, buffer); });
  }
  return true;
}

std::shared_ptr<cairo_surface_t> ViewExportingCnavas::record(int x0, int y0, int columns, int rows,
                                                             const std::shared_ptr<ViewWholeDrawing>& whole,
                                                             std::string& error)
{
  const cairo_rectangle_int_t& all = dc->update_rect;
  // The drawers draw on a recording of the piece, here.
  const cairo_rectangle_t extents{0, 0, double(columns), double(rows)};
  const SurfacePtr recording(cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents),
                             cairo_surface_destroy);
  const auto part = ViewDrawerContext::create();
  part->update_rect = {all.x + x0, all.y + y0, columns, rows};
  part->cr = Cairo::RefPtr<Cairo::Context>(new Cairo::Context(cairo_create(recording.get()), true));
  cairo_translate(part->cr->cobj(), -(m_x + x0), -(m_y + y0));
  part->color_map = dc->color_map;
  part->zoom = dc->zoom;
  part->shows_editor = dc->shows_editor;
  part->settles_repeats = dc->settles_repeats;
  part->whole = whole;
  try {
    // No save or restore between drawers: one drawer's style carries over.
    for (const auto& drawer : new_drawers())
      drawer->draw_for(part, ctrl);
  } catch (const std::exception& e) {
    // cairomm throws where cairo reports an error.
    error = Glib::ustring::compose(_("drawing failed (%1)"), e.what());
    return nullptr;
  }
  cairo_status_t status = part->get_status();
  if (status == CAIRO_STATUS_SUCCESS)
    status = cairo_surface_status(recording.get());
  if (status != CAIRO_STATUS_SUCCESS) {
    error = Glib::ustring::compose(_("drawing failed (%1)"), cairo_status_to_string(status));
    return nullptr;
  }
  // The drawers' context goes before the recording is replayed elsewhere.
  part->cr.clear();
  return recording;
}

bool ViewExportingCnavas::fail(const std::string& file_path, const std::string& error)
{
  m_last_error = Glib::ustring::compose(_("Cannot export %1: %2"), file_path, error);
  g_debug("exporter: %s", m_last_error.c_str());
  return false;
}

} // namespace velkaro
