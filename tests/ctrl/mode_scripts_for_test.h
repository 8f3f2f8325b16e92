#pragma once
// Helpers for the key-script tests of the shared key sets and the cell
// modes, on top of the test diagram kind (test_kind.h).
//
// A document is written as a list of "text@x,y" entries, row by row and
// left to right as the cell map visits its anchor cells; a chain of several
// elements at one cell reads "a+b@x,y" (marks as "M:name").
//
// HostMode ("HOST MODE") is the smallest mode that carries the shared key
// sets: it includes its own CtrlBaseMode and then its own Ctrl2DMode, as
// the cell and select-cell modes do.
//
// cell_kit() builds a context with a diagram kind's cell mode (TestCellMode)
// and the modes it switches into: the select-cell mode and the move-view
// mode themselves, the test kind's range mode, and a double of the in-cell
// text mode. The modes log under their names into the kit's log.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ctrl/modes/cell_mode.h"
#include "ctrl/context.h"
#include "ctrl/text/icell_text_mode.h"
#include "ctrl/modes/move_view_mode.h"
#include "ctrl/modes/range_mode.h"
#include "ctrl/test_kind.h"
#include "model/workspace.h"

namespace velkaro {
class CtrlTextEditorInsert;
}

namespace velkaro::test {

using Layout = std::vector<std::string>;

// The document's anchor cells as "text@x,y" entries.
Layout layout_of(ModelWorkspace& ws);
// Stores a text for each "text@x,y" entry (a "+" separates the texts of one
// chain); fails the test when the workspace refuses one. Records nothing.
void put_layout(ModelWorkspace& ws, const Layout& layout);

// Resizable marks written as "name@x,y+dh,dv": each mark of the document,
// anchor cells row by row and each chain from its head.
Layout marks_of(ModelWorkspace& ws);
// Stores a ResizableMark for each "name@x,y" or "name@x,y+dh,dv" entry (at
// an occupied cell it joins the chain there); fails the test when the
// workspace refuses one. Records nothing. The marks, in order.
std::vector<std::shared_ptr<ModelElement>> put_marks(ModelWorkspace& ws, const Layout& marks);

// One registered action as a key table lists it.
struct ExpectedAction {
  const char* name;
  std::vector<std::string> keys;
  // nullopt: registered without a description.
  std::optional<std::string> description;
  bool undoable;
  // Has an is-actionable test of its own.
  bool tested;
};

// Checks that handler's registered actions are exactly rows, in order:
// names, default keys, descriptions, undoable or not, tested or not; and
// that each key starts its action in the handler's own key map.
void expect_key_table(CtrlIActionHandler& handler, const std::vector<ExpectedAction>& rows);

class HostMode : public KindMode {
public:
  explicit HostMode(CtrlContext& ctrl);
};

// A kit whose context registers HostMode alone.
KindKit host_kit();

// The centre of the cell in the workspace's grid, in canvas units.
Point centre_of(ModelWorkspace& ws, const CellPos& cell);

// Writes "<name>:<what>" into the log of the mode's context.
void note(const CtrlMode& mode, const std::string& what);

// A mark that the range mode may resize.
class ResizableMark : public KindMark {
public:
  static std::shared_ptr<ResizableMark> create(std::string name);
  const char* get_type_name() const override { return "ResizableMark"; }
  ElementPtr new_instance() const override { return std::make_shared<ResizableMark>(); }
  bool get_resizable() const override { return true; }
};

// The cell mode of the test kind:
// - insert ("i") stores a mark "i" at an empty cursor cell;
// - append ("a") stores a mark "a" one column right of the cursor when
//   that cell is empty;
// - insert_shift ("I") and append_shift ("A") only log and do nothing;
// - copy_ copies (and with remove cuts) at the cursor through the context;
// - change_ replaces a text at the cursor cell by a mark "changed" as a
//   recorded step of its own (so a dry run of it changes the document) and
//   logs; nothing elsewhere.
class TestCellMode : public CtrlCellMode {
public:
  explicit TestCellMode(CtrlContext& ctrl) : CtrlCellMode(ctrl) {}

  bool insert() override;
  bool insert_shift() override;
  bool append() override;
  bool append_shift() override;
  bool copy_(bool remove) override;
  bool change_() override;
  void on_enter() override;
  void on_exit() override;
};

// The range mode of the test kind. A range shapes a ResizableMark named
// like the element the mode was entered with (the base): in the resize
// sub-mode the mark keeps the base's anchor cell and its far corner is
// where the cursor was when the range was last recomputed; otherwise it
// covers the range. Each preview removes the base
// (when the document holds it) and stores the shaped mark, which becomes
// edit_elm.
//
// Logs "enter_for <class name>", "on_enter mode=<sub-mode number>
// edit=<edit_elm's class name>", "update_range", "update_element <epos>"
// and "on_exit".
class TestRangeMode : public CtrlRangeMode {
public:
  using CtrlRangeMode::CtrlRangeMode;

  void on_enter_for(const std::string& type_name) override;
  void on_update_range() override;
  void update_element(CellPos epos) override;
  bool get_is_minor_change() const override { return minor_change; }
  void on_enter() override;
  void on_exit() override;

  // What get_is_minor_change() answers.
  bool minor_change = false;
  // A range ending here makes update_element() drop the element.
  std::optional<CellPos> drop_at;

private:
  std::shared_ptr<ModelElement> m_base;
  CellPos m_base_pos{-1, -1};
  CellPos m_far{0, 0};
};

// "INSERT MODE (CELL)". While current, type() types through a real
// recording insert editor into the context's text element at the cursor,
// as the text mode does; "<Esc>" goes back to the cell mode. Leaving ends
// the run of typing (the undo head is no longer mergeable).
class CellTextModeDouble : public KindMode, public CtrlICellTextMode {
public:
  explicit CellTextModeDouble(CtrlContext& ctrl);
  // Logs "request_cursor <kind> <to_end>".
  void request_cursor(int kind, bool to_end) override;
  void on_exit() override;
  void type(const std::string& chars);

private:
  std::shared_ptr<CtrlTextEditorInsert> m_editor;
};

// The current mode's display name.
std::string mode_name(KindKit& kit);
// How many steps the undo stack holds.
size_t undo_steps(KindKit& kit);
// Presses "u" steps times in the current mode (the caller has returned to
// the cell mode) and expects the document written as before.
void expect_undone_to(KindKit& kit, size_t steps, const std::string& before);
// The names of the marks in process (highlighted or under edit), in
// document order.
std::vector<std::string> marks_in_process(KindKit& kit);

// A row of a key-script table of the test kind's modes: from the document
// start with the cursor at cursor, keys lead to the document expected, the
// cursor at expected_cursor, mode current and steps recorded.
struct KeyScript {
  const char* what;
  Layout start;
  CellPos cursor;
  const char* keys;
  Layout expected;
  CellPos expected_cursor;
  const char* mode;
  size_t steps;
};

// How a table writes its documents: as texts (layout_of) or as resizable
// marks (marks_of).
enum class ScriptDocument { texts, marks };

// Runs s on kit: stores its start, presses its keys at its cursor and
// expects what it expects, then after_keys checks more; back in the cell
// mode, left checks more, and pressing "u" for each step gives the start
// again.
void run_key_script(KindKit kit, const KeyScript& s, ScriptDocument document,
                    const std::function<void(KindKit&)>& after_keys = {},
                    const std::function<void(KindKit&)>& left = {});

// A kit whose context registers TestCellMode (the default mode),
// CtrlSelectCellMode, TestRangeMode, CtrlMoveViewMode and
// CellTextModeDouble, with the cell mode entered and the log emptied.
KindKit cell_kit();

} // namespace velkaro::test
