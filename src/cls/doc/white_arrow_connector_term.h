#pragma once
// ClsWhiteArrowConnectorTerm: the hollow triangle at the end of a generalization.
// 8 pixels wide and 16 long, pointing up.

#include <memory>

#include "cls/doc/abstract_connector_term.h"

namespace velkaro {

class ClsWhiteArrowConnectorTerm : public ClsAbstractConnectorTerm {
public:
  static std::shared_ptr<ClsWhiteArrowConnectorTerm> create()
  {
    return std::make_shared<ClsWhiteArrowConnectorTerm>();
  }

  const char* get_type_name() const override { return "ClsWhiteArrowConnectorTerm"; }
  int32_t get_width_at_upper() const override { return 8; }
  int32_t get_height_at_upper() const override { return 16; }

protected:
  std::shared_ptr<ClsAbstractConnectorTerm> new_instance() const override { return create(); }
};

} // namespace velkaro
