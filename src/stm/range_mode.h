#pragma once
// StmRangeMode ("RANGE MODE"): the range mode of the state-machine editor.
// The base (CtrlRangeMode) keeps the selected range following the cursor
// and previews every change of it as one undoable step; this class says
// what the range means for the element under edit, by its exact class
// name: a composite ("StmComposite"), a transition ("StmTransaction"), a
// concurrency line ("StmConcurrent") or a free text ("StmTextElement")
// takes the range's extent from its anchor cell. A plain
// "ModelTextElement" is left as it is. Any other element cannot be put
// under edit by this editor; should one arrive it is left alone with a
// warning, the preview stays empty and the user settles or cancels as
// usual.
//
// Insert sub-mode (a line element just started): each preview stores a
// resized copy at the element's anchor cell and edits that copy from then
// on. A cursor left of or above the anchor gives a negative extent, which
// the workspace refuses: the element is then out of the document until
// the cursor comes back right of or below its start cell, so line
// elements run right or down from where they start.
//
// Other sub-modes (change, change-selected, mouse, resize): each preview
// stretches the element from its anchor cell to the cursor cell; the
// element under edit stays the stored one, which the next preview puts
// back before it stretches again.
//
// Ownership: as every mode; it keeps the context's StmWorkspace.

#include <memory>
#include <string>

#include "ctrl/modes/range_mode.h"

namespace velkaro {

class StmContext;
class StmWorkspace;

class StmRangeMode : public CtrlRangeMode {
public:
  explicit StmRangeMode(StmContext& ctrl);

  void update_element(CellPos epos) override;
  // Nothing to adjust on entering.
  void on_enter_for(const std::string& type_name) override;

private:
  void update_stm_element(CellPos epos);

  std::shared_ptr<StmWorkspace> m_ws;
};

} // namespace velkaro
