// The large diagrams the benchmarks measure (bench/seq_diagram.h): built as
// planned through the workspace's operations, consistent, read back as
// written, and drawn whole: every message and text inked, no two texts on
// top of each other. Trials on scratch cells that mirror such a diagram do
// what they do on a whole copy, and the refresh of the enabled actions
// stays quick on a long one.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <typeinfo>
#include <vector>

#include <gtest/gtest.h>

#include "model/serializing_writer.h"
#include "model/structures_for_test.h"
#include "seq/context.h"
#include "seq/exporting_cnavas.h"
#include "view/color_map.h"
#include "view/drawer.h"
#include "view/drawer_context.h"
#include "seq/seq_draw_for_test.h"
#include "seq_diagram.h"
#include "support/log_capture.h"

namespace velkaro {
namespace {

using Cols = SeqDiagramColumns;

// Every element of type T in the document, with its anchor cell.
template <class T>
std::vector<std::pair<CellPos, std::shared_ptr<T>>> all_of(ModelWorkspace& ws)
{
  std::vector<std::pair<CellPos, std::shared_ptr<T>>> found;
  ws.get_cells()->foreach([&](int32_t x, int32_t y, const test::ElementPtr& head) {
    head->foreach([&](const test::ElementPtr& e) {
      if (auto t = std::dynamic_pointer_cast<T>(e))
        found.push_back({{x, y}, std::move(t)});
    });
    return true;
  });
  return found;
}

TEST(GeneratedDiagrams, AreBuiltAsPlannedAndReadBackAsWritten)
{
  for (const int n : {50, 200}) {
    SCOPED_TRACE(n);
    test::LogCapture log;
    const auto ws = test::new_ws();
    const SeqDiagramFigures f = seq_generate_diagram(*ws, n);
    EXPECT_TRUE(log.messages.empty()) << log.messages.front();
    EXPECT_EQ(f.messages, n);
    EXPECT_EQ(f.synchronous + f.asynchronous + f.replies, n);
    // Every call is answered, and the shares are those asked for.
    EXPECT_EQ(f.synchronous, f.replies);
    EXPECT_NEAR(f.synchronous, 0.4 * n, 0.1 * n);
    EXPECT_NEAR(f.asynchronous, 0.2 * n, 0.1 * n);
    EXPECT_EQ(f.boxes, f.synchronous);
    EXPECT_GE(f.deepest, 1);
    EXPECT_LE(f.deepest, 2);
    EXPECT_EQ(f.alts, n / 20 + (n % 20 >= 10 ? 1 : 0));
    // Names, messages, two labels and a separator text per "alt".
    EXPECT_EQ(f.texts, Cols::LIFE_LINES + n + 3 * f.alts);
    EXPECT_EQ(all_of<SeqMessage>(*ws).size(), static_cast<size_t>(n));
    EXPECT_EQ(all_of<SeqFragment>(*ws).size(), static_cast<size_t>(2 * f.alts));
    const auto separators = all_of<SeqSeparator>(*ws);
    EXPECT_EQ(std::count_if(separators.begin(), separators.end(),
                            [](const auto& s) { return typeid(*s.second) == typeid(SeqSeparator); }),
              f.alts);
    EXPECT_EQ(all_of<SeqTextElement>(*ws).size(), static_cast<size_t>(f.texts));
    // Every message carries one text.
    for (const auto& [at, msg] : all_of<SeqMessage>(*ws)) {
      int texts = 0;
      for (const auto& [where, text] : all_of<SeqTextElement>(*ws)) {
        const auto parent = text->get_parent();
        if (parent == msg || (parent && parent->get_parent() == msg))
          ++texts;
      }
      EXPECT_EQ(texts, 1) << at.to_string();
    }
    for (const auto& [at, e] : all_of<ModelElement>(*ws))
      EXPECT_FALSE(e->in_process) << at.to_string();
    test::expect_structures(*ws, "generated");

    // The same every time, and read back as written.
    const auto again = test::new_ws();
    (void)seq_generate_diagram(*again, n);
    const std::string written = test::document_of(*ws);
    EXPECT_EQ(test::document_of(*again), written);
    const auto loaded = test::new_ws();
    ASSERT_TRUE(test::load_text(*loaded, test::saved_text(*ws)));
    EXPECT_EQ(test::document_of(*loaded), written);
  }
}

// The sequence exporter with its drawer list in reach.
class OpenSeqExporter : public SeqExportingCnavas {
public:
  using SeqExportingCnavas::new_drawers;
  using SeqExportingCnavas::SeqExportingCnavas;
};

// Drawn in bands, each recorded and turned into pixels on another thread,
// the exported image is the very image the drawers draw in one piece, at
// any cut (a band's drawers see only what meets it, and elements across a
// cut are drawn in both bands), from an origin between pixels too.
TEST(GeneratedDiagrams, TheExportInBandsIsTheImageDrawnInOnePiece)
{
  VELKARO_REQUIRE_GTK();
  test::SeqDrawKit k;
  (void)seq_generate_diagram(*k.ws, 50);
  const CellRange used = *k.ws->get_cells()->get_exists_range();
  Rectangle rect = k.up_to(used.end.x, used.end.y);
  rect.x -= 12.5;
  rect.y -= 7.25;
  rect.width += 25;
  rect.height += 20;
  const auto exporter = ViewExportingCnavas::create<OpenSeqExporter>(k.ctx, rect);
  const auto whole = ViewDrawerContext::create_make_surface(rect);
  whole->color_map = ViewColorMap::create_light();
  for (const auto& drawer : exporter->new_drawers())
    drawer->draw_for(whole, k.ctx);
  whole->surface->flush();
  test::TempDir dir;
  for (const int rows : {7, 64, 0}) {
    SCOPED_TRACE(rows);
    exporter->set_band_rows(rows);
    ASSERT_TRUE(exporter->export_png(dir.file("bands.png"))) << exporter->get_last_error();
    const auto image = Cairo::ImageSurface::create_from_png(dir.file("bands.png"));
    ASSERT_EQ(image->get_width(), whole->surface->get_width());
    ASSERT_EQ(image->get_height(), whole->surface->get_height());
    int differing = 0;
    for (int y = 0; y < image->get_height(); ++y)
      differing += std::memcmp(image->get_data() + y * image->get_stride(),
                               whole->surface->get_data() + y * whole->surface->get_stride(),
                               static_cast<size_t>(image->get_width()) * 4) != 0;
    EXPECT_EQ(differing, 0) << "rows differ";
  }
  // Cut into pieces side by side as well (as an image wider than cairo
  // makes is), every element is drawn in each piece it meets: the image is
  // the same but for the rounding of antialiased edges near the cuts.
  for (const int columns : {50, 333}) {
    SCOPED_TRACE(std::to_string(columns) + " columns");
    exporter->set_band_rows(64);
    exporter->set_piece_columns(columns);
    ASSERT_TRUE(exporter->export_png(dir.file("pieces.png"))) << exporter->get_last_error();
    const auto image = Cairo::ImageSurface::create_from_png(dir.file("pieces.png"));
    ASSERT_EQ(image->get_width(), whole->surface->get_width());
    ASSERT_EQ(image->get_height(), whole->surface->get_height());
    int farthest = 0;
    for (int y = 0; y < image->get_height(); ++y) {
      const unsigned char* a = image->get_data() + y * image->get_stride();
      const unsigned char* b = whole->surface->get_data() + y * whole->surface->get_stride();
      for (int i = 0; i < image->get_width() * 4; ++i)
        farthest = std::max(farthest, std::abs(int(a[i]) - int(b[i])));
    }
    EXPECT_LE(farthest, 16);
  }
}

TEST(GeneratedDiagrams, TheExportShowsEveryMessageAndNoTwoTextsOverlap)
{
  VELKARO_REQUIRE_GTK();
  test::SeqDrawKit k;
  (void)seq_generate_diagram(*k.ws, 50);
  k.ctx->set_pos({Cols::ALT_RIGHT + 5, 0});
  test::TempDir dir;
  const CellRange used = *k.ws->get_cells()->get_exists_range();
  const auto image = k.export_png(k.up_to(used.end.x, used.end.y), dir, "generated-50.png");
  const auto xmid = [&](int32_t x) { return k.cell(x, 0).get_xmid(); };
  for (const auto& [at, msg] : all_of<SeqMessage>(*k.ws)) {
    const ModelElement& tip = *msg->get_tip();
    const double y = k.cell(at.x, at.y).get_bottom() - 8.75;
    if (&tip == msg.get()) {
      // A self message loops out beside its life line.
      const double x = msg->get_right() > 0 ? xmid(at.x) + 8 : xmid(at.x) - 30;
      EXPECT_GT(test::inked(image, {x, k.cell(at.x, at.y).get_bottom() - 27, 22, 20}), 10) << at.to_string();
      continue;
    }
    const double x0 = std::min(xmid(at.x), xmid(tip.pos.x)) + 14;
    const double x1 = std::max(xmid(at.x), xmid(tip.pos.x)) - 14;
    EXPECT_GT(test::inked(image, {x0, y - 0.5, x1 - x0, 1}), (x1 - x0) / 3) << at.to_string();
  }
  // Each text where its drawer puts it (a message line's 12.25 higher):
  // inked, and clear of every other text.
  std::vector<std::pair<CellPos, Rectangle>> boxes;
  for (const auto& [at, text] : all_of<SeqTextElement>(*k.ws)) {
    Rectangle r = text->get_rect();
    r.x += k.cell(at.x, at.y).x;
    r.y += k.cell(at.x, at.y).y - (std::dynamic_pointer_cast<SeqMsgLine>(text->get_parent()) ? 12.25 : 0);
    EXPECT_GT(test::inked(image, r), 0) << at.to_string();
    boxes.push_back({at, r});
  }
  for (size_t i = 0; i < boxes.size(); ++i)
    for (size_t j = i + 1; j < boxes.size(); ++j) {
      const Rectangle& a = boxes[i].second;
      const Rectangle& b = boxes[j].second;
      const bool apart = a.get_right() <= b.x || b.get_right() <= a.x || a.get_bottom() <= b.y || b.get_bottom() <= a.y;
      EXPECT_TRUE(apart) << boxes[i].first.to_string() << " and " << boxes[j].first.to_string();
    }
}

// What a trial left in the scratch cells: the document and every element's
// links (parent, children in order), by place.
std::string trial_result(ModelWorkspace& ws)
{
  const auto cells = ws.tmp_cells;
  const auto writer = SerializingWriter::create_memory_for_copy();
  (void)cells->write(*writer);
  (void)writer->finish();
  std::string s = writer->get_text();
  // Appended piece by piece: this runs twice per trial over the whole diagram.
  const auto add_place = [&cells, &s](const ModelElement* e) {
    const auto at = e ? cells->find(*e) : std::nullopt;
    if (!at) {
      s += '-';
      return;
    }
    s += std::to_string(at->h);
    s += ',';
    s += std::to_string(at->v);
    s += '#';
    s += std::to_string(at->index);
  };
  cells->foreach([&](int32_t, int32_t, const test::ElementPtr& head) {
    head->foreach([&](const test::ElementPtr& e) {
      add_place(e.get());
      if (e->in_process)
        s += '*';
      s += " <- ";
      add_place(e->get_parent().get());
      s += " ->";
      for (const auto& child : e->get_children()) {
        s += ' ';
        add_place(child.get());
      }
      s += '\n';
    });
    return true;
  });
  return s;
}

TEST(GeneratedDiagrams, TrialsOnMirroredCellsDoWhatTheyDoOnAWholeCopy)
{
  const auto ws = test::new_ws();
  (void)seq_generate_diagram(*ws, 50);
  using Op = void (*)(SeqWorkspace&, const CellPos&);
  const std::vector<std::pair<const char*, Op>> ops = {
    {"look", [](SeqWorkspace& w, const CellPos& p) { (void)w.elm_at(p); }},
    {"remove the chain's family",
     [](SeqWorkspace& w, const CellPos& p) {
       if (const auto head = w.elm_at(p))
         (void)w.remove_all(head, false);
     }},
    {"remove the last element's descendants",
     [](SeqWorkspace& w, const CellPos& p) {
       if (const auto head = w.elm_at(p))
         (void)w.remove_all(head->get_last(), true);
     }},
    {"cut", [](SeqWorkspace& w, const CellPos& p) {
       if (const auto head = w.elm_at(p))
         (void)w.cut(head, false);
     }},
    {"insert a row", [](SeqWorkspace& w, const CellPos& p) { (void)w.insert_line(CellDir::v, p.y); }},
    {"remove the row", [](SeqWorkspace& w, const CellPos& p) { (void)w.remove_line(CellDir::v, p.y); }},
    {"remove the column", [](SeqWorkspace& w, const CellPos& p) { (void)w.remove_line(CellDir::h, p.x); }},
    {"add a text", [](SeqWorkspace& w, const CellPos& p) { (void)w.add_text(p); }},
    {"add a life line", [](SeqWorkspace& w, const CellPos& p) { (void)w.add_lifeline(p); }},
    {"insert a message",
     [](SeqWorkspace& w, const CellPos& p) {
       int32_t right = 1;
       (void)w.insert_message(p, right, nullptr, ANY_ROLE);
     }},
    {"insert a box", [](SeqWorkspace& w, const CellPos& p) { (void)w.insert_execspec(p, 1, nullptr, true); }},
  };
  // Cells of every kind: heads, life lines with and without boxes and
  // messages, message lines and their texts, frames, separators, nothing.
  const std::vector<CellPos> cells = {{4, 0}, {8, 0}, {0, 4}, {8, 4}, {4, 9},  {9, 9},
                                      {0, 20}, {4, 20}, {9, 20}, {0, 24}, {8, 24}, {9, 24}};
  const std::string before = test::document_of(*ws);
  for (const auto& [name, op] : ops) {
    for (const CellPos& cell : cells) {
      SCOPED_TRACE(std::string(name) + " at " + cell.to_string());
      ws->tmp_cells->mirror(ws->get_cells());
      ws->is_tmp = true;
      op(*ws, cell);
      const std::string mirrored = trial_result(*ws);
      ws->is_tmp = false;
      ws->tmp_cells->clear();

      ASSERT_TRUE(ws->tmp_cells->copy(*ws->get_cells()));
      ws->is_tmp = true;
      op(*ws, cell);
      const std::string copied = trial_result(*ws);
      ws->is_tmp = false;
      ws->tmp_cells->clear();
      EXPECT_EQ(mirrored, copied);
    }
  }
  EXPECT_EQ(test::document_of(*ws), before);
}

// Fault: every dry run copied the whole of a life line's family (the head
// names every cell as a child, each cell its boxes and messages, each
// message its lines and texts): seconds per refresh on a long diagram.
TEST(GeneratedDiagrams, TheEnabledActionsOfALongDiagramAreFoundQuickly)
{
  VELKARO_REQUIRE_GTK();
  const auto ws = test::new_ws();
  (void)seq_generate_diagram(*ws, 500);
  const auto ctx = SeqContext::create(ws);
  const std::string before = test::document_of(*ws);
  const double start = test::cpu_seconds();
  for (const CellPos cell : {CellPos{Cols::life_line(3), 300}, CellPos{Cols::life_line(3) + 1, 301},
                             CellPos{Cols::ALT_RIGHT + 2, 300}, CellPos{Cols::life_line(0), 0},
                             CellPos{Cols::ALT_LEFT, 302}}) {
    ctx->set_pos(cell);
    const auto names = ctx->enum_actionable_name();
    EXPECT_FALSE(names.empty()) << cell.to_string();
  }
  // About a second of processor time under the sanitizers; a whole copy
  // per trial takes seconds per trial here (one copy alone is over two
  // seconds under the sanitizers).
  EXPECT_LT(test::cpu_seconds() - start, 5.0);
  EXPECT_EQ(test::document_of(*ws), before);
}

} // namespace
} // namespace velkaro
