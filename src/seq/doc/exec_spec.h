#pragma once
// SeqExecSpec: one cell of an execution specification (an activation box)
// standing in a life-line cell. Its role is its nesting level: 0 on the life
// line itself, 1, 2, ... nested on its right, -1, -2, ... on its left. The
// top flag marks the first cell of a box; the cells that continue it down
// the life line have the same level and the flag clear.
//
// Its parent is not stored: it is the life line of its cell (get_ll()).
//
// Written as "execution_specification" with "top"="true" only when the top
// flag is set. A execution specification made by create() starts a box, while one read
// without "top" continues one.

#include <cstdint>
#include <memory>

#include "model/element.h"

namespace velkaro {

class SeqLifeLine;

class SeqExecSpec : public ModelElement {
public:
  // Level 0, top.
  static std::shared_ptr<SeqExecSpec> create() { return std::make_shared<SeqExecSpec>(); }
  static std::shared_ptr<SeqExecSpec> create(int32_t role, bool top);
  // The continuation of from's box in a new cell: from's level, not top;
  // null for a null from.
  static std::shared_ptr<SeqExecSpec> create_from(const std::shared_ptr<SeqExecSpec>& from);

  SeqExecSpec() { tag = "execution_specification"; }

  const char* get_type_name() const override { return "SeqExecSpec"; }
  ElementPtr new_instance() const override { return std::make_shared<SeqExecSpec>(); }

  // The life line of level 0 in its own chain, or null.
  std::shared_ptr<SeqLifeLine> get_ll() const;
  // The cell of the same level in the next (previous) cell of the life
  // line, but not one that starts another box; null at the end of the box.
  std::shared_ptr<SeqExecSpec> get_next_es() const;
  std::shared_ptr<SeqExecSpec> get_prev_es() const;
  // The first (last) cell of the box.
  std::shared_ptr<SeqExecSpec> get_top_es() const;
  std::shared_ptr<SeqExecSpec> get_bottom_es() const;

  // The height the boxes nested beyond level in the cell add: 4 for each
  // box that starts in the cell and 4 for each that ends there, over the
  // levels level, level + step, ... present in the chain; level is left one
  // step beyond the last level found.
  double calcheight(int32_t step, int32_t& level) const;
  // Level 0 only (other levels and cells without a life line give the
  // stored rectangle unchanged): 8 × (depth + 1) wide, depth being the
  // deepest nesting on either side (at least 1), and as high as the boxes
  // starting and ending in the cell make it.
  Rectangle get_rect_for_ll();

  // The life line.
  ElementPtr get_parent() const override;
  bool get_is_top() const override { return m_top; }
  void set_is_top(bool b) override;
  // Marks the whole box: the own flag of every cell from the top cell down.
  void set_in_process(bool b) override;
  void write_in_top() override;
  void read_in_top() override;

private:
  // The next cell of the same level below, in next_ll's chain, unless it
  // starts another box.
  std::shared_ptr<SeqExecSpec> next_in(const std::shared_ptr<SeqLifeLine>& next_ll) const;
  // calcheight() with the life line and its next cell known.
  double calcheight_in(const SeqLifeLine& ll, const std::shared_ptr<SeqLifeLine>& next_ll, int32_t step,
                       int32_t& level) const;

  bool m_top = true;
  Rectangle m_rect;
};

} // namespace velkaro
