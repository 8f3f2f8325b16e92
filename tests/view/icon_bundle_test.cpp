// The icon bundle: every icon a tool bar or a window names is in it and
// loads as 8-bit RGBA at its size; the tool icons carry a shape in their
// alpha; a missing icon is reported, not thrown.

#include <algorithm>
#include <string>
#include <vector>

#include <gdkmm/pixbuf.h>
#include <giomm/resource.h>
#include <gtest/gtest.h>

#include "support/test_env.h"
#include "view/bars_for_test.h"
#include "view/icon_bundle.h"
#include "view/tool_bar.h"

namespace velkaro::test {
namespace {

// The window icons: <kind><pixels>.png.
const std::vector<std::pair<std::string, int>> WINDOW_ICONS = {
  {"seq32.png", 32}, {"seq48.png", 48}, {"cls32.png", 32}, {"cls48.png", 48}};

bool is_window_icon(const std::string& file)
{
  return std::any_of(WINDOW_ICONS.begin(), WINDOW_ICONS.end(), [&file](const auto& w) { return w.first == file; });
}

void expect_rgba(const Glib::RefPtr<Gdk::Pixbuf>& icon, int size, const std::string& file)
{
  ASSERT_TRUE(icon) << file;
  EXPECT_EQ(icon->get_width(), size) << file;
  EXPECT_EQ(icon->get_height(), size) << file;
  EXPECT_EQ(icon->get_n_channels(), 4) << file;
  EXPECT_TRUE(icon->get_has_alpha()) << file;
  EXPECT_EQ(icon->get_bits_per_sample(), 8) << file;
}

TEST(IconBundle, TheWindowIconsLoadAtTheirOwnSize)
{
  view_icon_bundle_register();
  for (const auto& [file, size] : WINDOW_ICONS)
    expect_rgba(Gdk::Pixbuf::create_from_resource(view_icon_path(file)), size, file);
}

TEST(IconBundle, TheBundleHoldsTheActionIconsAndTheWindowIconsEachWithAShape)
{
  view_icon_bundle_register();
  std::vector<std::string> files = Gio::Resource::enumerate_children_global(VIEW_ICON_PREFIX);
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files.size(), 31u);
  // The actions of the diagram kinds' tool bars beside the shared buttons.
  for (const char* file : {"insert-element.png", "insert-life-line.png", "insert-message.png", "insert-fragment.png",
                           "insert-class.png", "insert-block.png", "delete-block.png", "connect-association.png",
                           "connect-dependency.png", "connect-generalization.png", "connect-aggregation.png",
                           "connect-composition.png"})
    EXPECT_TRUE(std::binary_search(files.begin(), files.end(), file)) << file;

  for (const std::string& file : files) {
    if (is_window_icon(file))
      continue;
    const auto icon = view_icon_load(file, 16, 16);
    expect_rgba(icon, 16, file);
    if (!icon)
      continue;
    // The tool bar repaints the colour: the shape is in the alpha.
    const auto pixels = pixels_of(icon);
    const auto opaque = std::count_if(pixels.begin(), pixels.end(), [](const Rgba& p) { return p.a > 200; });
    const auto clear = std::count_if(pixels.begin(), pixels.end(), [](const Rgba& p) { return p.a == 0; });
    EXPECT_GE(opaque, 16) << file;
    EXPECT_GE(clear, 40) << file;
  }
}

TEST(IconBundle, AMissingIconIsReportedWithoutThrowing)
{
  std::string error;
  EXPECT_FALSE(view_icon_load("no-such-icon.png", 16, 16, &error));
  EXPECT_NE(error.find("no-such-icon"), std::string::npos) << error;
  EXPECT_FALSE(view_icon_load("no-such-icon.png", 16, 16));
}

} // namespace
} // namespace velkaro::test
