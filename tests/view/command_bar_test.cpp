// The command bar drawn into an image: an opaque black strip with the mode
// name at the left and the pending keys ending at the right edge while the
// command line is off, the ":" prompt, the command text and its cursor while
// it is on. Text is checked only by where its ink lies.

#include <memory>
#include <string>

#include <cairomm/context.h>
#include <cairomm/surface.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/window.h>
#include <pangomm/layout.h>

#include "ctrl/cmd/cmd_ctrl.h"
#include "ctrl/test_kind.h"
#include "support/test_env.h"
#include "view/command_bar.h"
#include "view/drawer_context.h"
#include "view/widgets_for_test.h"

namespace velkaro::test {
namespace {

constexpr int BAR_WIDTH = 400;

// The columns that hold ink (any pixel that is not the black background).
struct Ink {
  int first = -1;
  int last = -1;
  bool any() const { return first >= 0; }
};

struct Stage {
  Stage()
  {
    bar = std::make_shared<ViewCommandBar>(kit.ctx);
    kit.ctx->set_command_bar(bar);
    window.set_default_size(BAR_WIDTH, 20);
    window.add(*bar);
    window.show_all();
    frame(window);
  }
  ~Stage()
  {
    kit.ctx->set_command_bar(nullptr);
    window.remove();
    bar.reset();
    frame(window);
  }

  // The bar drawn into an image of its size.
  Cairo::RefPtr<Cairo::ImageSurface> render()
  {
    frame(window);
    const auto surface =
      Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, bar->get_allocated_width(), bar->get_allocated_height());
    const auto cr = Cairo::Context::create(surface);
    gtk_widget_draw(GTK_WIDGET(bar->gobj()), cr->cobj());
    surface->flush();
    return surface;
  }
  static guint32 pixel(const Cairo::RefPtr<Cairo::ImageSurface>& s, int x, int y)
  {
    return *reinterpret_cast<const guint32*>(s->get_data() + y * s->get_stride() + x * 4);
  }
  static Ink ink(const Cairo::RefPtr<Cairo::ImageSurface>& s, int from = 0, int to = -1)
  {
    Ink found;
    const int end = to < 0 ? s->get_width() : to;
    for (int x = from; x < end; ++x)
      for (int y = 0; y < s->get_height(); ++y)
        if (pixel(s, x, y) != 0xff000000u) {
          if (found.first < 0)
            found.first = x;
          found.last = x;
          break;
        }
    return found;
  }
  int prompt_width() const
  {
    int w = 0, h = 0;
    bar->get_cmd()->get_prompt_layout()->get_size(w, h);
    return w / Pango::SCALE;
  }

  KindKit kit;
  Gtk::Window window;
  std::shared_ptr<ViewCommandBar> bar;
};

TEST(ViewCommandBar, IsAWideStripAtLeastTwentyPixelsHigh)
{
  VELKARO_REQUIRE_GTK();
  Stage stage;
  int w = 0, h = 0;
  stage.bar->get_size_request(w, h);
  EXPECT_EQ(w, 20);
  EXPECT_EQ(h, 20);
  EXPECT_TRUE(stage.bar->get_hexpand());
  EXPECT_FALSE(stage.bar->get_vexpand());
  EXPECT_GE(stage.bar->get_allocated_height(), 20);
  EXPECT_EQ(stage.kit.ctx->get_command_bar()->get_cmd_ctrl(), stage.bar->get_cmd());
  // The drawer context covers the allocated area.
  const auto& rect = stage.bar->get_dc()->update_rect;
  EXPECT_EQ(rect.x, 0);
  EXPECT_EQ(rect.y, 0);
  EXPECT_EQ(rect.width, stage.bar->get_allocated_width());
  EXPECT_EQ(rect.height, stage.bar->get_allocated_height());
}

TEST(ViewCommandBar, IdleShowsTheModeNameAtTheLeftOnBlack)
{
  VELKARO_REQUIRE_GTK();
  Stage stage;
  const auto image = stage.render();
  const int w = image->get_width();
  // Opaque black, not the palette's background.
  EXPECT_EQ(Stage::pixel(image, w - 1, image->get_height() - 1), 0xff000000u);
  const Ink ink = Stage::ink(image);
  ASSERT_TRUE(ink.any());
  EXPECT_LT(ink.first, 4) << "the mode name starts at the left edge";
  EXPECT_GT(ink.last, 40) << "\"KIND CELL MODE\" is a few dozen pixels wide";
  EXPECT_LT(ink.last, w / 2) << "nothing on the right without pending keys";
}

TEST(ViewCommandBar, PendingKeysEndAtTheRightEdge)
{
  VELKARO_REQUIRE_GTK();
  Stage stage;
  // In the cell mode "d" begins "dd" of the shared key set the mode
  // includes: it waits as a leading key, and the context relays it.
  press_keys(*stage.kit.ctx, "d");
  ASSERT_EQ(stage.bar->get_cmd()->get_leading_keys_layout()->get_text(), "d");
  const auto image = stage.render();
  const int w = image->get_width();
  const Ink right = Stage::ink(image, w / 2);
  ASSERT_TRUE(right.any());
  EXPECT_GE(right.last, w - 4) << "the keys end at the right edge";
  EXPECT_GT(right.first, w - 30) << "one key is narrow";
  EXPECT_LT(Stage::ink(image).first, 4) << "the mode name stays at the left";

  // A text wider than the bar starts left of it and fills it.
  stage.kit.ctx->signal_update_leading_keys().emit(std::string(200, 'W'));
  const auto wide = stage.render();
  const Ink all = Stage::ink(wide);
  EXPECT_EQ(all.first, 0);
  EXPECT_GE(all.last, w - 4);
}

TEST(ViewCommandBar, ActiveCommandLineShowsThePromptTheTextAndItsCursor)
{
  VELKARO_REQUIRE_GTK();
  Stage stage;
  auto& cmd = *stage.bar->get_cmd();
  stage.kit.ctx->activate_cmd_ctrl();
  ASSERT_TRUE(cmd.get_is_active());
  const int prompt = stage.prompt_width();
  ASSERT_GT(prompt, 0);

  // Empty command: the prompt, then the cursor bar right after it.
  const auto empty = stage.render();
  Ink ink = Stage::ink(empty);
  ASSERT_TRUE(ink.any());
  EXPECT_LT(ink.first, prompt) << "the prompt at the left edge";
  EXPECT_LE(ink.last, prompt + 3) << "no mode name, only the prompt and a 2-wide cursor";
  EXPECT_TRUE(Stage::ink(empty, prompt, prompt + 3).any()) << "the cursor";

  cmd.set_text("w name.xml");
  const auto typed = stage.render();
  ink = Stage::ink(typed, prompt + 3);
  ASSERT_TRUE(ink.any());
  EXPECT_GT(ink.last, prompt + 40) << "the command text after the prompt";
  EXPECT_LT(ink.last, BAR_WIDTH / 2);

  // Once the diagram takes the keyboard back, the mode name returns.
  stage.kit.ctx->activate_edit_ctrl();
  ASSERT_FALSE(cmd.get_is_active());
  const auto idle = stage.render();
  EXPECT_GT(Stage::ink(idle).last, prompt + 40);
  EXPECT_LT(Stage::ink(idle).first, 4);
}

} // namespace
} // namespace velkaro::test
