// The covering index of the element cells, the scratch cells that mirror
// the document for a trial, and documents large enough that a lookup or a
// line size must not depend on the whole document: a long chain loads and
// saves in linear time, a huge element costs a lookup no memory per cell,
// and undo gives back the line sizes of the grid.

#include <algorithm>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include <gtest/gtest.h>

#include "common/text_join.h"
#include "model/element_cells.h"
#include "model/element_kinds_for_test.h"
#include "model/exp_stack.h"
#include "model/expanded_cells.h"
#include "model/grid.h"
#include "model/serializing_writer.h"
#include "model/structures_for_test.h"
#include "model/text_element.h"
#include "model/workspace.h"
#include "model/workspace_diff.h"
#include "model/workspace_for_test.h"
#include "support/test_env.h"

namespace velkaro {
namespace {

using ElementPtr = std::shared_ptr<ModelElement>;
using test::TestElement;

// Processor seconds since start (a test::cpu_seconds() reading).
double seconds_since(double start) { return test::cpu_seconds() - start; }

// The resident memory of this process, in bytes.
long resident_bytes()
{
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * sysconf(_SC_PAGESIZE);
}

std::shared_ptr<TestElement> sized(double width, double height, int32_t dh = 0, int32_t dv = 0)
{
  auto e = TestElement::create();
  e->rect = {0, 0, width, height};
  e->dh = dh;
  e->dv = dv;
  return e;
}

TEST(CoveringIndex, FollowsStoresRemovalsAndLinesOfTheCells)
{
  const auto cells = test::TestCells::create();
  const auto wide = sized(0, 0, 2, 0);
  const auto up = sized(0, 0, 0, -2);
  const auto a = sized(0, 0);
  const auto b = sized(0, 0);
  test::store(*cells, a, 3, 3);
  // Built here, then mended by each change below.
  test::expect_index_exact(*cells, "a alone");
  test::store(*cells, wide, 2, 3);
  test::store(*cells, up, 3, 4);
  test::store(*cells, b, 3, 3);
  test::expect_index_exact(*cells, "after the stores");
  ASSERT_TRUE(cells->stack_at(3, 3));
  EXPECT_EQ(cells->stack_at(3, 3)->get_data(), (std::vector<ElementPtr>{wide, a, b, up}));
  cells->insert_line(CellDir::v, 3, 1);
  test::expect_index_exact(*cells, "a row opened under the tall element");
  cells->insert_line(CellDir::h, 3, 2);
  test::expect_index_exact(*cells, "two columns opened under the wide one");
  cells->remove_line(CellDir::h, 4, 1);
  test::expect_index_exact(*cells, "a column closed under the wide one");
  cells->remove_line(CellDir::v, 3, 1);
  test::expect_index_exact(*cells, "a row closed under the tall element");
  // A chain changed behind the map's back, then its cell set again.
  const auto head = cells->get(2, 3);
  ASSERT_TRUE(head);
  head->add(sized(0, 0, 1, 1));
  cells->set(2, 3, head);
  test::expect_index_exact(*cells, "a chain set again");
  // An extension changed in place, then told.
  wide->dh = 0;
  cells->respan(*wide);
  test::expect_index_exact(*cells, "respan");
  ASSERT_TRUE(cells->find(*wide));
  EXPECT_EQ(*cells->find(*wide), (ModelElementElmPos{2, 3, 0}));
  EXPECT_FALSE(cells->find(*sized(0, 0)));
}

// A document with families across cells, for the mirror.
std::shared_ptr<ModelWorkspace> family_document()
{
  const auto ws = ModelWorkspace::create<test::TestWorkspace>();
  std::vector<ElementPtr> made;
  for (int i = 0; i < 40; ++i) {
    ElementPtr e;
    if (i % 3 == 0) {
      auto t = ModelTextElement::create();
      t->set_text(text_join({"t", std::to_string(i)}));
      e = t;
    } else {
      e = test::Box::create(text_join({"b", std::to_string(i)}), i % 2);
    }
    if (i % 4 == 1 && !made.empty())
      e->set_parent(made[static_cast<size_t>(i / 2)]);
    if (i % 7 == 0)
      e->dh = 1;
    ws->move_hv(1 + (i * 5) % 9, 1 + (i * 3) % 8);
    if (ws->store(e))
      made.push_back(e);
  }
  return ws;
}

// Each element of a map with the places of its parent and children.
std::vector<std::string> relations(ModelElementCells& cells)
{
  std::vector<std::string> lines;
  const auto place = [&cells](const ModelElement& e) {
    const auto at = cells.find(e);
    return at ? std::to_string(at->h) + "," + std::to_string(at->v) + "#" + std::to_string(at->index) : "-";
  };
  cells.foreach([&](int32_t, int32_t, const ElementPtr& head) {
    head->foreach([&](const ElementPtr& e) {
      std::string line = place(*e) + " " + e->get_type_name();
      line += text_join({" parent ", e->get_parent() ? place(*e->get_parent()) : "-", " children"});
      for (const auto& child : e->get_children())
        line += text_join({" ", place(*child)});
      line += e->stored ? " stored" : "";
      line += e->in_process ? " in-process" : "";
      lines.push_back(line);
    });
    return true;
  });
  return lines;
}

TEST(MirroredCells, AreCopiedCellByCellAsAWholeCopyWouldBe)
{
  const auto ws = family_document();
  const auto source = ws->get_cells();
  const auto whole = test::BoxCells::create();
  ASSERT_TRUE(whole->copy(*source));

  const auto mirror = test::BoxCells::create();
  mirror->mirror(source);
  // A lookup copies the chains it needs, with their families.
  ASSERT_TRUE(source->get(1, 1));
  const auto head = mirror->get(1, 1);
  ASSERT_TRUE(head);
  EXPECT_NE(head, source->get(1, 1));
  EXPECT_EQ(std::string(head->get_type_name()), source->get(1, 1)->get_type_name());
  for (const auto& e : head->get_children())
    EXPECT_EQ(e->get_cells(), mirror);
  EXPECT_EQ(mirror->stack_at(6, 4) != nullptr, source->stack_at(6, 4) != nullptr);
  test::expect_index_exact(*mirror, "a mirror partly copied");
  // A walk over the whole map copies the rest: the same document, the same
  // links, as the whole copy.
  EXPECT_EQ(relations(*mirror), relations(*whole));
  const auto written = [](ModelElementCells& cells) {
    const auto writer = SerializingWriter::create_memory_for_copy();
    (void)cells.write(*writer);
    (void)writer->finish();
    return writer->get_text();
  };
  EXPECT_EQ(written(*mirror), written(*source));
  test::expect_index_exact(*mirror, "a mirror wholly copied");
  mirror->clear();
  EXPECT_FALSE(mirror->get(1, 1));
}

// The covering map of a part of the cells: the stacks of the whole map
// there, nothing else; and the map a walk over a range is given.
TEST(CoveringIndex, APartOfTheCoveringMapHasTheWholeMapsStacks)
{
  const auto ws = family_document();
  const auto cells = ws->get_cells();
  const auto whole = cells->expand();
  const auto same_stacks = [&](const ModelExpandedCells& part, const CellRange& range) {
    int checked = 0;
    for (int32_t y = -1; y <= 12; ++y)
      for (int32_t x = -1; x <= 12; ++x) {
        const auto p = part.get(x, y);
        if (!range.is_pos_inside({x, y})) {
          EXPECT_FALSE(p) << x << "," << y;
          continue;
        }
        const auto w = whole->get(x, y);
        EXPECT_EQ(p != nullptr, w != nullptr) << x << "," << y;
        if (p && w) {
          EXPECT_EQ(p->get_data(), w->get_data()) << x << "," << y;
          ++checked;
        }
      }
    return checked;
  };
  int checked = 0;
  for (const CellRange& range : {CellRange{{0, 0}, {12, 12}}, CellRange{{2, 3}, {6, 5}}, CellRange{{5, 1}, {5, 8}},
                                 CellRange{{0, 4}, {12, 4}}, CellRange{{7, 7}, {7, 7}}}) {
    SCOPED_TRACE(range.to_string());
    checked += same_stacks(*cells->expand_part(range), range);
  }
  EXPECT_GT(checked, 20);
  // A small range takes a part; a wide one builds the whole map, which then
  // serves every range until the next change.
  ws->move_hv(11, 11);
  ASSERT_TRUE(ws->store(ModelTextElement::create()));
  const CellRange page{{2, 3}, {3, 3}};
  const auto part = cells->expanded_for(page);
  const auto all = cells->expanded_for({{0, 0}, {12, 12}});
  EXPECT_NE(part, all);
  EXPECT_EQ(all, cells->get_expanded());
  EXPECT_EQ(cells->expanded_for(page), all);
}

// A trial in the mirror leaves the document alone.
TEST(MirroredCells, ATrialChangesOnlyTheScratchCells)
{
  const auto ws = family_document();
  const std::string before = test::document_of(*ws);
  ws->tmp_cells->mirror(ws->get_cells());
  ws->is_tmp = true;
  const auto head = ws->elm_at({1, 1});
  ASSERT_TRUE(head);
  ws->remove_all(head, false);
  ws->move_hv(1, 1);
  EXPECT_TRUE(ws->store(ModelTextElement::create()));
  ws->insert_line(CellDir::v, 2);
  ws->is_tmp = false;
  ws->tmp_cells->clear();
  EXPECT_EQ(test::document_of(*ws), before);
}

// Fault: each element read looked its place up by walking its chain, and
// each parent reference written did the same for its parent, so one long
// chain took a time in the square of its length.
TEST(LargeDocuments, ALongChainLoadsAndSavesInLinearTime)
{
  test::TempDir dir;
  const std::string path = dir.file("chain.xml");
  constexpr int count = 30000;
  {
    std::ofstream out(path);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<workspace>\n <element_cells>\n  <cell h=\"2\" v=\"2\">\n";
    out << "   <text>head</text>\n";
    // One string for all: measuring thousands of distinct strings would
    // weigh more than the chain, and the bound below would catch a slow
    // machine instead of a slow algorithm.
    for (int i = 1; i < count; ++i)
      out << "   <text pi=\"" << (i - 1) << "\">t</text>\n";
    out << "  </cell>\n </element_cells>\n</workspace>\n";
  }
  const auto ws = ModelWorkspace::create();
  auto start = test::cpu_seconds();
  ASSERT_TRUE(ws->load(path)) << ws->get_last_error();
  const double load = seconds_since(start);
  const auto last = ws->elm_at({2, 2})->get_last();
  ASSERT_TRUE(last->get_parent());
  EXPECT_EQ(last->get_parent(), last->get_prev());
  start = test::cpu_seconds();
  ASSERT_TRUE(ws->save(dir.file("saved.xml"))) << ws->get_last_error();
  const double save = seconds_since(start);
  // Linear work takes a fraction of a second even under the sanitizers;
  // the square of 30,000 steps takes many seconds.
  EXPECT_LT(load, 6.0);
  EXPECT_LT(save, 6.0);
  // What was saved reads back and is saved the same.
  const auto again = ModelWorkspace::create();
  ASSERT_TRUE(again->load(dir.file("saved.xml"))) << again->get_last_error();
  ASSERT_TRUE(again->save(dir.file("again.xml"))) << again->get_last_error();
  std::ifstream a(dir.file("saved.xml")), b(dir.file("again.xml"));
  const std::string first((std::istreambuf_iterator<char>(a)), {});
  const std::string second((std::istreambuf_iterator<char>(b)), {});
  EXPECT_TRUE(first == second);
  EXPECT_NE(first.find("pi=\"29998\""), std::string::npos);
}

// What a line needs as its elements' rectangles are now: the largest of
// (width + 10) / columns covered (heights for a row), 0 for none.
double need_walked(ModelElementCells& cells, CellDir dir, int32_t index)
{
  double most = 0.0;
  for (const auto& met : cells.covering(dir, index)) {
    const Rectangle r = met.elm->get_rect();
    most = std::max(most, dir == CellDir::h ? (r.width + 10.0) / met.elm->get_mwidth()
                                            : (r.height + 10.0) / met.elm->get_mheight());
  }
  return most;
}

// Every line's need, kept as its elements come, go, move and are measured,
// against a walk of the line. Rectangles change only with forget_need(), as
// a workspace forgets what it lays out.
TEST(CoveringIndex, ALineNeedsWhatItsLargestElementNeedsWhateverChanges)
{
  const auto expect_needs = [](ModelElementCells& cells, const std::string& where) {
    for (int32_t i = -1; i <= 16; ++i)
      for (const CellDir dir : {CellDir::h, CellDir::v}) {
        const double walked = need_walked(cells, dir, i);
        ASSERT_EQ(cells.line_need(dir, i, false), walked)
          << where << ": " << (dir == CellDir::h ? "column " : "row ") << i;
      }
  };
  for (unsigned seed = 1; seed <= 12; ++seed) {
    std::mt19937 rng(seed);
    const auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const auto cells = test::TestCells::create();
    std::vector<std::shared_ptr<TestElement>> stored;
    for (int step = 0; step < 150; ++step) {
      const int what = stored.empty() ? 0 : pick(0, 7);
      std::string done;
      if (what <= 1) {
        // Often several needs of one size on a line, so that counts matter.
        auto e = sized(10.0 * pick(0, 6), 10.0 * pick(0, 6), pick(-2, 2), pick(-2, 2));
        const int32_t x = pick(2, 12);
        const int32_t y = pick(2, 12);
        test::store(*cells, e, x, y);
        stored.push_back(std::move(e));
        done = "store";
      } else {
        const size_t i = static_cast<size_t>(pick(0, static_cast<int>(stored.size()) - 1));
        const auto e = stored[i];
        const auto at = cells->find(*e);
        ASSERT_TRUE(at);
        switch (what) {
        case 2: {
          const auto head = e->remove(*cells);
          if (head)
            cells->set(at->h, at->v, head);
          else
            cells->remove(at->h, at->v);
          stored.erase(stored.begin() + static_cast<std::ptrdiff_t>(i));
          done = "removal";
          break;
        }
        case 3:
          e->rect = {0, 0, 10.0 * pick(0, 6), 10.0 * pick(0, 6)};
          cells->forget_need(*e);
          done = "new rectangle";
          break;
        case 4:
          e->dh = pick(-2, 2);
          e->dv = pick(-2, 2);
          cells->respan(*e);
          done = "new extension";
          break;
        case 5:
          cells->insert_line(pick(0, 1) ? CellDir::h : CellDir::v, pick(2, 12), 1);
          done = "line opened";
          break;
        case 6: {
          // Elements anchored on the closed line go with it.
          const CellDir dir = pick(0, 1) ? CellDir::h : CellDir::v;
          const int32_t line = pick(2, 12);
          cells->remove_line(dir, line, 1);
          std::erase_if(stored, [&](const auto& s) { return !cells->find(*s); });
          done = "line closed";
          break;
        }
        default:
          // A whole line measured afresh takes the same counts along.
          (void)cells->line_need(pick(0, 1) ? CellDir::h : CellDir::v, pick(0, 14), true);
          done = "fresh measure";
          break;
        }
      }
      expect_needs(*cells, "seed " + std::to_string(seed) + ", step " + std::to_string(step) + ", " + done);
      if (HasFatalFailure())
        return;
    }
  }
}

// A need measured stands until its element is laid out (forgotten) again,
// as the grid must keep the sizes of the last layout; a fresh measure takes
// the rectangle as it is now.
TEST(CoveringIndex, AMeasuredNeedStandsUntilForgotten)
{
  const auto cells = test::TestCells::create();
  const auto a = sized(40, 20);
  const auto b = sized(30, 60);
  test::store(*cells, a, 3, 3);
  test::store(*cells, b, 3, 5);
  EXPECT_EQ(cells->line_need(CellDir::h, 3, false), 50);
  a->rect.width = 90;
  EXPECT_EQ(cells->line_need(CellDir::h, 3, false), 50);
  cells->forget_need(*a);
  EXPECT_EQ(cells->line_need(CellDir::h, 3, false), 100);
  // The widest shrinks unseen, then is measured afresh: the next one in
  // size is the line's need.
  a->rect.width = 0;
  EXPECT_EQ(cells->line_need(CellDir::h, 3, false), 100);
  EXPECT_EQ(cells->line_need(CellDir::h, 3, true), 40);
  EXPECT_EQ(cells->line_need(CellDir::h, 3, false), 40);
  EXPECT_EQ(cells->line_need(CellDir::v, 3, false), 30);
  // Measured through its column, b's row needs no other measure.
  b->rect.height = 0;
  EXPECT_EQ(cells->line_need(CellDir::v, 5, false), 70);
}

// Fault: the first lookup built a covering entry for each of the four
// million cells of one element: seconds and hundreds of megabytes.
TEST(LargeDocuments, AHugeElementCostsALookupNoEntryPerCell)
{
  test::TempDir dir;
  const std::string path = dir.file("huge.xml");
  {
    std::ofstream out(path);
    out << R"(<?xml version="1.0"?><workspace><element_cells><cell h="0" v="0">)"
        << R"(<text width="2047" height="2047">x</text></cell></element_cells></workspace>)";
  }
  const long before = resident_bytes();
  const auto start = test::cpu_seconds();
  const auto ws = ModelWorkspace::create();
  ASSERT_TRUE(ws->load(path)) << ws->get_last_error();
  const auto stack = ws->exp_at({1000, 2000});
  ASSERT_TRUE(stack);
  EXPECT_EQ(stack->get_length(), 1);
  EXPECT_FALSE(ws->exp_at({2048, 5}));
  ws->move_hv(2047, 2047);
  EXPECT_TRUE(ws->get_c_exp());
  EXPECT_LT(seconds_since(start), 1.0);
  EXPECT_LT(resident_bytes() - before, 64L << 20);
}

// Fault: a removal laid out only the lines of what stayed in the chain, and
// a closed line under a wide element laid out none, so undo left lines at
// the size of an element that was gone.
TEST(LargeDocuments, UndoGivesBackTheLineSizes)
{
  const auto ws = ModelWorkspace::create();
  test::put(*ws, sized(5, 5), 7, 4);
  test::put(*ws, sized(5, 5), 12, 4);
  test::expect_fresh_grid(*ws, 14, "before");
  // A text three columns wide stored over the occupied cell.
  const auto wide = sized(299, 5, 2, 0);
  const auto d = test::record_edit(*ws, [&] { test::put(*ws, wide, 7, 4); });
  EXPECT_NEAR(ws->grid->h->get_size(8), 103, 1e-9);
  test::expect_fresh_grid(*ws, 14, "stored");
  ws->patch(*d->reverse());
  EXPECT_EQ(ws->grid->h->get_size(8), ModelGridGridList::DEFAULT_MIN_SIZE);
  EXPECT_EQ(ws->grid->h->get_size(9), ModelGridGridList::DEFAULT_MIN_SIZE);
  test::expect_fresh_grid(*ws, 14, "undone");
  ws->patch(*d);
  test::expect_fresh_grid(*ws, 14, "redone");
  // A column closed and opened under it: the element keeps its three columns.
  const auto closed = test::record_edit(*ws, [&] { ws->remove_line(CellDir::h, 8); });
  test::expect_fresh_grid(*ws, 14, "column closed");
  ws->patch(*closed->reverse());
  test::expect_fresh_grid(*ws, 14, "column closed, undone");
  const auto opened = test::record_edit(*ws, [&] { ws->insert_line(CellDir::h, 9); });
  test::expect_fresh_grid(*ws, 14, "column opened");
  ws->patch(*opened->reverse());
  test::expect_fresh_grid(*ws, 14, "column opened, undone");
}

} // namespace
} // namespace velkaro
