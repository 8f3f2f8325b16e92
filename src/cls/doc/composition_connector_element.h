#pragma once
// ClsCompositionConnectorElement: a composition: a filled diamond at its start,
// an open arrow at its end. Its type name is "composition".

#include <memory>

#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/black_diamond_connector_term.h"
#include "cls/doc/open_arrow_connector_term.h"

namespace velkaro {

class ClsCompositionConnectorElement : public ClsAbstractConnectorElement {
public:
  static std::shared_ptr<ClsCompositionConnectorElement> create()
  {
    return std::make_shared<ClsCompositionConnectorElement>();
  }

  ClsCompositionConnectorElement()
  {
    start_term = ClsBlackDiamondConnectorTerm::create();
    end_term = ClsOpenArrowConnectorTerm::create();
  }

  const char* get_type_name() const override { return "ClsCompositionConnectorElement"; }
  ElementPtr new_instance() const override { return create(); }
  const char* get_serializing_type_name() const override { return "composition"; }
};

} // namespace velkaro
