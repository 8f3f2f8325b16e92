#pragma once
// ClsGeneralizationConnectorElement: a generalization: a hollow triangle at its
// end. Its type name is "generalization".

#include <memory>

#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/white_arrow_connector_term.h"

namespace velkaro {

class ClsGeneralizationConnectorElement : public ClsAbstractConnectorElement {
public:
  static std::shared_ptr<ClsGeneralizationConnectorElement> create()
  {
    return std::make_shared<ClsGeneralizationConnectorElement>();
  }

  ClsGeneralizationConnectorElement()
  {
    end_term = ClsWhiteArrowConnectorTerm::create();
  }

  const char* get_type_name() const override { return "ClsGeneralizationConnectorElement"; }
  ElementPtr new_instance() const override { return create(); }
  const char* get_serializing_type_name() const override { return "generalization"; }
};

} // namespace velkaro
