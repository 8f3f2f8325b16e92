#include "stm/stm_draw_for_test.h"

#include "stm/doc/elms.h"

namespace velkaro::test {

StmDrawKit::StmDrawKit()
{
  ctx->set_pos({40, 40});
}

std::shared_ptr<ModelElement> StmDrawKit::add(const std::string& name, int32_t x, int32_t y, int32_t dh, int32_t dv)
{
  auto elm = StmElms::make(name);
  EXPECT_TRUE(elm) << name;
  if (!elm)
    return nullptr;
  elm->dh = dh;
  elm->dv = dv;
  ws->move_hv(x, y);
  EXPECT_TRUE(ws->store(elm)) << name;
  elm->in_process = false;
  return elm;
}

void StmDrawKit::finish()
{
  ws->clear_in_process();
  ws->update_layout_all();
}

} // namespace velkaro::test
