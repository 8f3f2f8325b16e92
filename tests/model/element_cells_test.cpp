#include <set>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "model/element_kinds_for_test.h"
#include "model/exp_stack.h"
#include "model/expanded_cells.h"

namespace velkaro {
namespace {

using test::OtherElement;
using test::TestCells;
using test::TestElement;
using test::TestSubElement;

using Visit = std::tuple<int32_t, int32_t, std::string>;

std::string name_of(const std::shared_ptr<ModelElement>& e)
{
  const auto t = std::dynamic_pointer_cast<TestElement>(e);
  return t ? t->name : "?";
}

std::shared_ptr<TestElement> elm(const std::string& name, int32_t dh = 0, int32_t dv = 0)
{
  auto e = TestElement::create(name);
  e->dh = dh;
  e->dv = dv;
  return e;
}

std::set<std::pair<int32_t, int32_t>> cells_of(ModelExpandedCells& expanded, const std::string& name)
{
  std::set<std::pair<int32_t, int32_t>> found;
  expanded.foreach(
      [&](int32_t x, int32_t y, const std::shared_ptr<ModelElement>& e) {
        if (name_of(e) == name)
          found.insert({x, y});
      },
      false);
  return found;
}

TEST(ModelElementCells, ExpansionFollowsNegativeExtensions)
{
  const auto cells = TestCells::create();
  test::store(*cells, elm("e", -2, 1), 5, 5);
  const auto expanded = cells->get_expanded();
  EXPECT_EQ(cells_of(*expanded, "e"),
            (std::set<std::pair<int32_t, int32_t>>{{5, 5}, {5, 6}, {4, 5}, {4, 6}, {3, 5}, {3, 6}}));
  // Columns outer, rows inner: the stacks were made in that order, and the
  // map visits rows first, so (5, 6) shows the order least; check counts.
  EXPECT_EQ(expanded->get(5, 6)->get_length(), 1);
  EXPECT_EQ(expanded->get(2, 5), nullptr);
}

TEST(ModelElementCells, StacksListCoveringElementsInChainOrder)
{
  const auto cells = TestCells::create();
  test::store(*cells, elm("a"), 1, 1);
  test::store(*cells, elm("b", 1), 1, 1);
  test::store(*cells, elm("c", 0, -1), 2, 2);  // covers (2, 1) from below
  const auto expanded = cells->get_expanded();
  std::vector<std::string> at11, at21;
  expanded->get(1, 1)->foreach([&](const std::shared_ptr<ModelElement>& e) { at11.push_back(name_of(e)); });
  expanded->get(2, 1)->foreach([&](const std::shared_ptr<ModelElement>& e) { at21.push_back(name_of(e)); });
  EXPECT_EQ(at11, (std::vector<std::string>{"a", "b"}));
  // (1, 1) is visited before (2, 2), so b comes first at (2, 1).
  EXPECT_EQ(at21, (std::vector<std::string>{"b", "c"}));
}

TEST(ModelElementCells, UniqVisitsReportAMultiCellElementOnce)
{
  const auto cells = TestCells::create();
  test::store(*cells, elm("big", 1, 1), 3, 3);
  test::store(*cells, elm("one"), 4, 4);
  test::store(*cells, elm("two"), 4, 4);
  const auto expanded = cells->get_expanded();
  std::vector<Visit> uniq, all;
  expanded->foreach([&](int32_t x, int32_t y, const std::shared_ptr<ModelElement>& e) { uniq.emplace_back(x, y, name_of(e)); }, true);
  expanded->foreach([&](int32_t x, int32_t y, const std::shared_ptr<ModelElement>& e) { all.emplace_back(x, y, name_of(e)); }, false);
  EXPECT_EQ(uniq, (std::vector<Visit>{{3, 3, "big"}, {4, 4, "one"}, {4, 4, "two"}}));
  EXPECT_EQ(all, (std::vector<Visit>{{3, 3, "big"}, {4, 3, "big"}, {3, 4, "big"}, {4, 4, "big"},
                                     {4, 4, "one"}, {4, 4, "two"}}));
  // Row and column visits are uniq and report the first cell they meet.
  std::vector<Visit> col4, row4;
  expanded->foreach_col(4, [&](int32_t x, int32_t y, const std::shared_ptr<ModelElement>& e) { col4.emplace_back(x, y, name_of(e)); });
  expanded->foreach_row(4, [&](int32_t x, int32_t y, const std::shared_ptr<ModelElement>& e) { row4.emplace_back(x, y, name_of(e)); });
  EXPECT_EQ(col4, (std::vector<Visit>{{4, 3, "big"}, {4, 4, "one"}, {4, 4, "two"}}));
  EXPECT_EQ(row4, (std::vector<Visit>{{3, 4, "big"}, {4, 4, "one"}, {4, 4, "two"}}));
}

TEST(ModelElementCells, WidthAndHeightNeeds)
{
  const auto cells = TestCells::create();
  auto wide = elm("wide", 2);
  wide->rect = {0, 0, 80, 50};
  test::store(*cells, wide, 2, 1);  // columns 2 .. 4
  auto narrow = elm("narrow");
  narrow->rect = {0, 0, 25, 12};
  test::store(*cells, narrow, 4, 3);
  test::store(*cells, elm("plain"), 7, 7);
  const auto expanded = cells->get_expanded();
  EXPECT_DOUBLE_EQ(expanded->get_max_width_at_col(4), 35.0);
  EXPECT_DOUBLE_EQ(expanded->get_max_width_at_col(3), 30.0);
  EXPECT_DOUBLE_EQ(expanded->get_max_width_at_col(5), 0.0);
  EXPECT_DOUBLE_EQ(expanded->get_max_width_at_col(7), 10.0);
  EXPECT_DOUBLE_EQ(expanded->get_max_height_at_row(1), 60.0);
  EXPECT_DOUBLE_EQ(expanded->get_max_height_at_row(3), 22.0);
  EXPECT_DOUBLE_EQ(expanded->get_max_height_at_row(2), 0.0);
}

TEST(ModelElementCells, TheCacheIsDroppedByEveryChangeAndByClear)
{
  const auto cells = TestCells::create();
  test::store(*cells, elm("a"), 1, 1);
  const auto first = cells->get_expanded();
  EXPECT_EQ(cells->get_expanded(), first);
  cells->set(2, 2, elm("b"));
  const auto second = cells->get_expanded();
  EXPECT_NE(second, first);
  EXPECT_NE(second->get(2, 2), nullptr);
  // The old map stays as it was for whoever holds it.
  EXPECT_EQ(first->get(2, 2), nullptr);
  cells->insert_line(CellDir::v, 0, 1);
  EXPECT_NE(cells->get_expanded(), second);
  cells->get_expanded();
  cells->clear();
  EXPECT_TRUE(cells->get_expanded()->get_rows().empty());
  // Through the base class too.
  test::store(*cells, elm("c"), 0, 0);
  cells->get_expanded();
  static_cast<ModelCells<ModelElement>&>(*cells).clear();
  EXPECT_TRUE(cells->get_expanded()->get_rows().empty());
}

TEST(ModelElementCells, AVisitGoesOnOverTheCoveringItStartedWith)
{
  const auto cells = TestCells::create();
  test::store(*cells, elm("a"), 1, 1);
  test::store(*cells, elm("b"), 2, 1);
  std::vector<std::string> seen;
  cells->get_expanded()->foreach(
      [&](int32_t x, int32_t y, const std::shared_ptr<ModelElement>& e) {
        seen.push_back(name_of(e));
        if (x == 1)
          cells->remove(2, y);  // drops the cache the visit started from
      },
      true);
  EXPECT_EQ(seen, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(cells->get_expanded()->get(2, 1), nullptr);
}

TEST(ModelExpStack, Lookups)
{
  auto stack = ModelExpStack::create();
  const auto a = TestElement::create("a", 1);
  const auto sub = TestSubElement::create("s", 2);
  const auto other = OtherElement::create(2);
  const auto last = TestElement::create("z", 2);
  a->mono = true;
  other->mono = true;
  last->resizable = true;
  sub->resizable = true;
  EXPECT_EQ(stack->add(a)->add(sub)->add(other)->add(last), stack);

  EXPECT_EQ(stack->get_length(), 4);
  EXPECT_EQ(stack->get_a_elm(), a);
  EXPECT_TRUE(stack->has_elm(*other));
  EXPECT_FALSE(stack->has_elm(*TestElement::create()));
  EXPECT_TRUE(stack->get_mono());
  EXPECT_EQ(stack->get_mono_elm(), other);  // the later one
  EXPECT_EQ(stack->seek<TestElement>(ANY_ROLE), a);
  EXPECT_EQ(stack->seek<TestElement>(2), sub);  // a subclass counts
  EXPECT_EQ(stack->seek<TestSubElement>(1), nullptr);
  const auto role2 = stack->extract<TestElement>(2);
  EXPECT_EQ(role2, (std::vector<std::shared_ptr<TestElement>>{sub, last}));
  EXPECT_EQ(stack->extract<ModelElement>(ANY_ROLE).size(), 4u);
  EXPECT_EQ(stack->get_resizable_elms(), (std::vector<std::shared_ptr<ModelElement>>{sub, last}));

  const auto empty = ModelExpStack::create();
  EXPECT_FALSE(empty->get_mono());
  EXPECT_EQ(empty->get_mono_elm(), nullptr);
  EXPECT_EQ(empty->get_a_elm(), nullptr);
}

TEST(ModelElementCells, GetPosSearchesWhenThePositionIsOutOfDate)
{
  const auto cells = TestCells::create();
  const auto a = elm("a");
  const auto b = elm("b");
  test::store(*cells, a, 3, 3);
  test::store(*cells, b, 3, 3);
  EXPECT_EQ(cells->get_pos(b), (CellPos{3, 3}));
  cells->insert_line(CellDir::v, 1, 2);
  EXPECT_EQ(b->pos, (CellPos{3, 3}));
  EXPECT_EQ(cells->get_pos(b), (CellPos{3, 5}));
  EXPECT_EQ(cells->get_pos(elm("loose")), (CellPos{-1, -1}));
  cells->update_pos();
  EXPECT_EQ(a->pos, (CellPos{3, 5}));
  EXPECT_EQ(b->pos, (CellPos{3, 5}));
}

TEST(ModelElementCells, ReadingTheCellLayer)
{
  const auto cells = TestCells::create();
  // Before the read: a chain the read appends to, and whose references the
  // read's pass resolves as well.
  test::store(*cells, elm("old"), 2, 2);
  bool ok = false;
  const auto reader = test::read_document(*cells, R"(<?xml version="1.0" encoding="UTF-8"?>
<workspace>
 <element_cells>
  <cell><test/></cell>
  <cell h="2" v="2"><test/><sub/></cell>
  <wrapper><cell h="9" v="9"><other/></cell></wrapper>
  <cell h="2" v="2"><test role="4"/></cell>
  <cell h="5" v="5"/>
 </element_cells>
</workspace>
)", &ok);
  ASSERT_TRUE(ok) << reader->get_error();
  EXPECT_NE(std::dynamic_pointer_cast<TestElement>(cells->get(0, 0)), nullptr);
  EXPECT_NE(std::dynamic_pointer_cast<OtherElement>(cells->get(9, 9)), nullptr);
  EXPECT_EQ(cells->get(5, 5), nullptr);
  const auto chain = cells->get(2, 2);
  std::vector<std::string> kinds;
  chain->foreach([&](const std::shared_ptr<ModelElement>& e) { kinds.emplace_back(e->get_type_name()); });
  EXPECT_EQ(kinds, (std::vector<std::string>{"TestElement", "TestElement", "TestSubElement", "TestElement"}));
  EXPECT_EQ(chain->get_last()->get_role(), 4);
  EXPECT_EQ(chain->get_last()->pos, (CellPos{2, 2}));
  // The appended elements show in the covering map.
  EXPECT_EQ(cells->get_expanded()->get(2, 2)->get_length(), 4);

  // Without "element_cells" nothing is read, and the read succeeds.
  const auto none = TestCells::create();
  bool none_ok = false;
  test::read_document(*none, "<?xml version=\"1.0\"?>\n<workspace/>\n", &none_ok);
  EXPECT_TRUE(none_ok);
  EXPECT_TRUE(none->get_rows().empty());
}

TEST(ModelElementCells, CopyMakesNewElementsEqualInXml)
{
  const auto from = TestCells::create();
  const auto p = ModelTextElement::create();
  p->set_text("p");
  test::store(*from, p, 1, 1);
  const auto c = ModelTextElement::create_with_parent(p);
  c->set_text("c");
  c->dh = -1;
  test::store(*from, c, 2, 3);
  test::store(*from, elm("t", 0, 2), 4, 0);

  const auto to = TestCells::create();
  test::store(*to, elm("stale"), 7, 7);
  to->get_expanded();
  ASSERT_TRUE(to->copy(*from));
  EXPECT_EQ(to->get(7, 7), nullptr);
  EXPECT_EQ(to->get_expanded()->get(7, 7), nullptr);
  EXPECT_EQ(test::document_of(*to), test::document_of(*from));
  const auto pc = to->get(1, 1);
  const auto cc = to->get(2, 3);
  EXPECT_NE(pc, p);
  EXPECT_EQ(cc->get_parent(), pc);
  EXPECT_EQ(cc->origpos, (CellPos{2, 3}));
  EXPECT_EQ(pc->get_children(), (std::vector<std::shared_ptr<ModelElement>>{cc}));

  // Copying a map onto itself keeps it.
  const std::string before = test::document_of(*to);
  ASSERT_TRUE(to->copy(*to));
  EXPECT_EQ(test::document_of(*to), before);

  // Copying an empty map empties the target.
  const auto empty = TestCells::create();
  ASSERT_TRUE(to->copy(*empty));
  EXPECT_TRUE(to->get_rows().empty());
  EXPECT_TRUE(to->get_expanded()->get_rows().empty());
}

TEST(ModelElementCells, BaseFactoryMakesTextForAnyName)
{
  const auto cells = ModelElementCells::create();
  for (const char* name : {"text", "anything", ""}) {
    const auto e = std::dynamic_pointer_cast<ModelTextElement>(cells->bear(name));
    ASSERT_NE(e, nullptr) << name;
    EXPECT_TRUE(e->mono);
  }
}

} // namespace
} // namespace velkaro
