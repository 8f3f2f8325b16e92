#pragma once
// SeqSelectMode ("SELECT MODE"): picks one of the things attached to a
// life-line cell when the cell mode's delete, copy or change is ambiguous.
// The cell mode enters it with that life-line cell as the context's element
// under edit and the purpose (mode) set.
//
// Candidates, in this order: the message starting leftward from the cell,
// the outermost execution specification nested on its left, the outermost
// one nested on its right (or, when nothing is nested, the one of level 0),
// the message starting rightward. A yank never offers execution
// execution specifications. The middle candidate (count / 2) is selected first; the
// cursor keys step through them (the base).
//
// Settling, by purpose:
//   del: an execution specification is deleted with its run (and what is
//   nested beyond it); a message is copied into the copy buffer, then
//   removed with its lines, kind and texts;
//   yank: the candidate is copied into the copy buffer;
//   both then return to the cell mode, and the step is recorded;
//   chg-es, chg-msg: the candidate is changed in the range mode
//   (change-selected and change respectively); nothing is recorded yet.
//
// Ownership: as every mode; it keeps the context's SeqWorkspace.

#include <cstdint>
#include <memory>

#include "ctrl/modes/select_mode.h"

namespace velkaro {

class SeqContext;
class SeqExecSpec;
class SeqLifeLine;
class SeqMessage;
class SeqWorkspace;

class SeqSelectMode : public CtrlSelectMode {
public:
  explicit SeqSelectMode(SeqContext& ctrl);

  // The context's element under edit when it is a life-line cell, else
  // null.
  std::shared_ptr<SeqLifeLine> get_ll() const;
  // The execution specification of the examined level (aux) in the chain
  // of that cell, or null.
  std::shared_ptr<SeqExecSpec> get_es() const;
  bool get_is_es() const { return get_es() != nullptr; }
  // The message whose direction is the examined level, or null.
  std::shared_ptr<SeqMessage> get_msg() const;
  // The examined level becomes the outermost existing level on the side of
  // step (-1 or 1), or 0 when level step itself does not exist.
  void to_endes(int32_t step);

  // Builds the candidates (see the header comment).
  void on_enter_switch() override;
  // Acts on the selected candidate by purpose; true when the step is to be
  // recorded.
  bool settle() override;

private:
  // The end of a delete or a yank: the cell mode returns.
  bool finish();

  std::shared_ptr<SeqWorkspace> m_ws;
};

} // namespace velkaro
