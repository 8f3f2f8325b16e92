#include "cls/cls_draw_for_test.h"

namespace velkaro::test {

ClsDrawKit::ClsDrawKit() : ctx(CtrlContext::create<ClsDrawContext>(ws))
{
  ctx->set_pos({60, 60});
}

} // namespace velkaro::test
