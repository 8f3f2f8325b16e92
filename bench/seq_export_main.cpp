// bench_seq_export IN.xml OUT.png: opens a sequence diagram and exports the
// whole of it to PNG, as the editor's export command does, then ends. The
// large-diagram benchmark times it as a whole process (start-up, GTK, load,
// layout, drawing, writing).
//
// Needs a display (the controller's text editors need GTK).

#include <cstdio>
#include <cstdlib>

#include <glib.h>
#include <gtk/gtk.h>
#include <gtkmm/main.h>

#include "common/cell_range.h"
#include "model/element_cells.h"
#include "model/grid.h"
#include "seq/context.h"
#include "seq/exporting_cnavas.h"
#include "seq/doc/workspace.h"

int main(int argc, char** argv)
{
  using namespace velkaro;
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s IN.xml OUT.png\n", argv[0]);
    return 2;
  }
  setenv("NO_AT_BRIDGE", "1", 0);
  setenv("GSETTINGS_BACKEND", "memory", 0);
  Gtk::Main::init_gtkmm_internals();
  if (!gtk_init_check(&argc, &argv)) {
    std::fprintf(stderr, "%s: no display\n", argv[0]);
    return 1;
  }
  const auto ws = ModelWorkspace::create<SeqWorkspace>();
  if (!ws->load(argv[1])) {
    std::fprintf(stderr, "%s\n", ws->get_last_error().c_str());
    return 1;
  }
  const auto ctx = SeqContext::create(ws);
  CellRange range = *ws->get_cells()->get_exists_range();
  range.start = {0, 0};
  const Rectangle r = ws->grid->get_range_rect(range);
  constexpr double MARGIN = 12.0;
  const auto exporter =
    ViewExportingCnavas::create<SeqExportingCnavas>(ctx, {-MARGIN, -MARGIN, r.width + 2 * MARGIN, r.height + 2 * MARGIN});
  if (!exporter->export_png(argv[2])) {
    std::fprintf(stderr, "%s\n", exporter->get_last_error().c_str());
    return 1;
  }
  return 0;
}
