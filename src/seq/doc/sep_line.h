#pragma once
// SeqSepLine: a further cell of an operand separator, a child of the
// separator; the last one stands in the frame's right-edge cell. Written as
// "separator-line" (with a hyphen, unlike every other name of the
// vocabulary) with the common attributes.

#include <memory>

#include "seq/doc/separator.h"

namespace velkaro {

class SeqSepLine : public SeqSeparator {
public:
  static std::shared_ptr<SeqSepLine> create() { return std::make_shared<SeqSepLine>(); }
  // A further cell of sp; null for a null sp.
  static std::shared_ptr<SeqSepLine> create_with_sp(const ElementPtr& sp);

  SeqSepLine() { tag = "separator-line"; }

  const char* get_type_name() const override { return "SeqSepLine"; }
  ElementPtr new_instance() const override { return std::make_shared<SeqSepLine>(); }

  // The parent when it is a separator.
  std::shared_ptr<SeqSeparator> get_sp() const;
  // The frame line of its separator.
  std::shared_ptr<SeqFragLine> get_fl() const override;
  bool get_is_cuttable() const override { return false; }
};

} // namespace velkaro
