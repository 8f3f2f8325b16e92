// Keystrokes of the class editor on the 100- and 400-class grid diagrams:
// each key pressed on a ClsCanvas as GTK delivers it, through ClsContext
// and its modes, timed together with the redraw of the 1280x1024 page
// around the cursor:
//   - one cursor step in the connect mode (the connector being drawn routed
//     again to the cursor cell), and the connector fixed (<CR>) and undone;
//   - a class added on an empty cell (c) and undone;
//   - a class with five connectors removed (x), and the undo that brings it
//     back with them;
//   - a character typed in a class name;
//   - an empty row between two rows of classes opened below the cursor (o)
//     and removed (dd), each undone (every connector routed again);
//   - a 5x5 block of the diagram's top-left corner (nine classes and the
//     connectors that start there) pasted over the middle of the diagram
//     (p), and undone;
//   - the page redrawn alone, for scale.
// Every iteration leaves the diagram as it found it: the undo stack is
// checked after each, the saved document after the last.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>
#include <gtk/gtk.h>

#include "bench_display.h"
#include "bench_timing.h"
#include "cls/canvas.h"
#include "cls/context.h"
#include "cls/doc/class_element.h"
#include "cls/doc/workspace.h"
#include "cls/doc/yank_buffer.h"
#include "cls/edit_connector_mode.h"
#include "cls_bench_diagrams.h"
#include "cls_keystroke_bench.h"
#include "ctrl/text/mode_text.h"
#include "ctrl/text/text_editor_insert.h"
#include "ctrl/text/text_editor_with_action.h"
#include "ctrl/undo/action_processor.h"
#include "model/grid.h"
#include "model/text_element.h"

namespace velkaro::bench {
namespace {

// A window of one page holding the class canvas of a loaded diagram, whose
// text editors take the keys sent here (GTK's simple input method).
struct ClsScene : EditorScene<ClsWorkspace, ClsContext, ClsCanvas> {
  explicit ClsScene(const ClsKey& key) : EditorScene(ClsDiagrams::get().path(key))
  {
    for (const auto& mode : ctx->get_mode_list()) {
      std::shared_ptr<CtrlTextEditor> editor;
      if (const auto text = std::dynamic_pointer_cast<CtrlATextModeRoot>(mode))
        editor = text->get_text_editor();
      else if (const auto edit = std::dynamic_pointer_cast<ClsEditConnectorMode>(mode))
        editor = edit->get_editor();
      if (editor)
        gtk_im_multicontext_set_context_id(GTK_IM_MULTICONTEXT(editor->get_im_context()), "gtk-im-context-simple");
    }
    settle();
  }
  // The document as its file holds it; "" when it could not be saved.
  std::string saved(const std::string& path) const
  {
    if (!ws->save(path))
      return "";
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
};

// The class of the plan nearest the middle of the diagram among those with
// at least connectors connectors (the fewest such first).
size_t middle_class(const ClsDiagramPlan& plan, size_t connectors = 0)
{
  const double cx = plan.used.end.x / 2.0;
  const double cy = plan.used.end.y / 2.0;
  size_t best = plan.classes.size();
  auto rank = [&](size_t i) {
    const CellPos& c = plan.classes[i].cell;
    const size_t extra = cls_connectors_at(plan, i).size() - connectors;
    return std::pair{extra, std::hypot(c.x - cx, c.y - cy)};
  };
  for (size_t i = 0; i < plan.classes.size(); ++i)
    if (cls_connectors_at(plan, i).size() >= connectors && (best == plan.classes.size() || rank(i) < rank(best)))
      best = i;
  return best;
}

// The name of the class at cell, "" without one.
std::string class_name(const ClsWorkspace& ws, const CellPos& cell)
{
  const auto klass = std::dynamic_pointer_cast<ClsClassElement>(ws.elm_at(cell));
  return klass ? klass->name_elem->get_text() : "";
}

void note_key(const char* name, int n, double ms) { note(cls_figure(name, ClsPlacement::grid), n, ms); }

void BM_Keystrokes(benchmark::State& state)
{
  if (skipped_without_display(state))
    return;
  const ClsKey key = cls_key_of(state, ClsPlacement::grid);
  const int n = key.second;
  const ClsDiagramPlan& plan = ClsDiagrams::get().plan(key);
  ClsScene s(key);
  if (!s.loaded) {
    state.SkipWithError("the diagram did not load");
    return;
  }
  const CellPos mid = plan.classes[middle_class(plan)].cell;
  const size_t five = middle_class(plan, 5);
  if (five == plan.classes.size()) {
    state.SkipWithError("no class with five connectors");
    return;
  }
  const CellPos busy = plan.classes[five].cell;
  // The 5x5 block at the top-left corner into the yank buffer.
  s.go({1, 1});
  s.keys("vlllljjjjy");
  size_t yanked = 0;
  ClsYankBuffer::get().get_cells()->foreach([&yanked](int32_t, int32_t, const auto&) { return ++yanked > 0; });
  if (yanked != 9) {
    state.SkipWithError("the 5x5 block was not yanked");
    return;
  }
  const std::string path = ClsDiagrams::get().out(key, "-keys") + ".xml";
  const std::string before = s.saved(path);
  const std::string name = class_name(*s.ws, mid);
  for (auto _ : state) {
    const size_t steps = s.undo_steps();
    // The connector being drawn from the middle class, one step to the empty
    // cell beside it and one to the class beyond, fixed there and undone.
    s.go(mid);
    s.keys("R");
    note_key(CLS_KEYSTROKES[0].name, n, s.stroke("l"));
    note_key(CLS_KEYSTROKES[0].name, n, s.stroke("l"));
    note_key(CLS_KEYSTROKES[1].name, n, s.stroke("<CR>"));
    note_key(CLS_KEYSTROKES[2].name, n, s.stroke("u"));
    // A class on the empty cell below and right of the middle one.
    s.go({mid.x + 1, mid.y + 1});
    note_key(CLS_KEYSTROKES[3].name, n, s.stroke("c"));
    note_key(CLS_KEYSTROKES[4].name, n, s.stroke("u"));
    // The class with five connectors.
    s.go(busy);
    note_key(CLS_KEYSTROKES[5].name, n, s.stroke("x"));
    note_key(CLS_KEYSTROKES[6].name, n, s.stroke("u"));
    // Typing into the middle class's name.
    s.go(mid);
    s.keys("i");
    note_key(CLS_KEYSTROKES[7].name, n, s.stroke("z"));
    s.keys("<Esc>");
    const bool typed = class_name(*s.ws, mid).size() == name.size() + 1;
    s.keys("u");
    // The empty row below the middle class.
    s.go({mid.x, mid.y + 1});
    note_key(CLS_KEYSTROKES[8].name, n, s.stroke("o"));
    note_key(CLS_KEYSTROKES[9].name, n, s.stroke("u"));
    note_key(CLS_KEYSTROKES[10].name, n, s.stroke("dd"));
    note_key(CLS_KEYSTROKES[11].name, n, s.stroke("u"));
    // The block over the middle of the diagram.
    s.go(mid);
    note_key(CLS_KEYSTROKES[12].name, n, s.stroke("p"));
    note_key(CLS_KEYSTROKES[13].name, n, s.stroke("u"));
    note_key(CLS_KEYSTROKES[14].name, n, s.stroke(""));
    if (!typed || s.undo_steps() != steps || class_name(*s.ws, mid) != name) {
      state.SkipWithError(typed ? "the keys left the history or the name changed" : "the name took no character");
      return;
    }
  }
  if (s.saved(path) != before)
    state.SkipWithError("the undo did not give the diagram back");
}

} // namespace

BENCHMARK(BM_Keystrokes)->Arg(100)->Arg(400)->Iterations(15)->Unit(benchmark::kMillisecond);

} // namespace velkaro::bench
