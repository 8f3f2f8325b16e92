#include "seq/seq_modes_for_test.h"

namespace velkaro::test {

std::shared_ptr<SeqMessage> add_message(SeqWorkspace& ws, int32_t x, int32_t y, const CellRange& range, int32_t point)
{
  int32_t right = 1;
  auto msg = ws.insert_message({x, y}, right, &range, point);
  ws.clear_in_process();
  return msg;
}

std::shared_ptr<SeqExecSpec> add_exec_spec(SeqWorkspace& ws, int32_t x, int32_t y, int32_t step, const CellRange* range)
{
  auto es = ws.insert_execspec({x, y}, step, range, true);
  ws.clear_in_process();
  return es;
}

void add_fragment(SeqWorkspace& ws, int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
  const CellRange r{{x0, y0}, {x1, y1}};
  EXPECT_TRUE(ws.insert_frag(r));
  ws.clear_in_process();
}

} // namespace velkaro::test
