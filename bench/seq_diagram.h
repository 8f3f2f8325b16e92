#pragma once
// Realistic sequence diagrams of any number of messages, built through the
// sequence workspace's own operations (as the editor's modes build them),
// for the benchmarks and the tests.
//
// The diagram: eight life lines; a call stack drives the messages, about
// 40 % synchronous calls (each opens an execution specification on its
// receiver, nested while the receiver is already busy, up to three calls
// deep), 20 % asynchronous messages and 40 % replies (each ends the box of
// the call it answers); a fifth of the calls that a busy life line makes go
// to itself (a self message, answered by one), so boxes nest up to three
// deep on one life line. Every twentieth message opens an "alt" fragment
// around itself and the nine messages after it, with a separator ("[else]")
// after its fifth message and a nested "loop" around its first three. Every
// life head has a name, every message a text, every fragment a label.
//
// Columns: 0 and 18 the edges of the "alt" frames, 1 and 17 those of the
// "loop" frames, life line k (0..7) on column 2 + 2k; a message's text
// stands on the column right beside its sender, on the side it runs to
// (right of a self message, left of one on the last life line).
// Row 0 holds the heads; frames and separators have rows of their own.

#include <cstdint>

namespace velkaro {

class SeqWorkspace;

// What a generated diagram holds.
struct SeqDiagramFigures {
  int messages = 0;
  int synchronous = 0;
  int asynchronous = 0;
  int replies = 0;
  // Boxes of execution specifications, and the deepest nesting level met.
  int boxes = 0;
  int deepest = 0;
  // "alt" fragments (each with a separator and a nested "loop").
  int alts = 0;
  // Texts: names, messages, fragment labels and separator texts.
  int texts = 0;
  // The rows used (the life lines end on the last one).
  int rows = 0;
};

// The columns the generated diagrams use.
struct SeqDiagramColumns {
  static constexpr int32_t LIFE_LINES = 8;
  static constexpr int32_t ALT_LEFT = 0;
  static constexpr int32_t LOOP_LEFT = 1;
  static constexpr int32_t LOOP_RIGHT = 2 + 2 * LIFE_LINES - 1;
  static constexpr int32_t ALT_RIGHT = LOOP_RIGHT + 1;
  static constexpr int32_t life_line(int32_t k) { return 2 + 2 * k; }
};

// Builds the diagram of messages messages (at least 1) into ws, which must
// be empty, outside any record; the same messages always give the same
// document. Every element ends out of process.
SeqDiagramFigures seq_generate_diagram(SeqWorkspace& ws, int messages);

} // namespace velkaro
