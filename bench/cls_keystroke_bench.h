#pragma once
// The keystrokes bench_cls_large times on the grid diagrams of 100 and 400
// classes (cls_keystroke_bench.cpp), each with its page redraw, by the names
// their figures are noted under (cls_figure(name, ClsPlacement::grid)).
// Those that route every connector again (a row opened or removed, and
// their undo) have a budget of their own at 400 classes.

namespace velkaro::bench {

struct ClsKeystroke {
  const char* name;
  bool routes_all;
};

inline constexpr ClsKeystroke CLS_KEYSTROKES[] = {
  {"key: connect mode, cursor step (l)", false},
  {"key: connector fixed (<CR>)", false},
  {"key: undo the connector (u)", false},
  {"key: class added (c)", false},
  {"key: undo the class added (u)", false},
  {"key: class with 5 connectors removed (x)", false},
  {"key: undo, the class and 5 connectors back (u)", false},
  {"key: character typed in a class name", false},
  {"key: row opened (o)", true},
  {"key: undo the row opened (u)", true},
  {"key: row removed (dd)", true},
  {"key: undo the row removed (u)", true},
  {"key: 5x5 block pasted (p)", false},
  {"key: undo the paste (u)", false},
  {"no key, the page redrawn alone", false},
};

} // namespace velkaro::bench
