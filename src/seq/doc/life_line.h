#pragma once
// SeqLifeLine: one cell of a life line below its head. All cells of a life
// line name the head as their stored parent and are siblings with role 0,
// so the element order gives the cell above (upper) and below (lower).
// Their children are the execution specifications of their cell and the
// messages that start from them. The stop flag ends the life line with a
// cross when it is set on its last cell.
//
// Written as "life_line" with "has_stop" ("true" or "false") always.

#include <cstdint>
#include <memory>
#include <vector>

#include "model/element.h"

namespace velkaro {

class SeqExecSpec;
class SeqLifeHead;

class SeqLifeLine : public ModelElement {
public:
  static std::shared_ptr<SeqLifeLine> create() { return std::make_shared<SeqLifeLine>(); }
  // A cell of head's life line; null (critical message) for a null head.
  static std::shared_ptr<SeqLifeLine> create_with_head(const ElementPtr& head);
  // A further cell of ll's life line (ll's head as parent); null for a null
  // ll.
  static std::shared_ptr<SeqLifeLine> create_with_ll(const std::shared_ptr<SeqLifeLine>& ll);

  SeqLifeLine() { tag = "life_line"; }

  const char* get_type_name() const override { return "SeqLifeLine"; }
  ElementPtr new_instance() const override { return std::make_shared<SeqLifeLine>(); }

  bool has_stop = false;

  // The parent when it is a life head.
  std::shared_ptr<SeqLifeHead> get_head() const;
  // The cell below (above) in the same life line, or null.
  std::shared_ptr<SeqLifeLine> get_next_ll() const;
  std::shared_ptr<SeqLifeLine> get_prev_ll() const;
  // The execution specification of level 0 in its chain, or null.
  std::shared_ptr<SeqExecSpec> get_es() const;
  // The level of the outermost execution specification nested on the side
  // of dir in its chain (1, 2, ... or -1, -2, ...); 0 when there is none.
  int32_t es_end(int32_t dir) const;

  // The cells of a life line stand one below the other in one column, so
  // the neighbour in the element order is normally found in the cell right
  // below (above); only where none is there are all the siblings searched.
  ElementPtr get_upper() const override;
  ElementPtr get_lower() const override;

  // Marks the head instead (so every cell of the life line is in process
  // while it is marked).
  void set_in_process(bool b) override;
  // Everything in its cell is in the way except message lines, separators,
  // separator lines and horizontal frame lines.
  std::vector<ElementPtr> obstacles() override;
  void write_in_top() override;
  void read_in_top() override;
  // The rectangle of its level-0 execution specification (or nothing),
  // widened by 35/3 and heightened by 17.5 when the chain holds a message of
  // role 0 or 1 (the first found) without message lines.
  Rectangle get_rect() override;

private:
  // A cell of the same life line in the cell dy rows away, or null.
  ElementPtr sibling_at(int32_t dy) const;
};

} // namespace velkaro
