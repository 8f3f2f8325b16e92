// The class diagram exported to PNG and read back: three classes and a
// connector of each kind, every end shape where its term lies, the class
// outlines, no grid, cursor or connector being drawn; the same pixels
// whatever bands the exporter cuts; a file that cannot be written is
// reported and left as it was. Generated diagrams opened as the editor
// opens them: every connector routed round the classes, parallel runs
// apart, every end shape in the picture.
//
// With VELKARO_DOC_IMAGE naming a file, the picture is also copied there:
// scripts/doc-images draws docs/images/class-export.png this way.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "cls/abstract_connector_end_drawer.h"
#include "cls/cls_draw_for_test.h"
#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/class_element.h"
#include "cls/doc/cls_ws_for_test.h"
#include "cls/exporting_cnavas.h"
#include "cls_diagram.h"
#include "model/text_element.h"
#include "support/test_env.h"
#include "view/png_reader_for_test.h"

namespace velkaro::test {
namespace {

// A margin around the diagram, so that nothing touches the border.
constexpr double CLS_EXPORT_MARGIN = 12;

// The PNG file exported from all, read back for probing.
ClsProbe cls_png_probe(const std::string& file, const Rectangle& all)
{
  const PngImage png = read_png(file);
  EXPECT_TRUE(png.ok()) << png.error;
  auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, png.width(), png.height());
  surface->flush();
  unsigned char* data = surface->get_data();
  const int stride = surface->get_stride();
  for (int y = 0; y < png.height(); ++y)
    for (int x = 0; x < png.width(); ++x) {
      const Pixel p = png.at(x, y);
      // Premultiplied ARGB in native order; the export is opaque.
      auto* px = reinterpret_cast<uint32_t*>(data + y * stride) + x;
      *px = (uint32_t(p.a) << 24) | (uint32_t(p.r) << 16) | (uint32_t(p.g) << 8) | uint32_t(p.b);
    }
  surface->mark_dirty();
  return {surface, all.x, all.y};
}

struct ClsSample {
  ClsSample()
  {
    a = cls_put_class(*kit.ws, 1, 1, "Order");
    b = cls_put_class(*kit.ws, 7, 1, "Customer");
    c = cls_put_class(*kit.ws, 4, 7, "Item");
    a->insert_block(1);
    a->block1_elem->set_text("id: int\ndate: Date");
    a->insert_block(2);
    a->block2_elem->set_text("total(): Money");
    b->insert_block(1);
    b->block1_elem->set_text("name: String");
    kit.ws->update_layout_all();
    association = cls_draw(*kit.ws, "association", {1, 1}, {7, 1});
    dependency = cls_draw(*kit.ws, "dependency", {7, 1}, {4, 7});
    aggregation = cls_draw(*kit.ws, "aggregation", {1, 1}, {4, 7});
    composition = cls_draw(*kit.ws, "composition", {4, 7}, {1, 1});
    generalization = cls_draw(*kit.ws, "generalization", {4, 7}, {7, 1});
    association->start_multiplicity->set_text("*");
    association->end_multiplicity->set_text("1");
    aggregation->end_multiplicity->set_text("1..*");
    kit.ws->update_layout_all();
    const Rectangle far = kit.cell(8, 8);
    all = {-CLS_EXPORT_MARGIN, -CLS_EXPORT_MARGIN, far.get_right() + 2 * CLS_EXPORT_MARGIN,
           far.get_bottom() + 2 * CLS_EXPORT_MARGIN};
  }

  // Exports all into dir's file name; the image read back.
  ClsProbe export_png(const TempDir& dir, const std::string& name, int band_rows = 0)
  {
    const auto exporter = ViewExportingCnavas::create<ClsExportingCnavas>(kit.ctx, all);
    EXPECT_TRUE(exporter);
    exporter->set_band_rows(band_rows);
    EXPECT_TRUE(exporter->export_png(dir.file(name))) << exporter->get_last_error();
    return cls_png_probe(dir.file(name), all);
  }

  ClsDrawKit kit;
  std::shared_ptr<ClsClassElement> a, b, c;
  std::shared_ptr<ClsAbstractConnectorElement> association, dependency, aggregation, composition, generalization;
  Rectangle all;
};

Point cls_export_point(ClsDrawKit& kit, const Point& p, const CellPos& cell)
{
  const Point c = kit.ws->grid->get_top_left_point(cell);
  return Point(p.get_x() + c.get_x(), p.get_y() + c.get_y());
}

// The ink at unit point (u, v) of term's shape.
double cls_term_ink(ClsDrawKit& kit, const ClsProbe& p, const ClsIConnectorTerm& term, const CellPos& cell, double u,
                    double v, bool spot)
{
  const Point q = ClsAbstractConnectorEndDrawer::place({{u, v}}, term.get_width_at_upper(),
                                                       term.get_height_at_upper(),
                                                       cls_export_point(kit, term.get_term_point(), cell),
                                                       term.get_udlr())[0];
  return spot ? p.spot(q.get_x(), q.get_y()) : p.ink(q.get_x(), q.get_y());
}

TEST(ClsSamplePicture, EveryClassConnectorAndEndShapeIsExported)
{
  VELKARO_REQUIRE_GTK();
  ClsSample s;
  // Editor state the picture must not show: the cursor on a class, a
  // connector being drawn.
  s.kit.ctx->set_pos({1, 1});
  ASSERT_TRUE(s.kit.ws->new_floating_connector({7, 1}, "composition"));
  ASSERT_TRUE(s.kit.ws->update_floating_connector({1, 8}));
  TempDir dir;
  const ClsProbe p = s.export_png(dir, "class-export.png");
  if (const char* keep = std::getenv("VELKARO_DOC_IMAGE"); keep && *keep)
    std::filesystem::copy_file(dir.file("class-export.png"), keep, std::filesystem::copy_options::overwrite_existing);

  // The background is white and opaque at the corner; no grid line.
  EXPECT_EQ(pixel_at(p.image, 0, 0), rgb(255, 255, 255));
  EXPECT_EQ(p.inked({s.all.x, s.all.y, s.all.width, CLS_EXPORT_MARGIN - 1}), 0);
  // Each class's outline on all four sides, its separators across.
  for (const auto& [klass, pos] : {std::pair{s.a, CellPos{1, 1}}, std::pair{s.b, CellPos{7, 1}},
                                   std::pair{s.c, CellPos{4, 7}}}) {
    Rectangle r = klass->get_rect();
    const Rectangle g = s.kit.cell(pos.x, pos.y);
    r.x += g.x;
    r.y += g.y;
    SCOPED_TRACE(klass->name_elem->get_text());
    EXPECT_GE(p.spot(r.x, r.y + r.height / 2), 0.4);
    EXPECT_GE(p.spot(r.get_right(), r.y + r.height / 2), 0.4);
    EXPECT_GE(p.spot(r.x + 3, r.y), 0.4);
    EXPECT_GE(p.spot(r.x + 3, r.get_bottom()), 0.4);
    if (klass->block1_shown) {
      EXPECT_GE(p.spot(r.x + 3, klass->get_block1_div_rect().y + g.y), 0.4);
    }
    if (klass->block2_shown) {
      EXPECT_GE(p.spot(r.get_right() - 3, klass->get_block2_div_rect().y + g.y), 0.4);
    }
    // The name inside the box.
    EXPECT_GT(p.inked({r.x + 3, r.y + 3, r.width - 6, 10}), 5);
    // The cursor's box looks like the others: its fill stays white.
    EXPECT_EQ(pixel_at(p.image, int(r.x + 2 - s.all.x), int(r.y + 2 - s.all.y)), rgb(255, 255, 255));
  }
  // The end shapes: open arrows at the ends of the dependency, the
  // aggregation and the composition; a hollow diamond at the aggregation's
  // start, a filled one at the composition's; a triangle at the
  // generalization's end; none on the association.
  for (const auto& con : {s.dependency, s.aggregation, s.composition}) {
    SCOPED_TRACE(con->get_serializing_type_name());
    ASSERT_TRUE(con->end_term);
    EXPECT_GE(cls_term_ink(s.kit, p, *con->end_term, con->end, -0.25, 0.5, true), 0.4);
    EXPECT_GE(cls_term_ink(s.kit, p, *con->end_term, con->end, 0.25, 0.5, true), 0.4);
    EXPECT_LE(cls_term_ink(s.kit, p, *con->end_term, con->end, -0.3, 1, false), 0.05);
  }
  EXPECT_LE(cls_term_ink(s.kit, p, *s.aggregation->start_term, s.aggregation->start, 0.15, 0.5, false), 0.05);
  EXPECT_GE(cls_term_ink(s.kit, p, *s.aggregation->start_term, s.aggregation->start, 0.25, 0.25, true), 0.4);
  EXPECT_GE(cls_term_ink(s.kit, p, *s.composition->start_term, s.composition->start, 0.15, 0.5, false), 0.95);
  EXPECT_GE(cls_term_ink(s.kit, p, *s.generalization->end_term, s.generalization->end, -0.3, 1, true), 0.4);
  EXPECT_GE(cls_term_ink(s.kit, p, *s.generalization->end_term, s.generalization->end, 0.3, 1, true), 0.4);
  EXPECT_FALSE(s.association->start_term);
  EXPECT_FALSE(s.association->end_term);
  // The connector being drawn is not in the picture: its last segment runs
  // down column 1 below the boxes, where nothing else lies.
  const auto& floating = *s.kit.ws->get_floating_connector();
  const auto& last = *floating.get_segments().back();
  const Point e = cls_export_point(s.kit, last.end_point, last.end);
  EXPECT_LE(p.spot(e.get_x(), e.get_y() - 2), 0.05);
  // The multiplicities beside the ends.
  for (const auto& [con, se] : {std::pair{s.association, StartOrEnd::start}, std::pair{s.association, StartOrEnd::end},
                                std::pair{s.aggregation, StartOrEnd::end}}) {
    const auto& seg = se == StartOrEnd::start ? *con->get_segments().front() : *con->get_segments().back();
    const auto& label = se == StartOrEnd::start ? con->start_multiplicity : con->end_multiplicity;
    Rectangle r = label->get_pango_layout_rect();
    const Point corner = s.kit.ws->grid->get_top_left_point(se == StartOrEnd::start ? seg.start : seg.end);
    r.x += corner.get_x();
    r.y += corner.get_y();
    EXPECT_GT(p.inked(r), 2) << label->get_text();
  }
}

TEST(ClsExport, BandsOfAFewRowsGiveTheSamePicture)
{
  VELKARO_REQUIRE_GTK();
  ClsSample s;
  TempDir dir;
  const ClsProbe whole = s.export_png(dir, "whole.png");
  const ClsProbe banded = s.export_png(dir, "banded.png", 7);
  ASSERT_EQ(whole.image->get_width(), banded.image->get_width());
  ASSERT_EQ(whole.image->get_height(), banded.image->get_height());
  int differ = 0;
  for (int y = 0; y < whole.image->get_height(); ++y)
    for (int x = 0; x < whole.image->get_width(); ++x)
      differ += !near(pixel_at(whole.image, x, y), pixel_at(banded.image, x, y), 3);
  EXPECT_EQ(differ, 0);
}

TEST(ClsExport, AFileThatCannotBeWrittenIsReportedAndLeftAsItWas)
{
  VELKARO_REQUIRE_GTK();
  ClsSample s;
  TempDir dir;
  const auto exporter = ViewExportingCnavas::create<ClsExportingCnavas>(s.kit.ctx, s.all);
  EXPECT_FALSE(exporter->export_png(dir.file("missing/class.png")));
  EXPECT_NE(exporter->get_last_error(), "");
  // A folder where the file should go is not replaced, nor filled.
  const std::string folder = dir.file("taken.png");
  std::filesystem::create_directory(folder);
  {
    std::ofstream out(folder + "/inside.txt");
    out << "kept";
  }
  EXPECT_FALSE(exporter->export_png(folder));
  EXPECT_NE(exporter->get_last_error(), "");
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  std::ifstream in(folder + "/inside.txt");
  std::string text;
  in >> text;
  EXPECT_EQ(text, "kept");
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
    ++entries;
  EXPECT_EQ(entries, 1) << "no temporary file left behind";
}


// --- Generated diagrams, as the editor opens them.

struct ClsOpened {
  ClsOpened(int n, ClsPlacement placement)
  {
    const ClsDiagramPlan plan = cls_plan_diagram(n, placement);
    std::string error;
    EXPECT_TRUE(cls_write_diagram(plan, dir.file("diagram.xml"), error)) << error;
    EXPECT_TRUE(kit.ws->load(dir.file("diagram.xml"))) << kit.ws->get_last_error();
    for (const CellPos& p : cls_class_cells(*kit.ws))
      classes.insert({p.x, p.y});
  }

  bool is_class(const CellPos& p) const { return classes.count({p.x, p.y}) > 0; }

  TempDir dir;
  ClsDrawKit kit;
  std::set<std::pair<int32_t, int32_t>> classes;
};

// Where two connectors' straight runs share a stretch of one row (or
// column) of cells, the layout has set them apart: their lines lie at
// different heights (or abscissas). One line per pair drawn on one line.
std::string cls_runs_on_top_of_each_other(ClsWorkspace& ws)
{
  struct Run {
    const ClsAbstractConnectorElement* owner;
    bool across; // along a row
    int32_t line, from, to;
    double at;   // the height (or abscissa) of the drawn line
  };
  std::vector<Run> runs;
  for (const auto& c : *ws.get_connectors())
    for (const auto& s : c->get_segments()) {
      if (s->start == s->end)
        continue;
      const bool across = s->start.y == s->end.y;
      const Point top_left = ws.grid->get_top_left_point(s->start);
      runs.push_back({c.get(), across, across ? s->start.y : s->start.x,
                      std::min(across ? s->start.x : s->start.y, across ? s->end.x : s->end.y),
                      std::max(across ? s->start.x : s->start.y, across ? s->end.x : s->end.y),
                      across ? top_left.get_y() + s->start_point.get_y()
                             : top_left.get_x() + s->start_point.get_x()});
    }
  std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) {
    return std::tie(a.across, a.line, a.from) < std::tie(b.across, b.line, b.from);
  });
  std::string out;
  for (size_t i = 0; i < runs.size(); ++i)
    for (size_t j = i + 1; j < runs.size() && runs[j].across == runs[i].across && runs[j].line == runs[i].line &&
                           runs[j].from < runs[i].to;
         ++j)
      if (runs[j].owner != runs[i].owner && std::abs(runs[j].at - runs[i].at) < 1e-6)
        out += std::string(runs[i].across ? "row " : "column ") + std::to_string(runs[i].line) + ": cells " +
               std::to_string(runs[j].from) + ".." + std::to_string(std::min(runs[i].to, runs[j].to)) + " at " +
               std::to_string(runs[i].at) + "\n";
  return out;
}

// Every connector routed, round every class but its own two. Parallel runs
// apart where the corridors are wide enough for them: in the 100-class grid
// a corridor one empty column wide carries up to twenty runs, and where a
// group's springs balance the relaxation may leave two of them on one line.
TEST(ClsGeneratedDiagrams, ConnectorsGoRoundTheClassesAndParallelRunsLieApart)
{
  struct Case {
    int n;
    ClsPlacement placement;
    bool apart;
  };
  for (const Case& k : {Case{25, ClsPlacement::grid, true}, Case{100, ClsPlacement::grid, false},
                        Case{25, ClsPlacement::staggered, true}}) {
    SCOPED_TRACE(std::to_string(k.n) + " classes, " + cls_placement_name(k.placement));
    ClsOpened d(k.n, k.placement);
    const auto& connectors = *d.kit.ws->get_connectors();
    EXPECT_EQ(connectors.size(), static_cast<size_t>(3 * k.n / 2));
    for (const auto& c : connectors) {
      EXPECT_FALSE(c->get_segments().empty()) << c->start.to_string() << "-" << c->end.to_string();
      EXPECT_EQ(cls_route_problems(*c, [&d](const CellPos& p) { return d.is_class(p); }), "");
    }
    if (k.apart) {
      EXPECT_EQ(cls_runs_on_top_of_each_other(*d.kit.ws), "");
    }
  }
}

TEST(ClsGeneratedDiagrams, TheExportDrawsEveryConnectorsEndShapes)
{
  VELKARO_REQUIRE_GTK();
  ClsOpened d(25, ClsPlacement::grid);
  const Rectangle all = cls_whole_rect(*d.kit.ws, CLS_EXPORT_MARGIN);
  const auto exporter = ViewExportingCnavas::create<ClsExportingCnavas>(d.kit.ctx, all);
  ASSERT_TRUE(exporter);
  ASSERT_TRUE(exporter->export_png(d.dir.file("diagram.png"))) << exporter->get_last_error();
  const ClsProbe p = cls_png_probe(d.dir.file("diagram.png"), all);
  for (const auto& c : *d.kit.ws->get_connectors()) {
    const std::string type = c->get_serializing_type_name();
    SCOPED_TRACE(type + " " + c->start.to_string() + "-" + c->end.to_string());
    if (type == "association") {
      EXPECT_FALSE(c->start_term);
      EXPECT_FALSE(c->end_term);
      continue;
    }
    ASSERT_TRUE(c->end_term);
    if (type == "generalization") {
      EXPECT_GE(cls_term_ink(d.kit, p, *c->end_term, c->end, -0.3, 1, true), 0.4);
      EXPECT_GE(cls_term_ink(d.kit, p, *c->end_term, c->end, 0.3, 1, true), 0.4);
    } else {
      EXPECT_GE(cls_term_ink(d.kit, p, *c->end_term, c->end, -0.25, 0.5, true), 0.4);
      EXPECT_GE(cls_term_ink(d.kit, p, *c->end_term, c->end, 0.25, 0.5, true), 0.4);
    }
    if (type == "aggregation") {
      ASSERT_TRUE(c->start_term);
      EXPECT_GE(cls_term_ink(d.kit, p, *c->start_term, c->start, 0.25, 0.25, true), 0.4);
    } else if (type == "composition") {
      ASSERT_TRUE(c->start_term);
      EXPECT_GE(cls_term_ink(d.kit, p, *c->start_term, c->start, 0.15, 0.5, false), 0.95);
    }
  }
}

} // namespace
} // namespace velkaro::test
