#include "cls/exporting_cnavas.h"

#include "cls/class_drawer.h"
#include "cls/connector_drawer_base.h"
#include "cls/single_text_drawer.h"
#include "view/filling_drawer.h"

namespace velkaro {

ViewExportingCnavas::DrawerList ClsExportingCnavas::new_drawers()
{
  return {
    std::make_shared<ViewFillingBackgroundDrawer>(),
    std::make_shared<ClsClassDrawer>(),
    std::make_shared<ClsFixedConnectorDrawer>(),
    std::make_shared<ClsSingleTextDrawer>(),
  };
}

} // namespace velkaro
