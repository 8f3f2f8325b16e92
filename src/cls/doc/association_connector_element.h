#pragma once
// ClsAssociationConnectorElement: an undirected association: no shape at either
// end. Its type name is "association".

#include <memory>

#include "cls/doc/abstract_connector_element.h"

namespace velkaro {

class ClsAssociationConnectorElement : public ClsAbstractConnectorElement {
public:
  static std::shared_ptr<ClsAssociationConnectorElement> create()
  {
    return std::make_shared<ClsAssociationConnectorElement>();
  }

  ClsAssociationConnectorElement() = default;

  const char* get_type_name() const override { return "ClsAssociationConnectorElement"; }
  ElementPtr new_instance() const override { return create(); }
  const char* get_serializing_type_name() const override { return "association"; }
};

} // namespace velkaro
