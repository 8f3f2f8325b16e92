// Messages in an exported image (light palette, zoom 1): where lines start
// and arrowheads end beside execution specifications, filled and open
// arrowheads, reply dashes phased from the sender, self messages, found and
// lost dots, texts above the line, and the antialiasing a dot leaves, also
// in an export cut into bands anywhere; a long run of alike messages in one
// cell, partly left out, exports the same pixels.

#include <cstring>
#include <functional>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/cell_range.h"
#include "seq/exporting_cnavas.h"
#include "seq/message_drawer.h"
#include "seq/seq_draw_for_test.h"
#include "view/color_map.h"
#include "view/drawer_context.h"

namespace velkaro::test {
namespace {

using Image = Cairo::RefPtr<Cairo::ImageSurface>;

constexpr double ARROW = 35.0 / 3.0;

double liney(const Rectangle& cell) { return cell.get_bottom() - 8.75; }
double abovey(const Rectangle& cell) { return cell.get_bottom() - 26.25; }

// The arrowhead whose tip is at (tip, y), pointing towards +t or -t:
// its sides are there; inside it ink when filled, none when open; nothing
// beyond its base.
void expect_arrow(const Image& image, double tip, double y, int t, bool filled)
{
  for (const int side : {-1, 1}) {
    EXPECT_GE(spot(image, tip - t * 6, y + side * 3), 0.5) << "side " << side << " at " << tip;
    const double inside = ink(image, int(std::floor(tip - t * 10)), int(std::floor(y + side * 2.5)));
    if (filled)
      EXPECT_GE(inside, 0.9) << "inside " << side << " at " << tip;
    else
      EXPECT_LE(inside, 0.1) << "inside " << side << " at " << tip;
    EXPECT_LE(ink(image, int(std::floor(tip - t * 13.5)), int(std::floor(y + side * 3.5))), 0.1)
      << "behind " << side << " at " << tip;
  }
}

// Life lines a (column 1), b (3), c (5) from row 1 to 8 and d (7) from row 1
// to 3, with:
//   1: a -> b synchronous;          2: a -> b asynchronous;
//   3: b -> a reply, "ret" on the line cell between them;
//   4: c -> b leaving a box of c (rows 4..6);
//   5: c -> b leaving a level -1 box nested there;
//   6: a -> b onto point 1 of b's boxes (level 0 rows 6..7, level 1 rows
//      6..7, level 2 row 7);    7: a -> b onto point 5;
//   8: a -> c onto a bare box;
//   and self messages of d in rows 1 (bare) and 3 (beside a box).
struct Messages : ::testing::Test {
  void SetUp() override
  {
    VELKARO_REQUIRE_GTK();
    auto& ws = *k.ws;
    using K = SeqMsgTypeTypes;
    test::named_life_line(ws, 1, 0, 8, "a");
    test::named_life_line(ws, 3, 0, 8, "b");
    test::named_life_line(ws, 5, 0, 8, "c");
    test::named_life_line(ws, 7, 0, 3, "d");
    test::box(ws, 5, 4, 6);
    test::box(ws, 5, 5, 5, -1);
    test::box(ws, 3, 6, 7);
    test::box(ws, 3, 6, 7, 1);
    test::box(ws, 3, 7, 7, 2);
    test::box(ws, 5, 8, 8);
    test::box(ws, 7, 3, 3);
    test::message(ws, 1, 3, 1, K::SYNCHRONOUS);
    test::message(ws, 1, 3, 2, K::ASYNCHRONOUS);
    test::message(ws, 3, 1, 3, K::REPLY, {"ret"});
    test::message(ws, 5, 3, 4, K::SYNCHRONOUS);
    test::message(ws, 5, 3, 5, K::SYNCHRONOUS);
    test::message(ws, 1, 3, 6, K::SYNCHRONOUS, {}, 1);
    test::message(ws, 1, 3, 7, K::SYNCHRONOUS, {}, 5);
    test::message(ws, 1, 5, 8, K::SYNCHRONOUS);
    test::message(ws, 7, 7, 1, K::SYNCHRONOUS);
    test::message(ws, 7, 7, 3, K::SYNCHRONOUS);
    k.finish();
    image = k.export_png(k.up_to(8, 9), dir, "messages.png");
  }

  double xmid(int32_t x) const { return k.cell(x, 1).get_xmid(); }

  test::SeqDrawKit k;
  test::TempDir dir;
  Image image;
};

TEST_F(Messages, ASynchronousMessageRunsCentreToCentreToAFilledHead)
{
  const double y = liney(k.cell(1, 1));
  EXPECT_EQ(check_run(image, false, y, xmid(1) + 0.5, xmid(3) - ARROW - 1, Stretch{}), "");
  EXPECT_TRUE(blank(hline(image, xmid(1) - 3, y)));
  expect_arrow(image, xmid(3), y, 1, true);
  EXPECT_TRUE(blank(hline(image, xmid(3) + 3, y)));
}

TEST_F(Messages, AnAsynchronousMessageHasAnOpenHead)
{
  const double y = liney(k.cell(1, 2));
  EXPECT_EQ(check_run(image, false, y, xmid(1) + 0.5, xmid(3) - 1, Stretch{}), "");
  expect_arrow(image, xmid(3), y, 1, false);
}

TEST_F(Messages, AReplyIsDashedFromTheSenderOnAcrossItsCellsWithASolidHead)
{
  const double y = liney(k.cell(1, 3));
  // Leftwards from b's centre through the line cell into the tip cell.
  EXPECT_EQ(check_run(image, false, y, xmid(1) + ARROW + 1, xmid(3) - 0.5, Stretch::dashes_back(xmid(3), 6, 6)), "");
  for (const double d : {2.0, 4.0, 6.0, 8.0, 10.0})
    for (const int side : {-1, 1})
      EXPECT_GE(spot(image, xmid(1) + d, y + side * d / 2), 0.5) << d << "," << side;
  expect_arrow(image, xmid(1), y, -1, false);
}

TEST_F(Messages, AMessageTextStandsAboveItsLine)
{
  const auto text = test::at<SeqTextElement>(*k.ws, 2, 3);
  ASSERT_TRUE(text);
  const Rectangle cell = k.cell(2, 3);
  Rectangle r = text->get_rect();
  r.x += cell.x;
  r.y += cell.y - 12.25;
  EXPECT_GT(test::inked(image, r), 0);
  // Between the text's box and the line, nothing.
  EXPECT_EQ(test::inked(image, {r.x, r.get_bottom() + 0.5, r.width, liney(cell) - 1 - r.get_bottom() - 0.5}), 0);
}

TEST_F(Messages, ALineStartsAtTheEdgeOfTheSendersBoxes)
{
  // From a bare box: 6.2 from the centre, inside the box nothing.
  const double y4 = liney(k.cell(5, 4));
  EXPECT_TRUE(drawn(hline(image, xmid(5) - 7.5, y4)));
  EXPECT_TRUE(blank(hline(image, xmid(5) - 4.5, y4)));
  // Beside a nested box: 10.2 from the centre.
  const double y5 = liney(k.cell(5, 5));
  EXPECT_TRUE(drawn(hline(image, xmid(5) - 11.5, y5)));
  EXPECT_TRUE(blank(hline(image, xmid(5) - 9, y5)));
  // Both end at b's centre (b has no box there).
  expect_arrow(image, xmid(3), y4, -1, true);
  expect_arrow(image, xmid(3), y5, -1, true);
}

TEST_F(Messages, ATipStopsAtTheReceiversBoxOrAtTheLevelItsPointNames)
{
  // A bare box: 7.2 before the centre.
  expect_arrow(image, xmid(5) - 7.2, liney(k.cell(5, 8)), 1, true);
  // Point 1: 0.8 right of the centre, on the far side of the level-0 box.
  expect_arrow(image, xmid(3) + 0.8, liney(k.cell(3, 6)), 1, true);
  // Point 5 where the highest level is 2: level 2, 4.8 right of the centre.
  expect_arrow(image, xmid(3) + 4.8, liney(k.cell(3, 7)), 1, true);
}

TEST_F(Messages, ASelfMessageLoopsOutAndBack)
{
  // Beside a bare life line: from the centre out to the cell's edge, down,
  // back to the centre.
  const Rectangle r1 = k.cell(7, 1);
  EXPECT_EQ(check_run(image, false, abovey(r1), xmid(7) + 0.5, r1.get_right() - 0.5, Stretch{}), "");
  EXPECT_TRUE(blank(hline(image, xmid(7) - 3, abovey(r1))));
  EXPECT_EQ(check_run(image, true, r1.get_right(), abovey(r1) + 0.5, liney(r1) - 0.5, Stretch{}), "");
  EXPECT_EQ(check_run(image, false, liney(r1), xmid(7) + ARROW + 1, r1.get_right() - 0.5, Stretch{}), "");
  expect_arrow(image, xmid(7), liney(r1), -1, true);
  // Beside a box: out from 6.2, back to 7.2.
  const Rectangle r3 = k.cell(7, 3);
  EXPECT_TRUE(drawn(hline(image, xmid(7) + 7.5, abovey(r3))));
  EXPECT_TRUE(blank(hline(image, xmid(7) + 4.5, abovey(r3))));
  expect_arrow(image, xmid(7) + 7.2, liney(r3), -1, true);
}

// A found message into a (column 1, row 1) and a lost one out of b
// (column 3, row 2); both ends without a life line carry a dot.
struct FoundAndLost : ::testing::Test {
  void SetUp() override
  {
    VELKARO_REQUIRE_GTK();
    auto& ws = *k.ws;
    test::named_life_line(ws, 1, 0, 3, "a");
    test::named_life_line(ws, 3, 0, 3, "b");
    test::message(ws, 0, 1, 1, SeqMsgTypeTypes::FOUND);
    test::message(ws, 3, 4, 2, SeqMsgTypeTypes::LOSTZZ);
    test::message(ws, 1, 3, 3, SeqMsgTypeTypes::SYNCHRONOUS);
    k.finish();
  }

  test::SeqDrawKit k;
  test::TempDir dir;
};

// The ink of a dot of radius 8.75 centred at (x, y): everywhere inside,
// nowhere beyond it above and below.
void expect_dot(const Image& image, double x, double y)
{
  const double inside[][2] = {{0, 0}, {-6, 0}, {6, 0}, {0, -6}, {0, 6}, {-4, -4}, {4, -4}, {-4, 4}, {4, 4}};
  for (const auto& d : inside)
    EXPECT_GE(ink(image, int(std::floor(x + d[0])), int(std::floor(y + d[1]))), 0.9) << d[0] << "," << d[1];
  EXPECT_LE(spot(image, x, y - 11), 0.1);
  EXPECT_LE(spot(image, x, y + 11), 0.1);
}

TEST_F(FoundAndLost, DotsMarkTheEndsWithoutALifeLine)
{
  const auto image = k.export_png(k.up_to(5, 4), dir, "found_and_lost.png");
  const Rectangle found = k.cell(0, 1);
  expect_dot(image, found.get_xmid() - 8.75, liney(found));
  EXPECT_TRUE(drawn(hline(image, found.get_xmid() + 3, liney(found))));
  expect_arrow(image, k.cell(1, 1).get_xmid(), liney(found), 1, false);
  const Rectangle lost = k.cell(4, 2);
  expect_dot(image, lost.get_xmid() + 8.75, liney(lost));
  expect_arrow(image, lost.get_xmid(), liney(lost), 1, false);
  // A message between two life lines has no dot.
  EXPECT_LE(spot(image, k.cell(1, 3).get_xmid() - 8.75, liney(k.cell(1, 3)) + 6), 0.1);
}

// The pixels of the rectangle that are neither white nor black.
int partly_inked(const Image& image, const Rectangle& r)
{
  int n = 0;
  for (int y = int(r.y); y < int(r.get_bottom()); ++y)
    for (int x = int(r.x); x < int(r.get_right()); ++x) {
      const double v = ink(image, x, y);
      n += v > 0.05 && v < 0.95;
    }
  return n;
}

TEST_F(FoundAndLost, AtZoomOneEverythingAfterADotIsDrawnWithoutAntialiasing)
{
  const auto image = k.export_png(k.up_to(5, 4), dir, "found_and_lost.png");
  // The dots are drawn before the last message's arrowhead.
  const Rectangle r = k.cell(3, 3);
  EXPECT_EQ(partly_inked(image, {r.get_xmid() - 14, liney(r) - 7, 14, 14}), 0);
}

TEST_F(FoundAndLost, AtOtherZoomsTheAntialiasingComesBackAfterADot)
{
  const Rectangle all = k.up_to(5, 4);
  for (const double zoom : {1.0, 2.0}) {
    const auto dc = ViewDrawerContext::create_make_surface({0, 0, all.width * zoom, all.height * zoom});
    dc->color_map = ViewColorMap::create_light();
    dc->zoom = zoom;
    dc->cr->scale(zoom, zoom);
    dc->cr->set_source_rgb(1, 1, 1);
    dc->cr->paint();
    const Cairo::Antialias before = dc->cr->get_antialias();
    SeqMessageDrawer drawer;
    drawer.draw_for(dc, k.ctx);
    if (zoom == 1.0) {
      EXPECT_EQ(dc->cr->get_antialias(), Cairo::ANTIALIAS_NONE);
      continue;
    }
    EXPECT_EQ(dc->cr->get_antialias(), before);
    // The last arrowhead, drawn after both dots, has soft edges.
    const Rectangle r = k.cell(3, 3);
    EXPECT_GT(partly_inked(dc->surface, {(r.get_xmid() - 14) * zoom, (liney(r) - 7) * zoom, 14 * zoom, 14 * zoom}), 0);
  }
}

// The sequence exporter with its drawer list in reach.
class BandedExporter : public SeqExportingCnavas {
public:
  using SeqExportingCnavas::new_drawers;
  using SeqExportingCnavas::SeqExportingCnavas;
};

// The rows in which two images of one size differ.
int differing_rows(const Image& a, const Image& b)
{
  int n = 0;
  for (int y = 0; y < a->get_height(); ++y)
    n += std::memcmp(a->get_data() + y * a->get_stride(), b->get_data() + y * b->get_stride(),
                     static_cast<size_t>(a->get_width()) * 4) != 0;
  return n;
}

// The antialiasing a dot leaves (off, at zoom 1) reaches everything drawn
// after it, in the walks' order: the arrowheads of messages below and of
// every message line (the lines' walk comes after the messages'), and the
// fragments' corners. Exported in bands of any height, the image is the one
// a single drawing of the whole gives, although the first dot lies in a
// band far below the arrowheads it changes.
TEST(FoundAndLostInBands, TheImageIsTheSameWhereverTheBandsAreCut)
{
  VELKARO_REQUIRE_GTK();
  using K = SeqMsgTypeTypes;
  SeqDrawKit k;
  auto& ws = *k.ws;
  named_life_line(ws, 1, 0, 9, "a");
  named_life_line(ws, 3, 0, 9, "b");
  named_life_line(ws, 5, 0, 9, "c");
  fragment(ws, 0, 1, 6, 2, "loop");
  message(ws, 1, 3, 2, K::SYNCHRONOUS);
  message(ws, 3, 1, 3, K::REPLY);
  message(ws, 5, 5, 4, K::SYNCHRONOUS);
  message(ws, 3, 4, 5, K::LOSTZZ);
  message(ws, 1, 5, 6, K::ASYNCHRONOUS);
  message(ws, 0, 1, 8, K::FOUND);
  message(ws, 3, 5, 9, K::SYNCHRONOUS);
  k.finish();
  const Rectangle all = k.up_to(6, 10);
  const auto exporter = ViewExportingCnavas::create<BandedExporter>(k.ctx, all);
  const auto whole = ViewDrawerContext::create_make_surface(all);
  whole->color_map = ViewColorMap::create_light();
  for (const auto& drawer : exporter->new_drawers())
    drawer->draw_for(whole, k.ctx);
  whole->surface->flush();
  TempDir dir;
  for (const int rows : {1, 5, 17, 40, 100, 0}) {
    SCOPED_TRACE("bands of " + std::to_string(rows) + " rows");
    exporter->set_band_rows(rows);
    ASSERT_TRUE(exporter->export_png(dir.file("bands.png"))) << exporter->get_last_error();
    const auto image = Cairo::ImageSurface::create_from_png(dir.file("bands.png"));
    ASSERT_EQ(image->get_width(), whole->surface->get_width());
    ASSERT_EQ(image->get_height(), whole->surface->get_height());
    EXPECT_EQ(differing_rows(image, whole->surface), 0);
  }
  // Past the found message's dot, the first arrowhead (row 2, in the
  // lines' walk) has no soft edge.
  const Rectangle r = k.cell(3, 2);
  EXPECT_EQ(partly_inked(whole->surface, {r.get_xmid() - 14, liney(r) - 7, 14, 14}), 0);
}

// A document whose cell at anchor holds lead, then each(k) for k below
// count, then after; the cells before come first.
std::string alike_chain(const std::string& before, const std::string& anchor, const std::string& lead,
                        const std::function<std::string(int32_t)>& each, int count, const std::string& after)
{
  std::string doc = R"(<?xml version="1.0" encoding="UTF-8"?><workspace><element_cells>)" + before + "<cell " +
                    anchor + ">" + lead;
  for (int k = 0; k < count; ++k)
    doc += each(k);
  return doc + after + "</cell></element_cells></workspace>\n";
}

// Fault: a hostile file of thousands of alike messages in one cell stroked
// every one of them into the export. Past the settling point a run of alike
// drawings is left out: the image is the one drawing every element gives,
// in every style (antialiased or not, dashed, filled, with a box, a text or
// a dot), wherever the bands are cut, while runs shorter than the settling
// point still show in the pixels.
TEST(AlikeMessagesInOneCell, ExportTheImageDrawingEveryOneGives)
{
  VELKARO_REQUIRE_GTK();
  const std::string head = R"(<cell h="1" v="0"><life_head/><seq_text pi="0">A</seq_text></cell>)";
  const std::string head_b = R"(<cell h="3" v="0"><life_head/><seq_text pi="0">B</seq_text></cell>)";
  const std::string life_line = R"(<life_line pi="0" pv="0" has_stop="false"/>)";
  // Messages at chain index first + 2k, each followed by its type.
  const auto typed = [](int first, const std::string& message, const std::string& type) {
    return [=](int32_t k) {
      return message + R"(<message_type pi=")" + std::to_string(first + 2 * k) + R"(" msg_type=")" + type + R"("/>)";
    };
  };
  const std::string sender = R"(<cell h="1" v="1">)" + life_line +
                             R"(<execution_specification top="true"/><message role="1" pi="0"/>)" +
                             R"(<message_type pi="2" msg_type="reply"/></cell>)";
  struct Case {
    const char* name;
    std::function<std::string(int)> doc;
  };
  const std::vector<Case> cases = {
    {"calls on a life line beside a box",
     [&](int n) {
       return alike_chain(head, R"(h="1" v="1")", life_line + R"(<execution_specification top="true"/>)",
                          typed(2, R"(<message role="1" pi="0"/>)", "synchronous"), n, "");
     }},
    {"replies on a life line",
     [&](int n) {
       return alike_chain(head, R"(h="1" v="1")", life_line, typed(1, R"(<message role="1" pi="0"/>)", "reply"), n,
                          "");
     }},
    {"found messages", [&](int n) {
       return alike_chain("", R"(h="1" v="1")", "", typed(0, R"(<message role="1"/>)", "asynchronous"), n, "");
     }},
    {"lines of a lost reply under a text", [&](int n) {
       return alike_chain(head + sender, R"(h="2" v="1")", "",
                          [](int32_t) { return std::string(R"(<message_line pi="2" ph="1"/>)"); }, n,
                          R"(<seq_text pi="0">ret</seq_text>)");
     }},
    {"lines of a reply ending on a point", [&](int n) {
       return alike_chain(head + head_b + sender, R"(h="2" v="1")", "",
                          [](int32_t) { return std::string(R"(<message_line pi="2" ph="1"/>)"); }, n,
                          R"(</cell><cell h="3" v="1">)" + life_line + R"(<message_line pi="2" ph="1" point="0"/>)");
     }},
  };
  const int settled = ViewDrawerContext::SETTLED_AFTER;
  TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // Image of a run of n alike elements, drawn whole or with the settled
    // ones left out, cut into bands of rows rows.
    const auto exported = [&](int n, bool settling, int rows) {
      {
        std::ofstream out(dir.file("chain.xml"));
        out << c.doc(n);
      }
      SeqDrawKit k;
      EXPECT_TRUE(k.ws->load(dir.file("chain.xml"))) << k.ws->get_last_error();
      const auto exporter = ViewExportingCnavas::create<SeqExportingCnavas>(k.ctx, k.up_to(4, 2));
      exporter->dc->settles_repeats = settling;
      exporter->set_band_rows(rows);
      EXPECT_TRUE(exporter->export_png(dir.file("chain.png"))) << exporter->get_last_error();
      return Cairo::ImageSurface::create_from_png(dir.file("chain.png"));
    };
    const Image few = exported(2, true, 0);
    const Image short_run = exported(settled - 1, true, 0);
    EXPECT_GT(differing_rows(few, short_run), 0) << "repeats leave no trace: the case tests nothing";
    for (const int n : {settled, settled + 1, settled + 2, 3 * settled}) {
      for (const int rows : {0, 7}) {
        SCOPED_TRACE(std::to_string(n) + " elements, bands of " + std::to_string(rows) + " rows");
        const Image whole = exported(n, false, rows);
        const Image left_out = exported(n, true, rows);
        ASSERT_EQ(left_out->get_width(), whole->get_width());
        ASSERT_EQ(left_out->get_height(), whole->get_height());
        EXPECT_EQ(differing_rows(left_out, whole), 0);
      }
    }
  }
}

// The strokes and fills that reach a surface.
struct Counted {
  int operations = 0;
  static void count(cairo_surface_t*, cairo_surface_t*, void* data) { ++static_cast<Counted*>(data)->operations; }
};

// Fault: the export drew every one of thousands of alike messages of one
// cell, each stroked and rasterized over the ones before. Past the settling
// point they are left out: what reaches the image stops growing with the
// chain.
TEST(AlikeMessagesInOneCell, AreDrawnUntilTheySettle)
{
  VELKARO_REQUIRE_GTK();
  const std::string head = R"(<cell h="1" v="0"><life_head/><seq_text pi="0">A</seq_text></cell>)";
  const std::string life_line = R"(<life_line pi="0" pv="0" has_stop="false"/>)";
  const auto repeated = [](const std::string& element) { return [=](int32_t) { return element; }; };
  const std::vector<std::pair<const char*, std::function<std::string(int)>>> cases = {
    {"messages on a life line",
     [&](int n) {
       return alike_chain(head, R"(h="1" v="1")", life_line, repeated(R"(<message role="1" pi="0"/>)"), n, "");
     }},
    {"found messages",
     [&](int n) { return alike_chain("", R"(h="1" v="1")", "", repeated(R"(<message role="1"/>)"), n, ""); }},
    {"message lines",
     [&](int n) {
       return alike_chain(head + R"(<cell h="1" v="1">)" + life_line + R"(<message role="1" pi="0"/></cell>)",
                          R"(h="2" v="1")", "", repeated(R"(<message_line pi="1" ph="1"/>)"), n, "");
     }},
  };
  TempDir dir;
  for (const auto& [name, make_doc] : cases) {
    SCOPED_TRACE(name);
    const auto& doc = make_doc;
    // The strokes and fills of the message drawer over a chain of n.
    const auto drawn = [&](int n, bool settling) {
      {
        std::ofstream out(dir.file("chain.xml"));
        out << doc(n);
      }
      SeqDrawKit k;
      EXPECT_TRUE(k.ws->load(dir.file("chain.xml"))) << k.ws->get_last_error();
      const auto dc = ViewDrawerContext::create_make_surface(k.up_to(3, 2));
      dc->color_map = ViewColorMap::create_light();
      dc->shows_editor = false;
      dc->settles_repeats = settling;
      Counted counted;
      cairo_surface_t* observer = cairo_surface_create_observer(dc->surface->cobj(), CAIRO_SURFACE_OBSERVER_NORMAL);
      cairo_surface_observer_add_stroke_callback(observer, &Counted::count, &counted);
      cairo_surface_observer_add_fill_callback(observer, &Counted::count, &counted);
      dc->cr = Cairo::RefPtr<Cairo::Context>(new Cairo::Context(cairo_create(observer), true));
      cairo_surface_destroy(observer);
      SeqMessageDrawer drawer;
      drawer.draw_for(dc, k.ctx);
      return counted.operations;
    };
    EXPECT_GT(drawn(3000, false), drawn(300, false));
    EXPECT_EQ(drawn(3000, true), drawn(300, true));
  }
}

} // namespace
} // namespace velkaro::test
