// bench_cls_export IN.xml [OUT.png]: opens a class diagram (read, terminals
// registered, every connector routed, everything laid out) as the editor
// opens one, exports the whole of it to PNG through the class exporter,
// then ends. Without OUT.png it only opens. At the end it writes its peak
// resident memory to standard output ("peak_kb N": the high-water mark of
// its own address space; a parent's ru_maxrss would also count the pages a
// fork shared with the parent before the program started). The
// large-diagram benchmark times it as a whole process (start-up, GTK, load,
// routing, layout, drawing, writing) and reads that line.
//
// Needs a display (the controller's text editors need GTK).

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <glib.h>
#include <gtk/gtk.h>
#include <gtkmm/main.h>

#include "cls/context.h"
#include "cls/doc/workspace.h"
#include "cls/exporting_cnavas.h"
#include "cls_diagram.h"

using namespace velkaro;

namespace {

// Around the diagram, so that nothing touches the image's border.
constexpr double MARGIN = 12.0;

// Exports the whole diagram of ws to out as the editor's export command
// does; false, having said why, when it could not.
bool export_diagram(const std::shared_ptr<ClsWorkspace>& ws, const char* out)
{
  const auto ctx = ClsContext::create(ws);
  const auto exporter = ViewExportingCnavas::create<ClsExportingCnavas>(ctx, cls_whole_rect(*ws, MARGIN));
  if (!exporter || !exporter->export_png(out)) {
    std::fprintf(stderr, "cannot export to %s: %s\n", out, exporter ? exporter->get_last_error().c_str() : "");
    return false;
  }
  return true;
}

// VmHWM of /proc/self/status in kB; 0 when it cannot be read.
long peak_kb()
{
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0)
      return std::strtol(line.c_str() + 6, nullptr, 10);
  return 0;
}

} // namespace

int main(int argc, char** argv)
{
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: %s IN.xml [OUT.png]\n", argv[0]);
    return 2;
  }
  setenv("NO_AT_BRIDGE", "1", 0);
  setenv("GSETTINGS_BACKEND", "memory", 0);
  // An export draws on cairo images: GL, whose drivers GDK would otherwise
  // load when it opens the display (more than half of the start-up and of
  // the peak memory under a software renderer), is never used.
  setenv("GDK_GL", "disable", 0);
  Gtk::Main::init_gtkmm_internals();
  if (!gtk_init_check(&argc, &argv)) {
    std::fprintf(stderr, "%s: no display\n", argv[0]);
    return 1;
  }
  const auto ws = ModelWorkspace::create<ClsWorkspace>();
  if (!ws->load(argv[1])) {
    std::fprintf(stderr, "%s\n", ws->get_last_error().c_str());
    return 1;
  }
  if (argc == 3 && !export_diagram(ws, argv[2]))
    return 1;
  std::printf("peak_kb %ld\n", peak_kb());
  return 0;
}
