#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <glib.h>
#include <glib/gstdio.h>
#include <gtest/gtest.h>

#include "common/c_resource.h"
#include "common/cell_range.h"
#include "common/point.h"
#include "common/text_join.h"
#include "model/element_cells.h"
#include "model/element_kinds_for_test.h"
#include "model/exp_stack.h"
#include "model/grid.h"
#include "model/structures_for_test.h"
#include "model/text_element.h"
#include "model/workspace_for_test.h"
#include "support/log_capture.h"
#include "support/test_env.h"

namespace velkaro {
namespace {

using test::Box;
using test::chain_at;
using test::document_of;
using test::put;
using test::TestWorkspace;
using Names = std::vector<std::string>;

std::shared_ptr<Box> child_box(const std::string& name, const std::shared_ptr<ModelElement>& parent,
                               bool fixed = false)
{
  auto b = Box::create(name, 0, fixed);
  b->set_parent(parent);
  return b;
}

// How many elements a record holds as added and as removed.
std::pair<int, int> counts(const ModelWorkspaceDiff& d)
{
  int added = 0, removed = 0;
  d.each_add([&](int32_t, int32_t, const std::shared_ptr<ModelElement>&) { ++added; });
  d.each_rm([&](int32_t, int32_t, const std::shared_ptr<ModelElement>&) { ++removed; });
  return {added, removed};
}

TEST(ModelWorkspace, CreationGivesAnEmptyUnmodifiedDocument)
{
  const auto ws = ModelWorkspace::create();
  EXPECT_FALSE(ws->modified);
  EXPECT_EQ(ws->get_file_path(), "");
  EXPECT_EQ(ws->cursor, (CellPos{-1, -1}));
  EXPECT_FALSE(ws->is_tmp);
  EXPECT_EQ(ws->get_diff(), nullptr);
  ASSERT_NE(ws->grid, nullptr);
  ASSERT_NE(ws->tmp_cells, nullptr);
  ASSERT_NE(ws->get_cells(), nullptr);
  EXPECT_NE(ws->get_cells(), ws->tmp_cells);
  EXPECT_TRUE(ws->get_cells()->get_rows().empty());
  EXPECT_DOUBLE_EQ(ws->grid->h->get_min_size(), 20.0);
  EXPECT_EQ(document_of(*ws),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<workspace>\n <element_cells/>\n</workspace>\n");
}

TEST(ModelWorkspace, TheWorkspacesOwnHandlerSetsModifiedBeforeOtherObserversRun)
{
  const auto ws = ModelWorkspace::create();
  std::vector<bool> seen;
  ws->signal_updated().connect([&] { seen.push_back(ws->modified); });
  ws->signal_update();
  EXPECT_TRUE(ws->modified);
  EXPECT_EQ(seen, std::vector<bool>{true});
}

TEST(ModelWorkspace, CreateRunsTheKindsInitAndInitResetsTheDocument)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  EXPECT_NE(std::dynamic_pointer_cast<test::BoxCells>(ws->get_cells()), nullptr);
  EXPECT_NE(std::dynamic_pointer_cast<test::BoxCells>(ws->tmp_cells), nullptr);

  put(*ws, Box::create("a"), 2, 3);
  ws->set_diff(ws->new_diff());
  ws->set_file_path("/tmp/x.xml");
  ws->signal_update();
  ws->grid->h->set_size(2, 80);
  const auto old_cells = ws->get_cells();
  ws->is_tmp = true;
  ws->init();
  EXPECT_NE(ws->get_cells(), old_cells);  // is_tmp stays: these are the new scratch cells
  ws->is_tmp = false;
  EXPECT_TRUE(ws->get_cells()->get_rows().empty());
  EXPECT_NE(std::dynamic_pointer_cast<test::BoxCells>(ws->get_cells()), nullptr);
  EXPECT_FALSE(ws->modified);
  EXPECT_EQ(ws->get_diff(), nullptr);
  EXPECT_EQ(ws->get_file_path(), "");
  EXPECT_DOUBLE_EQ(ws->grid->h->get(2), 60.0);
  EXPECT_EQ(ws->cursor, (CellPos{2, 3}));
}

TEST(ModelWorkspace, FilePathIsStoredAbsoluteAndEverySetNotifies)
{
  const auto ws = ModelWorkspace::create();
  std::vector<std::string> notes;
  ws->signal_notify().connect([&](const char* name) { notes.push_back(name); });
  test::TempDir dir;
  const GCharPtr cwd(g_get_current_dir());
  ASSERT_EQ(g_chdir(dir.path().c_str()), 0);
  ws->set_file_path("sub/../doc.xml");
  const std::string relative = ws->get_file_path();
  ASSERT_EQ(g_chdir(cwd.get()), 0);
  EXPECT_EQ(relative, (std::filesystem::canonical(dir.path()) / "doc.xml").string());
  ws->set_file_path("/a/b.xml");
  EXPECT_EQ(ws->get_file_path(), "/a/b.xml");
  ws->set_file_path("");
  EXPECT_EQ(ws->get_file_path(), "");
  EXPECT_EQ(notes, (std::vector<std::string>{"file-path", "file-path", "file-path"}));
}

TEST(ModelWorkspace, TempModeSwitchesCellsAndHidesTheRecord)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  std::vector<std::string> notes;
  ws->signal_notify().connect([&](const char* name) { notes.push_back(name); });
  const auto d = ws->new_diff();
  ws->set_diff(d);
  ws->is_tmp = true;
  EXPECT_EQ(ws->get_cells(), ws->tmp_cells);
  EXPECT_EQ(ws->get_diff(), nullptr);
  // The setter still reaches the document cells.
  const auto cells = test::BoxCells::create();
  ws->set_cells(cells);
  EXPECT_EQ(ws->get_cells(), ws->tmp_cells);
  ws->is_tmp = false;
  EXPECT_EQ(ws->get_cells(), cells);
  EXPECT_EQ(ws->get_diff(), d);
  EXPECT_EQ(notes, (std::vector<std::string>{"diff", "cells"}));
}

TEST(ModelWorkspace, AScopedTempModeEndsWithItsScopeAndGivesBackTheFlagAsItWas)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  const auto d = ws->new_diff();
  ws->set_diff(d);
  {
    const auto scratch = ws->scoped_temp_mode();
    EXPECT_TRUE(ws->is_tmp);
    EXPECT_EQ(ws->get_cells(), ws->tmp_cells);
    EXPECT_EQ(ws->get_diff(), nullptr);
    {
      const auto nested = ws->scoped_temp_mode();
      EXPECT_TRUE(ws->is_tmp);
    }
    EXPECT_TRUE(ws->is_tmp) << "an inner scope leaves the outer one's temp mode";
  }
  EXPECT_FALSE(ws->is_tmp);
  EXPECT_EQ(ws->get_diff(), d);
  EXPECT_NE(ws->get_cells(), ws->tmp_cells);
}

TEST(ModelWorkspace, LookupsAtTheCursor)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  const auto wide = Box::create("wide");
  wide->dh = 2;
  put(*ws, wide, 1, 1);
  ws->move_to({2, 1});
  EXPECT_EQ(ws->get_c_elm(), nullptr);
  EXPECT_EQ(ws->get_c_etype(), "");
  ASSERT_NE(ws->get_c_exp(), nullptr);
  EXPECT_EQ(ws->get_c_exp()->get_a_elm(), wide);
  ws->move_h(-1);
  EXPECT_EQ(ws->get_c_elm(), wide);
  EXPECT_EQ(ws->get_c_etype(), "Box");
  ws->move_v(5);
  EXPECT_EQ(ws->cursor, (CellPos{1, 6}));
  EXPECT_EQ(ws->get_c_exp(), nullptr);
}

TEST(ModelWorkspace, StoreMakesAHeadOrAppendsAndRemoveKeepsTheRestOfTheChain)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  const auto a = Box::create("a");
  const auto b = Box::create("b");
  const auto c = Box::create("c");
  for (const auto& e : {a, b, c})
    put(*ws, e, 3, 2);
  EXPECT_EQ(ws->elm_at({3, 2}), a);
  EXPECT_EQ(chain_at(*ws, 3, 2), (Names{"a", "b", "c"}));
  for (const auto& e : {a, b, c}) {
    EXPECT_TRUE(e->stored);
    EXPECT_EQ(e->pos, (CellPos{3, 2}));
    EXPECT_EQ(e->get_cells(), ws->get_cells());
  }

  EXPECT_EQ(ws->remove(a), (CellPos{3, 2}));
  EXPECT_EQ(ws->elm_at({3, 2}), b);
  EXPECT_FALSE(a->stored);
  EXPECT_EQ(ws->remove(c), (CellPos{3, 2}));
  EXPECT_EQ(chain_at(*ws, 3, 2), Names{"b"});
  ws->remove(b);
  EXPECT_EQ(ws->elm_at({3, 2}), nullptr);
  EXPECT_TRUE(ws->get_cells()->get_rows().empty());
  // Removing what is not stored changes nothing.
  EXPECT_EQ(ws->remove(a), (CellPos{-1, -1}));
}

// A text that takes its alignments when it enters the cells, as a kind's
// attached texts do.
class AligningText : public ModelTextElement {
public:
  void on_insert() override
  {
    align = ModelAlign::CENTER;
    valign = ModelAlign::BOTTOM;
  }
};

// What an element's insertion hook sets is there when the element is laid
// out, whether a store stands alone or runs inside a larger operation.
TEST(ModelWorkspace, AStoredElementIsLaidOutAfterItsInsertionHook)
{
  for (const bool alone : {true, false}) {
    SCOPED_TRACE(alone ? "a store alone" : "a store in a paste");
    const auto ws = ModelWorkspace::create<TestWorkspace>();
    auto text = std::make_shared<AligningText>();
    text->set_text("a label");
    text->align = ModelAlign::LEFT;
    text->valign = ModelAlign::TOP;
    if (alone) {
      put(*ws, text, 3, 2);
    } else {
      text->origpos = {0, 0};
      std::shared_ptr<ModelElement> copy = text;
      ASSERT_TRUE(ws->paste(copy, {3, 2}, true));
    }
    const Point offset = text->get_pango_layout_offset();
    // Laid out in the frame of its cell.
    const Rectangle box = ws->grid->get_size(3, 2);
    const Rectangle r = text->get_pango_layout_rect();
    EXPECT_NEAR(offset.get_x(), box.get_xmid() - r.width / 2.0, 1e-6);
    EXPECT_NEAR(offset.get_y(), box.get_bottom() - r.height, 1e-6);
  }
}

// A box as high as 30 units for each element of its chain.
class ChainSizedBox : public Box {
public:
  Rectangle get_rect() override
  {
    int n = 0;
    for (auto e = get_first(); e; e = e->get_next())
      ++n;
    return {0, 0, 10, 30.0 * n};
  }
};

// An element sized by its chain mates is measured again when the chain
// changes, and so is one a kind names in chain_changed() (here: the first
// box of the cell above any change).
class SizedAboveWorkspace : public TestWorkspace {
public:
  explicit SizedAboveWorkspace(Key key) : TestWorkspace(key) {}
  void chain_changed(const CellPos& pos, const ModelElement& elm) override
  {
    (void)elm;
    if (const auto above = elm_at({pos.x, pos.y - 1}); above && pos.y > 0)
      relayout(above);
  }
};

class BelowSizedBox : public Box {
public:
  Rectangle get_rect() override
  {
    const auto cells = get_cells();
    const auto below = cells && stored ? cells->get(pos.x, pos.y + 1) : nullptr;
    return {0, 0, 10, below ? 100.0 : 10.0};
  }
};

TEST(ModelWorkspace, ElementsSizedByOthersAreMeasuredAgainWhenThoseChange)
{
  const auto ws = ModelWorkspace::create<SizedAboveWorkspace>();
  const auto sized = std::make_shared<ChainSizedBox>();
  put(*ws, sized, 1, 1);
  put(*ws, Box::create("mate"), 1, 1);
  EXPECT_DOUBLE_EQ(ws->grid->v->get_size(1), 70.0);
  const auto mate = ws->elm_at({1, 1})->get_next();
  ws->remove(mate);
  EXPECT_DOUBLE_EQ(ws->grid->v->get_size(1), 40.0);
  test::expect_structures(*ws, "chain mate removed");

  put(*ws, std::make_shared<BelowSizedBox>(), 3, 2);
  const auto below = Box::create("below");
  put(*ws, below, 3, 3);
  EXPECT_DOUBLE_EQ(ws->grid->v->get_size(2), 110.0);
  ws->remove(below);
  EXPECT_DOUBLE_EQ(ws->grid->v->get_size(2), ws->grid->v->get_min_size());
  test::expect_structures(*ws, "cell below emptied");
}

TEST(ModelWorkspace, StoreRefusesWhatIsInAChainAlreadyOrWouldLeaveTheGrid)
{
  struct Case {
    const char* name;
    std::function<std::shared_ptr<ModelElement>(ModelWorkspace&)> pick;
    CellPos at;
  };
  const std::vector<Case> cases = {
    {"the head of the chain at the cursor", [](ModelWorkspace& ws) { return ws.elm_at({1, 1}); }, {1, 1}},
    {"the middle of the chain at the cursor",
     [](ModelWorkspace& ws) { return ws.elm_at({1, 1})->nth(1); }, {1, 1}},
    {"the tail of the chain at the cursor",
     [](ModelWorkspace& ws) { return ws.elm_at({1, 1})->nth(2); }, {1, 1}},
    {"the middle of another chain", [](ModelWorkspace& ws) { return ws.elm_at({1, 1})->nth(1); }, {5, 5}},
    {"the head of another stored chain", [](ModelWorkspace& ws) { return ws.elm_at({1, 1}); }, {5, 5}},
    {"a new element at an invalid cursor", [](ModelWorkspace&) { return Box::create("n"); }, {-1, -1}},
    {"a new element beyond the last column",
     [](ModelWorkspace&) { return Box::create("n"); }, {CellPos::MAX + 1, 0}},
    {"a new element reaching beyond the last row",
     [](ModelWorkspace&) {
       auto n = Box::create("n");
       n->dv = 2;
       return n;
     },
     {0, CellPos::MAX - 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto ws = ModelWorkspace::create<TestWorkspace>();
    for (const char* name : {"a", "b", "c"})
      put(*ws, Box::create(name), 1, 1);
    const std::string before = document_of(*ws);
    const auto d = ws->new_diff();
    ws->set_diff(d);
    const auto elm = c.pick(*ws);
    ws->move_to(c.at);
    test::LogCapture log;
    EXPECT_FALSE(ws->store(elm));
    EXPECT_EQ(log.messages.size(), 1u);
    EXPECT_EQ(document_of(*ws), before);
    EXPECT_EQ(chain_at(*ws, 1, 1), (Names{"a", "b", "c"}));
    EXPECT_EQ(counts(*d), std::make_pair(0, 0));
  }
}

TEST(ModelWorkspace, ReplacePutsTheNewElementAtTheEndOfTheOldOnesChainWithItsRole)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  const auto a = Box::create("a", -3);
  put(*ws, a, 4, 4);
  put(*ws, Box::create("b"), 4, 4);
  const auto n = Box::create("n");
  ws->move_to({0, 0});
  ws->replace(a, n);
  EXPECT_EQ(chain_at(*ws, 4, 4), (Names{"b", "n"}));
  EXPECT_EQ(n->get_role(), -3);
  EXPECT_EQ(ws->cursor, (CellPos{4, 4}));
  EXPECT_FALSE(a->stored);

  // Nothing goes when the new element cannot be stored, or the old one is
  // not stored.
  const std::string before = document_of(*ws);
  test::LogCapture log;
  ws->replace(n, ws->elm_at({4, 4}));
  ws->replace(a, Box::create("m"));
  EXPECT_EQ(log.messages.size(), 2u);
  EXPECT_EQ(document_of(*ws), before);
}

TEST(ModelWorkspace, RemoveAllTakesEveryStoredDescendant)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  const auto p = Box::create("p");
  put(*ws, p, 1, 1);
  const auto c1 = child_box("c1", p);
  const auto c2 = child_box("c2", p);
  const auto g = child_box("g", c2);
  put(*ws, c1, 1, 1);
  put(*ws, c2, 2, 1);
  put(*ws, g, 2, 2);
  put(*ws, Box::create("other"), 3, 3);

  EXPECT_EQ(ws->remove_all(nullptr, false), std::nullopt);
  const auto kept = ws->remove_all(p, true);
  ASSERT_TRUE(kept);
  EXPECT_EQ(*kept, (CellPos{1, 1}));
  EXPECT_EQ(chain_at(*ws, 1, 1), Names{"p"});
  EXPECT_EQ(ws->elm_at({2, 1}), nullptr);
  EXPECT_EQ(ws->elm_at({2, 2}), nullptr);

  put(*ws, c1, 1, 1);
  const auto gone = ws->remove_all(p, false);
  ASSERT_TRUE(gone);
  EXPECT_EQ(*gone, (CellPos{1, 1}));
  EXPECT_EQ(ws->elm_at({1, 1}), nullptr);
  EXPECT_EQ(chain_at(*ws, 3, 3), Names{"other"});
}

TEST(ModelWorkspace, RemoveAllSurvivesParentLinksThatFormARing)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  const auto a = Box::create("a");
  const auto b = child_box("b", a);
  put(*ws, a, 1, 1);
  put(*ws, b, 2, 1);
  a->set_parent(b);
  ws->move_to({1, 1});
  // Joining a parent's children happens on insertion.
  a->inserted(*ws->get_cells(), {1, 1});
  ws->remove_all(a, false);
  EXPECT_TRUE(ws->get_cells()->get_rows().empty());
}

TEST(ModelWorkspace, CutTakesTheLowerSiblingsFirstOrTheFamilyOfAPartThatMayNotGoAlone)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  const auto q = Box::create("q");
  put(*ws, q, 8, 0);
  std::vector<std::shared_ptr<Box>> s;
  for (int i = 0; i < 3; ++i) {
    s.push_back(child_box(text_join({"s", std::to_string(i)}), q));
    put(*ws, s.back(), 8, 1 + 2 * i);
  }
  std::vector<std::string> removed;
  const auto d = ws->new_diff();
  ws->set_diff(d);
  const auto at = ws->cut(s[0], false);
  ASSERT_TRUE(at);
  EXPECT_EQ(*at, (CellPos{8, 1}));
  d->each_rm([&](int32_t, int32_t, const std::shared_ptr<ModelElement>& e) {
    removed.push_back(static_cast<Box&>(*e).name);
  });
  // Cells are walked row by row; the record keeps each element at its cell.
  EXPECT_EQ(removed, (Names{"s0", "s1", "s2"}));
  EXPECT_EQ(chain_at(*ws, 8, 0), Names{"q"});
  EXPECT_FALSE(s[1]->stored);
  EXPECT_FALSE(s[2]->stored);

  // A part that may not go alone takes its parent's family; without a
  // parent it stays.
  const auto p = Box::create("p");
  put(*ws, p, 1, 1);
  const auto part = child_box("part", p, true);
  put(*ws, part, 1, 1);
  put(*ws, child_box("sibling", p), 1, 2);
  const auto orphan = Box::create("orphan", 0, true);
  put(*ws, orphan, 5, 5);
  EXPECT_EQ(ws->cut(orphan, false), std::nullopt);
  EXPECT_TRUE(orphan->stored);
  EXPECT_EQ(ws->cut(part, false), (CellPos{1, 1}));
  EXPECT_EQ(ws->elm_at({1, 1}), nullptr);
  EXPECT_EQ(ws->elm_at({1, 2}), nullptr);
  // Forced, it goes alone.
  const auto part2 = child_box("part2", q, true);
  put(*ws, part2, 9, 9);
  EXPECT_EQ(ws->cut(part2, true), (CellPos{9, 9}));
  EXPECT_EQ(chain_at(*ws, 8, 0), Names{"q"});
}

TEST(ModelWorkspace, ResizeStoresACopyWhenItFitsAndPutsTheElementBackLastWhenNot)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  const auto lone = Box::create("lone");
  put(*ws, lone, 10, 10);
  const auto r = ws->resize(lone, *CellRange::create({10, 10}, {12, 11}), {-1, -1});
  ASSERT_NE(r, lone);
  EXPECT_EQ(r->dh, 2);
  EXPECT_EQ(r->dv, 1);
  EXPECT_EQ(ws->elm_at({10, 10}), r);
  EXPECT_EQ(static_cast<Box&>(*r).name, "lone");
  EXPECT_FALSE(lone->stored);

  // In the chain [a, b, c], b covers a's cell: a's copy does not fit.
  const auto a = Box::create("a");
  put(*ws, a, 4, 4);
  put(*ws, Box::create("b"), 4, 4);
  put(*ws, Box::create("c"), 4, 4);
  const auto d = ws->new_diff();
  ws->set_diff(d);
  EXPECT_EQ(ws->resize_hv(a, 1, 0, {4, 4}), a);
  EXPECT_EQ(chain_at(*ws, 4, 4), (Names{"b", "c", "a"}));
  EXPECT_EQ(a->dh, 0);
  EXPECT_EQ(counts(*d), std::make_pair(1, 1));

  // A negative extension, or one reaching outside the grid, changes nothing
  // more than that.
  const std::string before = document_of(*ws);
  EXPECT_EQ(ws->resize(r, *CellRange::create({10, 10}, {9, 12}), {-1, -1}), r);
  EXPECT_EQ(ws->resize_hv(r, 0, -1, {-1, -1}), r);
  EXPECT_EQ(document_of(*ws), before);
  EXPECT_EQ(counts(*d), std::make_pair(1, 1));
  EXPECT_EQ(ws->resize_hv(r, CellPos::MAX, 0, {-1, -1}), r);
  EXPECT_EQ(ws->elm_at({10, 10}), r);
  EXPECT_EQ(r->dh, 2);

  // An element that stands nowhere (a fill hook meeting the original of a
  // box an earlier hook resized) has nowhere to go back to: it stays out,
  // without a complaint.
  test::LogCapture log;
  EXPECT_EQ(ws->resize_hv(lone, 1, 0, {-1, -1}), lone);
  EXPECT_FALSE(lone->stored);
  EXPECT_EQ(document_of(*ws), before);
  EXPECT_TRUE(log.criticals.empty()) << log.criticals.front();
}

// Every stored element with its anchor cell and, when it has one, the
// anchor cell of its parent: "x,y" or "x,y<-px,py".
Names family_of(ModelWorkspace& ws)
{
  Names found;
  ws.get_cells()->foreach([&](int32_t x, int32_t y, const std::shared_ptr<ModelElement>& head) {
    head->foreach([&](const std::shared_ptr<ModelElement>& e) {
      std::string entry = CellPos{x, y}.to_string();
      if (const auto parent = e->get_parent())
        entry += "<-" + ws.anchor_of(parent).to_string();
      found.push_back(entry);
    });
    return true;
  });
  return found;
}

TEST(ModelWorkspace, AResizedParentKeepsItsChildrenInTheDocumentItsCopiesAndItsUndo)
{
  const test::TempDir dir;
  const test::LogCapture log;
  const auto ws = ModelWorkspace::create();
  const auto p = ModelTextElement::create();
  put(*ws, p, 5, 5);
  const auto c = ModelTextElement::create_with_parent(p);
  put(*ws, c, 5, 6);
  const auto g = ModelTextElement::create_with_parent(c);
  put(*ws, g, 6, 7);
  const std::string before = document_of(*ws);

  std::shared_ptr<ModelElement> resized;
  const auto d = test::record_edit(*ws, [&] { resized = ws->resize_hv(p, 1, 0, {-1, -1}); });
  ASSERT_NE(resized, p);
  EXPECT_EQ(resized->dh, 1);
  const Names family = {"(5, 5)", "(5, 6)<-(5, 5)", "(6, 7)<-(5, 6)"};
  EXPECT_EQ(family_of(*ws), family);
  const auto child = ws->elm_at({5, 6});
  EXPECT_EQ(resized->get_children(), (std::vector<std::shared_ptr<ModelElement>>{child}));
  EXPECT_TRUE(resized->subs.empty());
  const std::string after = document_of(*ws);

  // The written document keeps the references.
  ASSERT_TRUE(ws->save(dir.file("resized.xml"))) << ws->get_last_error();
  const auto loaded = ModelWorkspace::create();
  ASSERT_TRUE(loaded->load(dir.file("resized.xml"))) << loaded->get_last_error();
  EXPECT_EQ(family_of(*loaded), family);
  EXPECT_EQ(loaded->elm_at({5, 5})->dh, 1);

  // A copy of the resized parent carries its whole family, and a paste puts
  // it exactly where the copy lands.
  std::shared_ptr<ModelElement> copy = resized->copy_all(*ws->get_cells(), false);
  ASSERT_TRUE(ws->paste(copy, {10, 10}, false));
  EXPECT_EQ(family_of(*ws), (Names{"(5, 5)", "(5, 6)<-(5, 5)", "(6, 7)<-(5, 6)", "(10, 10)",
                                   "(10, 11)<-(10, 10)", "(11, 12)<-(10, 11)"}));
  ws->remove_all(ws->elm_at({10, 10}), false);

  // Undo gives back the original family, redo the resized one.
  test::expect_undo_redo(*ws, *d, before, after);
  ws->patch(*d->reverse());
  EXPECT_EQ(family_of(*ws), family);
  EXPECT_EQ(ws->elm_at({5, 5}), p);
  EXPECT_EQ(c->get_parent(), p);
  EXPECT_EQ(p->get_children(), (std::vector<std::shared_ptr<ModelElement>>{c}));
  ws->patch(*d);
  EXPECT_EQ(ws->elm_at({5, 5}), resized);
  EXPECT_EQ(ws->elm_at({5, 6})->get_parent(), resized);

  // Moving the block below the parent later stores nothing out of place.
  ws->move_range(*CellRange::create({5, 6}, {6, 7}), CellDir::h, 2);
  EXPECT_EQ(family_of(*ws), (Names{"(5, 5)", "(5, 8)<-(5, 5)", "(6, 9)<-(5, 8)"}));
  EXPECT_TRUE(log.criticals.empty()) << log.criticals.front();
}

TEST(ModelWorkspace, DistancesTakeTheFarCornerOrTheNearOneWhenTheFarIsOnTheSameLine)
{
  struct Case {
    CellPos pos;
    CellPos start, end;
    int32_t dh, dv;
  };
  const std::vector<Case> cases = {
    {{2, 2}, {2, 2}, {5, 4}, 3, 2},
    {{5, 4}, {2, 2}, {5, 4}, -3, -2},
    {{2, 4}, {2, 2}, {5, 4}, 3, -2},
    {{2, 2}, {2, 2}, {2, 2}, 0, 0},
    {{3, 3}, {5, 4}, {2, 2}, -1, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pos.to_string());
    const auto range = CellRange::create(c.start, c.end);
    EXPECT_EQ(ModelWorkspace::deltah(c.pos, *range), c.dh);
    EXPECT_EQ(ModelWorkspace::deltav(c.pos, *range), c.dv);
  }
}

TEST(ModelWorkspace, ClearInProcessClearsEveryStoredElementsFlag)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  const auto a = Box::create("a");
  const auto b = Box::create("b");
  put(*ws, a, 0, 0);
  put(*ws, b, 0, 0);
  const auto loose = Box::create("loose");
  ASSERT_TRUE(a->in_process && b->in_process && loose->in_process);
  ws->clear_in_process();
  EXPECT_FALSE(a->in_process);
  EXPECT_FALSE(b->in_process);
  EXPECT_TRUE(loose->in_process);
}

TEST(ModelWorkspace, SingleElementEditsEmitNothing)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  int updates = 0;
  ws->signal_updated().connect([&] { ++updates; });
  const auto a = Box::create("a");
  put(*ws, a, 1, 1);
  put(*ws, Box::create("b"), 1, 1);
  ws->replace(a, Box::create("n"));
  const auto r = ws->resize_hv(ws->elm_at({1, 1}), 1, 1, {-1, -1});
  ws->cut(r, false);
  ws->remove_all(ws->elm_at({1, 1}), false);
  EXPECT_EQ(updates, 0);
  EXPECT_FALSE(ws->modified);
}

TEST(ModelWorkspace, AddTextStoresAFreeTextWhereItMayGo)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  int updates = 0;
  ws->signal_updated().connect([&] { ++updates; });
  EXPECT_TRUE(ws->add_text({3, 4}));
  EXPECT_NE(std::dynamic_pointer_cast<ModelTextElement>(ws->elm_at({3, 4})), nullptr);
  EXPECT_EQ(updates, 1);

  // A kind whose free text is a box: a box in the way keeps it out.
  class BoxTextWorkspace : public TestWorkspace {
  public:
    explicit BoxTextWorkspace(Key key) : TestWorkspace(key) {}
    ElementPtr make_text() override { return Box::create("t"); }
  };
  const auto boxes = ModelWorkspace::create<BoxTextWorkspace>();
  const auto wide = Box::create("wide");
  wide->dh = 1;
  put(*boxes, wide, 1, 1);
  const std::string before = document_of(*boxes);
  EXPECT_FALSE(boxes->add_text({2, 1}));
  EXPECT_EQ(boxes->cursor, (CellPos{2, 1}));
  EXPECT_EQ(document_of(*boxes), before);
  EXPECT_FALSE(boxes->modified);
  EXPECT_TRUE(boxes->add_text({3, 1}));
  EXPECT_EQ(chain_at(*boxes, 3, 1), Names{"t"});
}

TEST(ModelWorkspace, RangeCutTargetsAreTextElements)
{
  const auto ws = ModelWorkspace::create();
  const auto text = ModelTextElement::create();
  const auto box = Box::create("b");
  for (bool slide : {false, true}) {
    EXPECT_TRUE(ws->range_cut_target(*text, slide, CellDir::h));
    EXPECT_FALSE(ws->range_cut_target(*box, slide, CellDir::v));
  }
  EXPECT_NE(std::dynamic_pointer_cast<ModelTextElement>(ws->make_text()), nullptr);
}

TEST(ModelWorkspace, TempModeRemovalChangesOnlyTheScratchCells)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  put(*ws, Box::create("doc"), 2, 2);
  ws->is_tmp = true;
  const auto scratch = Box::create("scratch");
  put(*ws, scratch, 2, 2);
  put(*ws, Box::create("scratch2"), 2, 2);
  ws->is_tmp = false;
  const std::string doc_before = document_of(*ws);
  ws->grid->h->set_size(2, 70);
  const auto grid_before = ws->grid->h->get_entries();
  const auto d = ws->new_diff();
  ws->set_diff(d);
  int updates = 0;
  ws->signal_updated().connect([&] { ++updates; });

  for (bool was_modified : {false, true}) {
    SCOPED_TRACE(was_modified);
    ws->modified = was_modified;
    ws->is_tmp = true;
    const auto target = ws->elm_at({2, 2});
    EXPECT_EQ(ws->remove(target), (CellPos{2, 2}));
    EXPECT_FALSE(target->stored);
    // Lines, too: the scratch cells move, the grid and the record do not.
    EXPECT_TRUE(ws->insert_line(CellDir::h, 0));
    EXPECT_TRUE(ws->remove_line(CellDir::h, 0));
    ws->signal_update();
    ws->is_tmp = false;
    EXPECT_EQ(ws->modified, was_modified);
  }
  EXPECT_TRUE(ws->tmp_cells->get_rows().empty());
  EXPECT_EQ(document_of(*ws), doc_before);
  EXPECT_EQ(ws->grid->h->get_entries(), grid_before);
  EXPECT_EQ(updates, 0);
  EXPECT_EQ(counts(*d), std::make_pair(0, 0));
  EXPECT_EQ(d->inserted_line, nullptr);
  EXPECT_EQ(d->removed_line, nullptr);
}

// --- undo and redo of single edits ------------------------------------------

// A document with a parent family across cells, a chain of three, a wide
// box, a lone box and a sibling line.
struct Fixture {
  std::shared_ptr<TestWorkspace> ws = ModelWorkspace::create<TestWorkspace>();
  std::shared_ptr<Box> p = Box::create("P");
  std::shared_ptr<Box> c1 = child_box("c1", p, true);
  std::shared_ptr<Box> c2 = child_box("c2", p);
  std::shared_ptr<Box> g = child_box("g", c2);
  std::shared_ptr<Box> a = Box::create("A", 2);
  std::shared_ptr<Box> b = Box::create("B");
  std::shared_ptr<Box> c = Box::create("C");
  std::shared_ptr<Box> lone = Box::create("L");
  std::shared_ptr<Box> q = Box::create("Q");
  std::vector<std::shared_ptr<Box>> s;

  Fixture()
  {
    put(*ws, p, 1, 1);
    put(*ws, c1, 1, 1);
    put(*ws, c2, 2, 1);
    put(*ws, g, 2, 2);
    // c3, a child of P, stands in the middle of the chain [A, B, c3, C].
    put(*ws, a, 4, 4);
    put(*ws, b, 4, 4);
    put(*ws, child_box("c3", p), 4, 4);
    put(*ws, c, 4, 4);
    const auto wide = Box::create("W");
    wide->dh = 1;
    put(*ws, wide, 6, 1);
    put(*ws, lone, 10, 10);
    put(*ws, q, 8, 0);
    for (int i = 0; i < 3; ++i) {
      s.push_back(child_box(text_join({"s", std::to_string(i)}), q));
      put(*ws, s.back(), 8, 1 + 2 * i);
    }
  }
};

TEST(ModelWorkspaceUndo, EachEditIsUndoneAndRedoneByItsRecord)
{
  struct Case {
    const char* name;
    std::function<void(Fixture&)> edit;
    bool changes = true;
  };
  const std::vector<Case> cases = {
    {"store into an empty cell", [](Fixture& f) { put(*f.ws, Box::create("N"), 5, 5); }},
    {"store into a chain", [](Fixture& f) { put(*f.ws, Box::create("N"), 4, 4); }},
    {"remove a head", [](Fixture& f) { f.ws->remove(f.a); }},
    {"remove the middle of a chain", [](Fixture& f) { f.ws->remove(f.b); }},
    {"remove two of a chain, the later one first",
     [](Fixture& f) {
       f.ws->remove(f.c);
       f.ws->remove(f.a);
     }},
    {"replace a head", [](Fixture& f) { f.ws->replace(f.a, Box::create("N")); }},
    {"replace the middle", [](Fixture& f) { f.ws->replace(f.b, Box::create("N")); }},
    {"cut a part that may not go alone", [](Fixture& f) { f.ws->cut(f.c1, false); }},
    {"cut with lower siblings", [](Fixture& f) { f.ws->cut(f.s[0], false); }},
    {"remove a family, keeping the parent", [](Fixture& f) { f.ws->remove_all(f.p, true); }},
    {"resize that fits", [](Fixture& f) { f.ws->resize_hv(f.lone, 2, 1, {-1, -1}); }},
    {"resize that does not fit", [](Fixture& f) { f.ws->resize_hv(f.a, 1, 0, {-1, -1}); }},
    {"resize a parent", [](Fixture& f) { f.ws->resize_hv(f.q, 1, 0, {8, 0}); }},
    {"store and remove the same element", [](Fixture& f) {
       const auto n = Box::create("N");
       put(*f.ws, n, 4, 4);
       f.ws->remove(n);
     },
     false},
    {"remove and store the same element elsewhere", [](Fixture& f) {
       f.ws->remove(f.b);
       put(*f.ws, f.b, 0, 7);
     }},
    {"resize twice without room", [](Fixture& f) {
       f.ws->resize_hv(f.b, 1, 0, {-1, -1});
       f.ws->resize_hv(f.a, 1, 0, {-1, -1});
       f.ws->resize_hv(f.b, 2, 0, {-1, -1});
     }},
    {"store, remove and store again", [](Fixture& f) {
       const auto n = Box::create("N");
       put(*f.ws, n, 4, 4);
       f.ws->remove(n);
       put(*f.ws, n, 5, 4);
       put(*f.ws, Box::create("M"), 4, 4);
     }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f;
    const std::string before = document_of(*f.ws);
    const auto d = record_edit(*f.ws, [&] { c.edit(f); });
    const std::string after = document_of(*f.ws);
    EXPECT_EQ(after != before, c.changes);
    int updates = 0;
    f.ws->signal_updated().connect([&] { ++updates; });
    expect_undo_redo(*f.ws, *d, before, after);
    EXPECT_EQ(updates, 4);
  }
}

TEST(ModelWorkspaceUndo, AResizeWithoutRoomIsRecordedAsRemovedAndAddedAndUndoneInPlace)
{
  Fixture f;
  const auto d = f.ws->new_diff();
  f.ws->set_diff(d);
  f.ws->resize_hv(f.a, 1, 0, {-1, -1});
  f.ws->set_diff(nullptr);
  EXPECT_EQ(chain_at(*f.ws, 4, 4), (Names{"B", "c3", "C", "A"}));
  std::vector<std::string> added, removed;
  d->each_add([&](int32_t, int32_t, const std::shared_ptr<ModelElement>& e) {
    added.push_back(static_cast<Box&>(*e).name);
  });
  d->each_rm([&](int32_t, int32_t, const std::shared_ptr<ModelElement>& e) {
    removed.push_back(static_cast<Box&>(*e).name);
  });
  EXPECT_EQ(added, Names{"A"});
  EXPECT_EQ(removed, Names{"A"});
  f.ws->patch(*d->reverse());
  EXPECT_EQ(chain_at(*f.ws, 4, 4), (Names{"A", "B", "c3", "C"}));
  // Redo removes the element and appends it at the end of the chain.
  f.ws->patch(*d);
  EXPECT_EQ(chain_at(*f.ws, 4, 4), (Names{"B", "c3", "C", "A"}));
  EXPECT_EQ(f.ws->cursor, (CellPos{4, 4}));
}

TEST(ModelWorkspaceUndo, AnElementStoredAndRemovedInOneActionLeavesNoTrace)
{
  Fixture f;
  const auto d = f.ws->new_diff();
  f.ws->set_diff(d);
  const auto n = Box::create("N");
  put(*f.ws, n, 4, 4);
  f.ws->resize_hv(n, 1, 1, {-1, -1});  // no room: removed and stored again
  f.ws->remove(n);
  f.ws->set_diff(nullptr);
  EXPECT_EQ(counts(*d), std::make_pair(0, 0));
  EXPECT_TRUE(d->add->get_rows().empty());
}

} // namespace
} // namespace velkaro
