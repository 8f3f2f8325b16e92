#include "view/single_text_drawer.h"

#include "model/text_element.h"
#include "view/text_drawer.h"

namespace velkaro {

void SeqSingleTextDrawer::draw()
{
  each_target<ModelTextElement>(get_clip_region(), [this] {
    // Alone in its chain: no element before or after it (walking to the
    // chain's end and counting back would cost a long chain the square of
    // its length).
    if (!now_elm->get_is_single())
      return;
    const auto text = std::dynamic_pointer_cast<ModelTextElement>(now_elm);
    ViewTextDrawer drawer;
    drawer.set_override_color(get_override_color());
    drawer.offset.set_x(now_rect.x);
    drawer.offset.set_y(now_rect.y);
    drawer.add_ite(text);
    drawer.draw_for(get_dc(), get_ctrl());
  });
}

} // namespace velkaro
