#pragma once
// ClsOpenArrowConnectorTerm: the open arrow head at the end of a dependency, an
// aggregation or a composition. The line runs up to its tip (no setback).
// 8 pixels wide and 16 long, pointing up.

#include <memory>

#include "cls/doc/abstract_connector_term.h"

namespace velkaro {

class ClsOpenArrowConnectorTerm : public ClsAbstractConnectorTerm {
public:
  static std::shared_ptr<ClsOpenArrowConnectorTerm> create()
  {
    return std::make_shared<ClsOpenArrowConnectorTerm>();
  }

  const char* get_type_name() const override { return "ClsOpenArrowConnectorTerm"; }
  int32_t get_width_at_upper() const override { return 8; }
  int32_t get_height_at_upper() const override { return 16; }
  int32_t get_seg_term_setback() const override { return 0; }

protected:
  std::shared_ptr<ClsAbstractConnectorTerm> new_instance() const override { return create(); }
};

} // namespace velkaro
