#pragma once
// StmContext ("StmContext"): the controller of one state machine. It fixes
// the editor's modes, in this order (the first is the default mode and the
// current mode of a new context):
//   StmCellVHMode ("CELL MODE"), StmRangeMode ("RANGE MODE"),
//   StmSelectMode ("SELECT MODE"), StmSelectCellMode ("SELECT CELL MODE"),
//   CtrlNormalModeInCell, CtrlVisualModeInCell, CtrlInsertModeNormal,
//   CtrlInsertModeDirect (the in-cell text modes) and CtrlMoveViewMode
//   ("MOVE VIEW MODE");
// its theme colour "#19aeff" (the tool bar tints its icons with it); the
// next and previous element ("w", "b"), which jump between cells whose
// chain holds a point state; and the start of a line element for the range
// mode to stretch (insert_elm()).
//
// No window makes one. Wired as the window wires the sequence editor: a
// StmWorkspace, StmContext::create(ws), then a StmCanvas given to it with
// set_canvas(), and the main view, command bar and window as the window
// gives them. The insert popup needs the canvas on a realised window.
//
// Ownership: as every context (CtrlContext); it also keeps the workspace as
// the StmWorkspace it is, which its modes take from it.

#include <memory>
#include <string>

#include "common/app_id.h"
#include "ctrl/context.h"

namespace velkaro {

class StmWorkspace;

class StmContext : public CtrlContext {
public:
  static constexpr const char* THEME_COLOR = "#19aeff";

  // A new context for ws with its modes registered; null (with a critical
  // message) for a null ws.
  static std::shared_ptr<StmContext> create(const std::shared_ptr<StmWorkspace>& ws,
                                            const std::string& exename = app_id_exename());

  // Use create().
  StmContext(Key key, const std::shared_ptr<StmWorkspace>& ws, const std::string& exename);

  std::string get_name() const override { return "StmContext"; }

  // The cursor goes to the nearest anchor cell after (before) it whose
  // chain holds a point state; it stays without one.
  void next_elm() override;
  void prev_elm() override;

  // Starts a line element of the XML name ("transaction", "concurrent") at
  // the cursor cell (StmWorkspace::insert_elm_4_edit), makes it the element
  // under edit and enters the range mode in its insert sub-mode; true. False
  // when nothing was stored: the element under edit is then none and the
  // mode stays.
  bool insert_elm(const std::string& name);

  const std::shared_ptr<StmWorkspace>& get_stm_ws() const { return m_stm_ws; }

private:
  std::shared_ptr<StmWorkspace> m_stm_ws;
};

} // namespace velkaro
