// The free text of a state machine: centred in its cell both ways and
// drawn by the single-text drawer the diagram kinds share, on a real image
// surface.

#include <algorithm>
#include <memory>

#include <gtest/gtest.h>

#include "stm/doc/text_element.h"
#include "stm/stm_draw_for_test.h"
#include "view/single_text_drawer.h"

namespace velkaro::test {
namespace {

TEST(StmFreeText, ATextAddedInACellIsCentredAndDrawnInsideIt)
{
  VELKARO_REQUIRE_GTK();
  StmDrawKit k;
  ASSERT_TRUE(k.ws->add_text({1, 1}));
  const auto text = std::dynamic_pointer_cast<StmTextElement>(k.ws->elm_at({1, 1}));
  ASSERT_TRUE(text);
  text->set_text("Wait");
  k.ws->may_updated(text);
  k.finish();
  const Rectangle cell = k.cell(1, 1);
  const Rectangle r = text->get_rect();
  EXPECT_NEAR(r.x + r.width / 2, cell.width / 2, 0.5);
  EXPECT_NEAR(r.y + r.height / 2, cell.height / 2, 0.5);
  // The cell holds the text with 5 to spare on each side, and is no
  // smaller than the grid's smallest line.
  EXPECT_GE(cell.width, std::max(30.0, r.width + 10) - 0.01);
  EXPECT_GE(cell.height, std::max(30.0, r.height + 10) - 0.01);

  const StmProbe probe{k.draw({std::make_shared<SeqSingleTextDrawer>()}, {0, 0, 200, 120})};
  const Rectangle box{cell.x + r.x, cell.y + r.y, r.width, r.height};
  EXPECT_GT(probe.inked(box), 0);
  EXPECT_EQ(probe.inked({0, 0, 200, 120}), probe.inked(box));
}

} // namespace
} // namespace velkaro::test
