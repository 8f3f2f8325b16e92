// bench_cls_export IN.xml [OUT.png]: opens a class diagram (read, terminals
// registered, every connector routed, everything laid out) as the editor
// opens one, exports it, then ends. The large-diagram benchmark times it as a
// whole process (start-up, GTK, load, routing, layout, export) and reads its
// peak memory.
//
// The class exporter is not part of this build yet: export_diagram() is the
// one place it goes in, and until then the program opens the diagram only
// (an OUT.png given is refused, so that no caller takes a missing image for
// one written).
//
// Needs a display (the editor's drawing starts GTK).

#include <cstdio>
#include <cstdlib>
#include <string>

#include <glib.h>
#include <gtk/gtk.h>
#include <gtkmm/main.h>

#include "cls/doc/workspace.h"

namespace {

// Exports the whole diagram of ws to out as the editor's export command does;
// false, having said why, when it could not.
bool export_diagram(velkaro::ClsWorkspace& ws, const char* out)
{
  (void)ws;
  std::fprintf(stderr, "cannot export to %s: this build has no class exporter\n", out);
  return false;
}

} // namespace

int main(int argc, char** argv)
{
  using namespace velkaro;
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
  if (argc == 3 && !export_diagram(*ws, argv[2]))
    return 1;
  return 0;
}
