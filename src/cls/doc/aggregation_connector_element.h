#pragma once
// ClsAggregationConnectorElement: an aggregation: a hollow diamond at its
// start, an open arrow at its end. Its type name is "aggregation".

#include <memory>

#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/open_arrow_connector_term.h"
#include "cls/doc/white_diamond_connector_term.h"

namespace velkaro {

class ClsAggregationConnectorElement : public ClsAbstractConnectorElement {
public:
  static std::shared_ptr<ClsAggregationConnectorElement> create()
  {
    return std::make_shared<ClsAggregationConnectorElement>();
  }

  ClsAggregationConnectorElement()
  {
    start_term = ClsWhiteDiamondConnectorTerm::create();
    end_term = ClsOpenArrowConnectorTerm::create();
  }

  const char* get_type_name() const override { return "ClsAggregationConnectorElement"; }
  ElementPtr new_instance() const override { return create(); }
  const char* get_serializing_type_name() const override { return "aggregation"; }
};

} // namespace velkaro
