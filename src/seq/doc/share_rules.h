#pragma once
// Which elements may share a cell with a sequence element. A kind's
// placement test visits every element of the chain at its test position
// (itself included, when it is stored there) and puts in the way each one
// its rule does not let share; the table of rules lives in
// share_rules.cpp. Kinds with more to their test (a head looks at the cell
// below too, a message line at the cell behind it, a message puts another
// line in the way, a text gives way to separators) build on these.

#include <memory>
#include <vector>

namespace velkaro {

class ModelElement;

enum class SeqShareKind {
  text,
  fragment,
  frag_line,
  separator,
  // A life head's rule for the cell below it (nothing shares its own cell).
  life_head_below,
  life_line,
  message,
  msg_line,
};

// Whether visited may share the cell of tested by the rule of kind.
bool seq_may_share(SeqShareKind kind, const ModelElement& tested, const ModelElement& visited);

// Appends to found every element of the chain headed by head (nothing for a
// null head) that may not share the cell of tested.
void seq_chain_obstacles(SeqShareKind kind, const ModelElement& tested,
                         const std::shared_ptr<ModelElement>& head,
                         std::vector<std::shared_ptr<ModelElement>>& found);

// The elements in the way of tested at its test position by the rule of
// kind alone.
std::vector<std::shared_ptr<ModelElement>> seq_pattern_obstacles(SeqShareKind kind,
                                                                  const ModelElement& tested);

} // namespace velkaro
