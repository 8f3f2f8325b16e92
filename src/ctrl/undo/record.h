#pragma once
// CtrlRecord: how the work of a named action reaches the undo history. Every
// key table row says it (CtrlActionRow), and the wrapper of the action
// (CtrlActionWrapper) runs the work accordingly.

namespace velkaro {

enum class CtrlRecord {
  // Not at all: the work runs as it is; whatever it reports, the action
  // counts as done.
  none,
  // As a difference record: the work runs as one undo step of its handler's
  // processor (CtrlActionProcessor::record), kept when it reports that it did
  // something. A handler without a processor or a workspace runs it as none.
  diff,
  // As diff, and the step takes the steps recorded after it for as long as it
  // is the newest (they join it, and one undo takes all of them back).
  merged,
};

} // namespace velkaro
