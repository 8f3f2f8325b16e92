// The two palettes and the colour parser.

#include <gtest/gtest.h>

#include "support/log_capture.h"
#include "view/color_map.h"
#include "view/pixels_for_test.h"

namespace velkaro {
namespace {

using test::Pixel;

struct PaletteRow {
  ViewColor color;
  Pixel dark;
  Pixel light;
};

// Every colour of both palettes, as 0..255 channels and alpha in 0..255.
const PaletteRow palette_rows[] = {
  {ViewColor::background, {17, 17, 17, 255}, {255, 255, 255, 255}},
  {ViewColor::grid, {34, 34, 34, 255}, {0, 0, 0, 0}},
  {ViewColor::active_grid, {85, 102, 85, 255}, {0, 0, 0, 0}},
  {ViewColor::active_cell_frame, {136, 136, 0, 255}, {0, 0, 0, 255}},
  {ViewColor::selected_cell_fill, {136, 136, 0, 128}, {136, 136, 0, 128}},
  // Green clamped from 256; not assigned in the light palette.
  {ViewColor::range_cell_fill, {90, 255, 111, 102}, {0, 0, 0, 0}},
  {ViewColor::viewport_fill, {90, 255, 111, 51}, {0, 0, 0, 0}},
  {ViewColor::element_fill, {0, 0, 0, 255}, {0, 0, 0, 0}},
  {ViewColor::element_line, {238, 238, 238, 255}, {0, 0, 0, 255}},
  {ViewColor::active_element_fill, {51, 17, 0, 255}, {0, 0, 0, 0}},
  {ViewColor::active_element_line, {255, 255, 255, 255}, {0, 0, 0, 255}},
  {ViewColor::in_process_line, {255, 255, 255, 255}, {0, 0, 0, 255}},
  {ViewColor::in_working_line, {170, 255, 153, 255}, {0, 0, 0, 0}},
  {ViewColor::active_connector_line, {136, 136, 0, 255}, {136, 136, 0, 255}},
  {ViewColor::text, {238, 238, 238, 255}, {0, 0, 0, 255}},
  {ViewColor::selected_text, {136, 136, 0, 255}, {0, 0, 0, 255}},
  {ViewColor::active_text_cursor, {255, 255, 255, 255}, {0, 0, 0, 255}},
  // The dark palette copies its range fill.
  {ViewColor::inactive_text_cursor, {90, 255, 111, 102}, {0, 0, 0, 255}},
};

TEST(ColorMapTest, BothPalettesHoldTheirColours)
{
  const auto dark = ViewColorMap::create_dark();
  const auto light = ViewColorMap::create_light();
  ASSERT_EQ(std::size(palette_rows), ViewColorMap::COUNT);
  for (const PaletteRow& row : palette_rows) {
    SCOPED_TRACE(ViewColorMap::get_name(row.color));
    EXPECT_EQ(test::to_pixel(dark->get(row.color)), row.dark);
    EXPECT_EQ(test::to_pixel(light->get(row.color)), row.light);
  }
  // Exactly, not only after rounding.
  const GdkRGBA range = dark->get(ViewColor::range_cell_fill);
  const GdkRGBA cursor = dark->get(ViewColor::inactive_text_cursor);
  EXPECT_TRUE(gdk_rgba_equal(&range, &cursor));
  EXPECT_DOUBLE_EQ(range.alpha, 0.4);
  EXPECT_DOUBLE_EQ(dark->get(ViewColor::viewport_fill).alpha, 0.2);
  EXPECT_DOUBLE_EQ(dark->get(ViewColor::selected_cell_fill).alpha, 0.5);
}

TEST(ColorMapTest, NamesFollowTheStorageOrder)
{
  EXPECT_STREQ(ViewColorMap::get_name(ViewColor::background), "background");
  EXPECT_STREQ(ViewColorMap::get_name(ViewColor::active_connector_line), "active_connector_line");
  EXPECT_STREQ(ViewColorMap::get_name(ViewColor::inactive_text_cursor), "inactive_text_cursor");
}

TEST(ColorMapTest, ANewMapIsTransparentBlack)
{
  const auto map = ViewColorMap::create();
  for (const PaletteRow& row : palette_rows)
    EXPECT_EQ(test::to_pixel(map->get(row.color)), (Pixel{0, 0, 0, 0})) << ViewColorMap::get_name(row.color);
}

TEST(ColorMapTest, ParsingReadsCssColoursAndRefusesTheRestSilently)
{
  struct Case {
    const char* text;
    Pixel expected;
  };
  const Case cases[] = {
    {"#565", {85, 102, 85, 255}},
    {"#aabbcc", {170, 187, 204, 255}},
    {"rgba(90, 256, 111, 0.4)", {90, 255, 111, 102}},
    {"rgba(136,136,0,2)", {136, 136, 0, 255}},
    {"#0000", {0, 0, 0, 0}},
    {"", {0, 0, 0, 0}},
    {"not a colour", {0, 0, 0, 0}},
    {"#12", {0, 0, 0, 0}},
  };
  const test::LogCapture log(static_cast<GLogLevelFlags>(G_LOG_LEVEL_MASK));
  for (const Case& c : cases)
    EXPECT_EQ(test::to_pixel(ViewColorMap::rgba_parse(c.text)), c.expected) << '"' << c.text << '"';
  EXPECT_TRUE(log.messages.empty());
}

TEST(ColorMapTest, ColoursTravelByValue)
{
  const auto map = ViewColorMap::create_dark();
  GdkRGBA fetched = map->get(ViewColor::grid);
  fetched.red = 1.0;
  EXPECT_EQ(test::to_pixel(map->get(ViewColor::grid)), test::rgb(34, 34, 34));
  // Palettes made one after the other are independent.
  map->set(ViewColor::grid, fetched);
  EXPECT_EQ(test::to_pixel(ViewColorMap::create_dark()->get(ViewColor::grid)), test::rgb(34, 34, 34));
}

} // namespace
} // namespace velkaro
