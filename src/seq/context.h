#pragma once
// SeqContext ("SeqContext"): the controller of one sequence diagram. It
// fixes the editor's modes, in this order (the first is the default mode
// and the current mode of a new context):
//   SeqCellVHMode ("CELL MODE"), SeqRangeMode ("RANGE MODE"),
//   SeqSelectMode ("SELECT MODE"), SeqSelectCellMode ("SELECT CELL MODE"),
//   CtrlNormalModeInCell, CtrlVisualModeInCell, CtrlInsertModeNormal,
//   CtrlInsertModeDirect (the in-cell text modes) and CtrlMoveViewMode
//   ("MOVE VIEW MODE");
// its theme colour "#9ade00" (the tool bar tints its icons with it); the
// next and previous element ("w", "b"), which jump between life heads only;
// and a paste that puts a copied separator across the fragment at the
// cursor instead of pasting it as it was.
//
// Made by SeqContext::create(ws). The main window then gives it the canvas,
// the main view, the command bar, the context menu and itself (see
// CtrlContext).
//
// Ownership: as every context (CtrlContext); it also keeps the workspace as
// the SeqWorkspace it is, which its modes take from it.

#include <memory>
#include <string>

#include "common/app_id.h"
#include "ctrl/context.h"

namespace velkaro {

class SeqWorkspace;

class SeqContext : public CtrlContext {
public:
  static constexpr const char* THEME_COLOR = "#9ade00";

  // A new context for ws with its modes registered.
  static std::shared_ptr<SeqContext> create(const std::shared_ptr<SeqWorkspace>& ws,
                                            const std::string& exename = app_id_exename());

  // Use create().
  SeqContext(Key key, const std::shared_ptr<SeqWorkspace>& ws, const std::string& exename);

  std::string get_name() const override { return "SeqContext"; }

  // The cursor goes to the nearest cell after (before) it whose chain holds
  // a life head; it stays without one.
  void next_elm() override;
  void prev_elm() override;
  // A separator (or a separator line) is consumed: a separator is inserted
  // across the fragment whose left edge is at the cursor cell, with the
  // copy's texts, and nothing when the cursor cell is no such edge. Any
  // other copy is left to the base paste.
  bool special_paste(ElementPtr& copy) override;

  const std::shared_ptr<SeqWorkspace>& get_seq_ws() const { return m_seq_ws; }

private:
  std::shared_ptr<SeqWorkspace> m_seq_ws;
};

} // namespace velkaro
