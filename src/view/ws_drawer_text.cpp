// ViewWsDrawer: the text of the visited element, drawn with a text drawer.

#include "common/any.h"
#include "model/text_element.h"
#include "view/text_drawer.h"
#include "view/ws_drawer.h"

namespace velkaro {

void ViewWsDrawer::draw_text_elm(const Point& offset)
{
  if (!now_elm)
    return;
  const auto text = now_elm->seek<ModelTextElement>(ANY_ROLE);
  if (!text)
    return;
  ViewTextDrawer drawer;
  drawer.set_override_color(get_override_color());
  drawer.offset.set_x(now_rect.x + offset.get_x());
  drawer.offset.set_y(now_rect.y + offset.get_y());
  drawer.add_ite(text);
  drawer.draw_for(get_dc(), get_ctrl());
}

} // namespace velkaro
