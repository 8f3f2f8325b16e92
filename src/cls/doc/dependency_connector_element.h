#pragma once
// ClsDependencyConnectorElement: a dependency: an open arrow at its end. Its
// type name is "dependency".

#include <memory>

#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/open_arrow_connector_term.h"

namespace velkaro {

class ClsDependencyConnectorElement : public ClsAbstractConnectorElement {
public:
  static std::shared_ptr<ClsDependencyConnectorElement> create()
  {
    return std::make_shared<ClsDependencyConnectorElement>();
  }

  ClsDependencyConnectorElement()
  {
    end_term = ClsOpenArrowConnectorTerm::create();
  }

  const char* get_type_name() const override { return "ClsDependencyConnectorElement"; }
  ElementPtr new_instance() const override { return create(); }
  const char* get_serializing_type_name() const override { return "dependency"; }
};

} // namespace velkaro
