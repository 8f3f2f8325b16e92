// A small realistic diagram exported as a whole: three life lines with
// nested execution specifications, a message of every kind, an "alt"
// fragment with a separator. Every element leaves ink where it belongs.
//
// With VELKARO_DOC_IMAGE naming a file, the picture is also copied there:
// scripts/doc-images draws docs/images/sequence-export.png this way.

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "seq/seq_draw_for_test.h"

namespace velkaro {
namespace {

using K = SeqMsgTypeTypes;

// Columns: 0 the fragment's left side, 1 "user", 3 "server", 5 "database",
// 6 the fragment's right side; the even ones between hold the texts.
void build(SeqWorkspace& ws)
{
  test::named_life_line(ws, 1, 0, 13, "user");
  test::named_life_line(ws, 3, 0, 13, "server");
  test::named_life_line(ws, 5, 0, 13, "database", true);
  test::box(ws, 1, 2, 11);
  test::box(ws, 3, 4, 11);
  test::box(ws, 3, 8, 9, 1);
  test::box(ws, 5, 5, 6);
  test::message(ws, 0, 1, 2, K::FOUND);
  test::fragment(ws, 0, 3, 6, 10, "alt [valid]");
  test::message(ws, 1, 3, 4, K::SYNCHRONOUS, {"request()"});
  test::message(ws, 3, 5, 5, K::SYNCHRONOUS, {"query()"});
  test::message(ws, 5, 3, 6, K::REPLY, {"rows"});
  test::separator(ws, 0, 7, 6, "[else]", 2);
  const auto self = test::message(ws, 3, 3, 8, K::SYNCHRONOUS);
  test::put(ws, SeqTextElement::create_with_text(self, "validate()"), 4, 8);
  test::message(ws, 3, 1, 9, K::ASYNCHRONOUS, {"notify()"});
  test::message(ws, 3, 1, 11, K::REPLY, {"response"});
  test::message(ws, 5, 6, 12, K::LOSTZZ);
}

TEST(SamplePicture, EveryElementOfASmallDiagramIsDrawn)
{
  VELKARO_REQUIRE_GTK();
  test::SeqDrawKit k;
  build(*k.ws);
  k.finish();
  test::TempDir dir;
  // A margin around the diagram, so that the frame and the dots at its
  // edges stand clear of the picture's border.
  constexpr double M = 12;
  const Rectangle all = k.up_to(6, 13);
  const auto image = k.export_png({-M, -M, all.width + 2 * M, all.height + 2 * M}, dir, "sequence-export.png");
  if (const char* keep = std::getenv("VELKARO_DOC_IMAGE"); keep && *keep)
    std::filesystem::copy_file(dir.file("sequence-export.png"), keep,
                               std::filesystem::copy_options::overwrite_existing);

  // Image pixels of canvas points.
  const auto inked = [&](Rectangle r) {
    r.x += M;
    r.y += M;
    return test::inked(image, r);
  };
  const auto ink = [&](double x, double y) { return test::ink(image, int(x + M), int(y + M)); };
  const auto liney = [&](int32_t y) { return k.cell(0, y).get_bottom() - 8.75; };
  const auto xmid = [&](int32_t x) { return k.cell(x, 0).get_xmid(); };
  // Each message's line between its life lines (a strip along the line).
  struct Line {
    int32_t from, to, row;
  };
  for (const Line& m : {Line{0, 1, 2}, Line{1, 3, 4}, Line{3, 5, 5}, Line{5, 3, 6}, Line{3, 1, 9}, Line{3, 1, 11},
                        Line{5, 6, 12}}) {
    const double x0 = std::min(xmid(m.from), xmid(m.to)) + 14;
    const double x1 = std::max(xmid(m.from), xmid(m.to)) - 14;
    EXPECT_GT(inked({x0, liney(m.row) - 0.5, x1 - x0, 1}), (x1 - x0) / 3) << m.row;
  }
  // The self message's loop, the found and lost dots.
  EXPECT_GT(inked({xmid(3) + 12, k.cell(3, 8).get_bottom() - 27, k.cell(3, 8).get_right() - xmid(3) - 12, 20}),
            10);
  EXPECT_GE(ink(xmid(0) - 8.75, liney(2)), 0.9);
  EXPECT_GE(ink(xmid(6) + 8.75, liney(12)), 0.9);
  // Every text: where its drawer puts it, a message line's 12.25 higher.
  k.ws->get_cells()->foreach([&](int32_t x, int32_t y, const test::ElementPtr& head) {
    head->foreach([&](const test::ElementPtr& e) {
      auto* text = dynamic_cast<SeqTextElement*>(e.get());
      if (!text)
        return;
      Rectangle r = text->get_rect();
      r.x += k.cell(x, y).x;
      r.y += k.cell(x, y).y - (dynamic_cast<SeqMsgLine*>(text->get_parent().get()) ? 12.25 : 0);
      EXPECT_GT(inked(r), 0) << x << "," << y;
    });
    return true;
  });
}

} // namespace
} // namespace velkaro
