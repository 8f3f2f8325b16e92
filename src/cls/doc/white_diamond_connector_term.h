#pragma once
// ClsWhiteDiamondConnectorTerm: the hollow diamond at the start of an aggregation.
// 8 pixels wide and 16 long, pointing up.

#include <memory>

#include "cls/doc/abstract_connector_term.h"

namespace velkaro {

class ClsWhiteDiamondConnectorTerm : public ClsAbstractConnectorTerm {
public:
  static std::shared_ptr<ClsWhiteDiamondConnectorTerm> create()
  {
    return std::make_shared<ClsWhiteDiamondConnectorTerm>();
  }

  const char* get_type_name() const override { return "ClsWhiteDiamondConnectorTerm"; }
  int32_t get_width_at_upper() const override { return 8; }
  int32_t get_height_at_upper() const override { return 16; }

protected:
  std::shared_ptr<ClsAbstractConnectorTerm> new_instance() const override { return create(); }
};

} // namespace velkaro
