#include "seq/exporting_cnavas.h"

#include "seq/fragment_drawer.h"
#include "seq/life_head_drawer.h"
#include "seq/life_line_drawer.h"
#include "seq/message_drawer.h"
#include "view/filling_drawer.h"
#include "view/single_text_drawer.h"

namespace velkaro {

ViewExportingCnavas::DrawerList SeqExportingCnavas::new_drawers()
{
  return {
    std::make_shared<ViewFillingBackgroundDrawer>(), std::make_shared<SeqLifeHeadDrawer>(),
    std::make_shared<SeqLifeLineDrawer>(),           std::make_shared<SeqMessageDrawer>(),
    std::make_shared<SeqSingleTextDrawer>(),         std::make_shared<SeqFragmentDrawer>(),
  };
}

} // namespace velkaro
