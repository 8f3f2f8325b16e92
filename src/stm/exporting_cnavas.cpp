#include "stm/exporting_cnavas.h"

#include "stm/composite_drawer.h"
#include "stm/lines_drawer.h"
#include "stm/points_drawer.h"
#include "view/filling_drawer.h"
#include "view/single_text_drawer.h"

namespace velkaro {

ViewExportingCnavas::DrawerList StmExportingCnavas::new_drawers()
{
  return {
    std::make_shared<ViewFillingBackgroundDrawer>(), std::make_shared<StmCompositeDrawer>(),
    std::make_shared<StmPointsDrawer>(),             std::make_shared<StmLinesDrawer>(),
    std::make_shared<SeqSingleTextDrawer>(),
  };
}

} // namespace velkaro
