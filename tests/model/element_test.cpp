#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/cell_range.h"
#include "model/element.h"
#include "model/element_cells.h"
#include "model/element_kinds_for_test.h"
#include "model/text_element.h"

namespace velkaro {
namespace {

using test::OtherElement;
using test::TestElement;
using test::TestSubElement;

using Elements = std::vector<std::shared_ptr<ModelElement>>;

// The names of the chain from its head.
std::string names(const std::shared_ptr<ModelElement>& any)
{
  std::string s;
  if (!any)
    return "-";
  any->get_first()->foreach([&s](const std::shared_ptr<ModelElement>& e) {
    s += static_cast<TestElement&>(*e).name;
  });
  return s;
}

template <class T>
std::string names(const std::vector<std::shared_ptr<T>>& elements)
{
  std::string s;
  for (const auto& e : elements)
    s += e ? static_cast<TestElement&>(*e).name : "-";
  return s;
}

std::shared_ptr<TestElement> chain(const std::string& labels)
{
  std::shared_ptr<TestElement> head;
  for (char c : labels) {
    auto e = TestElement::create(std::string(1, c));
    if (head)
      head->add(e);
    else
      head = e;
  }
  return head;
}

TEST(ModelElement, SingleElementIsItsOwnHeadAndTail)
{
  const auto a = TestElement::create("A");
  EXPECT_EQ(a->get_first(), a);
  EXPECT_EQ(a->get_last(), a);
  EXPECT_EQ(a->get_index(), 0);
  EXPECT_TRUE(a->get_is_single());
  EXPECT_FALSE(a->has_stack());
  EXPECT_EQ(a->nth(0), a);
  EXPECT_EQ(a->nth(1), nullptr);
  EXPECT_EQ(a->nth(-1), nullptr);
  EXPECT_EQ(a->get_prev(), nullptr);
  // A new element: not placed, in process, role 0.
  EXPECT_EQ(a->pos, (CellPos{-1, -1}));
  EXPECT_TRUE(a->in_process);
  EXPECT_FALSE(a->stored);
  EXPECT_FALSE(a->focus);
  EXPECT_FALSE(a->mono);
  EXPECT_EQ(a->get_role(), 0);
  EXPECT_EQ(a->get_cells(), nullptr);
}

TEST(ModelElement, AddAppendsAWholeChain)
{
  const auto a = chain("A");
  const auto bc = chain("BC");
  const auto c = bc->get_last();
  EXPECT_EQ(a->add(bc), a);
  EXPECT_EQ(names(a), "ABC");
  EXPECT_EQ(c->get_index(), 2);
  EXPECT_EQ(c->get_first(), a);
  EXPECT_EQ(a->get_last(), c);
  EXPECT_EQ(a->nth(1), bc);
  EXPECT_EQ(a->nth(3), nullptr);
  EXPECT_TRUE(a->has_stack());
  EXPECT_TRUE(c->has_elm(*a));
  EXPECT_FALSE(c->has_elm(*TestElement::create()));
}

TEST(ModelElement, AddRefusesWhatWouldLinkTheChainIntoARing)
{
  const auto abc = chain("ABC");
  const auto b = abc->nth(1);
  const auto other = chain("XY");
  test::LogCapture log;
  abc->add(abc);                  // its own head
  b->get_last()->add(b);          // an element of the chain
  b->get_last()->add(abc);        // the head, from the tail
  abc->add(other->get_last());    // the middle of another chain
  EXPECT_EQ(log.messages.size(), 4u);
  EXPECT_EQ(names(abc), "ABC");
  EXPECT_EQ(names(other), "XY");
}

// A long chain remembers its head, its indices and what its seeks found;
// every change to a chain, a role or a parent link is seen at once.
TEST(ModelElement, LongChainsAnswerAfterEveryChange)
{
  // What a walk from the head finds.
  const auto walked = [](const std::shared_ptr<ModelElement>& any, int32_t role) {
    for (auto e = any->get_first(); e; e = e->get_next())
      if (dynamic_cast<TestElement*>(e.get()) && (role == ANY_ROLE || e->get_role() == role))
        return e;
    return std::shared_ptr<ModelElement>();
  };
  const auto expect_consistent = [&walked](const std::shared_ptr<ModelElement>& any) {
    for (const int32_t role : {ANY_ROLE, 0, 1, 7})
      EXPECT_EQ(std::shared_ptr<ModelElement>(any->seek<TestElement>(role)), walked(any, role)) << role;
    int32_t k = 0;
    for (auto e = any->get_first(); e; e = e->get_next(), ++k) {
      EXPECT_EQ(e->get_index(), k);
      EXPECT_EQ(e->get_first(), any->get_first());
    }
  };
  // Long enough to be remembered.
  auto head = std::shared_ptr<ModelElement>(OtherElement::create());
  for (int i = 0; i < 60; ++i)
    head->add(OtherElement::create());
  const auto a = TestElement::create("a", 1);
  const auto b = TestElement::create("b", 1);
  head->add(a);
  head->add(b);
  expect_consistent(b);

  b->set_role(7);
  expect_consistent(a);
  EXPECT_EQ(head->seek<TestElement>(7), b);

  head = a->remove_();
  expect_consistent(b);
  EXPECT_EQ(head->seek<TestElement>(1), nullptr);

  head = b->insert_at(a, 3);
  expect_consistent(head);
  EXPECT_EQ(a->get_index(), 3);

  // The head dies; the rest, kept, is a chain of its own.
  auto second = head->get_next();
  head.reset();
  expect_consistent(second);
  EXPECT_EQ(a->get_index(), 2);

  // A text's role follows its parent.
  auto parent = std::shared_ptr<ModelElement>(TestElement::create("p"));
  const auto text = ModelTextElement::create_with_parent(parent);
  second->add(text);
  EXPECT_EQ(second->seek<ModelTextElement>(0), text);
  EXPECT_EQ(second->seek<ModelTextElement>(1), nullptr);
  parent.reset();
  EXPECT_EQ(second->seek<ModelTextElement>(0), nullptr);
  EXPECT_EQ(second->seek<ModelTextElement>(1), text);
}

TEST(ModelElement, InsertAtLinksAWholeChainInBeforeAnIndex)
{
  struct Case {
    int32_t index;
    const char* result;
  };
  const std::vector<Case> cases = {
    {-3, "XYABC"}, {0, "XYABC"}, {1, "AXYBC"}, {2, "ABXYC"}, {3, "ABCXY"}, {9, "ABCXY"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    const auto abc = chain("ABC");
    const auto xy = chain("XY");
    // Asked of any element of the chain, the result is the chain's head.
    const auto head = abc->nth(2)->insert_at(xy, c.index);
    EXPECT_EQ(names(head), c.result);
    EXPECT_EQ(head->get_prev(), nullptr);
    EXPECT_EQ(head->get_last()->get_index(), 4);
    for (int32_t k = 0; k < 5; ++k)
      EXPECT_EQ(head->nth(k)->get_index(), k);
  }
  const auto abc = chain("ABC");
  test::LogCapture log;
  abc->insert_at(abc->nth(1), 0);
  abc->insert_at(abc, 2);
  EXPECT_EQ(log.messages.size(), 2u);
  EXPECT_EQ(names(abc), "ABC");
}

TEST(ModelElement, RemoveFromHeadMiddleAndEnd)
{
  struct Case {
    int index;
    const char* new_head;
    const char* remaining;
  };
  for (const Case& c : {Case{0, "B", "BC"}, Case{1, "A", "AC"}, Case{2, "A", "AB"}}) {
    SCOPED_TRACE(c.index);
    const auto head = chain("ABC");
    const auto gone = head->nth(c.index);
    const auto rest = gone->remove_();
    ASSERT_NE(rest, nullptr);
    EXPECT_EQ(static_cast<TestElement&>(*rest).name, c.new_head);
    EXPECT_EQ(rest->get_prev(), nullptr);
    EXPECT_EQ(names(rest), c.remaining);
    EXPECT_TRUE(gone->get_is_single());
    EXPECT_EQ(rest->get_last()->get_index(), 1);
  }
  EXPECT_EQ(TestElement::create("A")->remove_(), nullptr);
}

TEST(ModelElement, ToFirstMovesTheElementToTheHead)
{
  const auto head = chain("ABC");
  const auto c = head->get_last();
  EXPECT_EQ(c->to_first(), c);
  EXPECT_EQ(names(c), "CAB");
  EXPECT_EQ(c->get_first(), c);
  EXPECT_EQ(head->to_first(), head);
  EXPECT_EQ(names(c), "ACB");
}

TEST(ModelElement, ForeachLetsTheVisitorRemoveTheElementItIsGiven)
{
  auto head = chain("ABCD");
  std::string seen;
  head->foreach([&](const std::shared_ptr<ModelElement>& e) {
    seen += static_cast<TestElement&>(*e).name;
    const auto rest = e->remove_();
    if (e == head)
      head = std::static_pointer_cast<TestElement>(rest);
  });
  EXPECT_EQ(seen, "ABCD");
  EXPECT_EQ(head, nullptr);
}

TEST(ModelElement, DroppingAHeadReleasesTheChainAndClearsBackLinks)
{
  auto head = chain("ABC");
  const std::weak_ptr<ModelElement> c = head->get_last();
  const auto b = head->get_next();
  head.reset();
  // B is held here, so it survives with C; its previous element is gone.
  EXPECT_EQ(b->get_prev(), nullptr);
  EXPECT_EQ(b->get_first(), b);
  EXPECT_EQ(names(b), "BC");
  EXPECT_FALSE(c.expired());
}

TEST(ModelElement, AVeryLongChainIsReleasedWithoutRecursion)
{
  constexpr int count = 300000;
  std::weak_ptr<ModelElement> last;
  {
    auto head = TestElement::create();
    std::shared_ptr<ModelElement> tail = head;
    for (int i = 0; i < count; ++i) {
      auto e = TestElement::create();
      tail->add(e);
      tail = e;
    }
    last = tail;
    EXPECT_EQ(head->get_last(), tail);
  }
  EXPECT_TRUE(last.expired());
}

TEST(ModelElement, DeeplyNestedCarriedCopiesAreReleasedWithoutRecursion)
{
  // Carried copies nest as deep as the line of parents copied; each one
  // here also heads a short chain, and one in the middle is held elsewhere.
  constexpr int count = 300000;
  std::weak_ptr<ModelElement> deepest;
  std::weak_ptr<ModelElement> deepest_next;
  std::shared_ptr<ModelElement> held;
  {
    auto top = TestElement::create();
    std::shared_ptr<ModelElement> e = top;
    for (int i = 0; i < count; ++i) {
      auto sub = TestElement::create();
      sub->add(TestElement::create());
      e->subs.push_back(sub);
      e = sub;
      if (i == count / 2)
        held = e;
    }
    deepest = e;
    deepest_next = e->get_next();
  }
  // The held copy keeps what it carries and its chain.
  EXPECT_FALSE(deepest.expired());
  EXPECT_NE(held->get_next(), nullptr);
  held.reset();
  EXPECT_TRUE(deepest.expired());
  EXPECT_TRUE(deepest_next.expired());
}

TEST(ModelElement, NeitherParentNorChildrenOwn)
{
  // A child after its parent in the same chain, and a parent with a child
  // elsewhere: dropping the chains frees everything.
  std::weak_ptr<ModelElement> parent_alive, child_alive;
  {
    auto cells = test::TestCells::create();
    const auto p = TestElement::create("p");
    const auto c = TestElement::create("c");
    c->set_parent(p);
    test::store(*cells, p, 1, 1);
    test::store(*cells, c, 1, 1);
    parent_alive = p;
    child_alive = c;
  }
  EXPECT_TRUE(parent_alive.expired());
  EXPECT_TRUE(child_alive.expired());

  // A parent that nobody holds any more is gone for its child too.
  const auto orphan = TestElement::create();
  orphan->set_parent(TestElement::create());
  EXPECT_EQ(orphan->get_parent(), nullptr);
}

TEST(ModelElement, LookupsByTypeAcceptSubclasses)
{
  const auto head = TestElement::create("a", 1);
  const auto sub = TestSubElement::create("s", 2);
  const auto other = OtherElement::create(1);
  const auto last = TestElement::create("b", 2);
  head->add(sub);
  head->add(other);
  head->add(last);

  EXPECT_EQ(names(head->extract<TestElement>(ANY_ROLE)), "asb");
  const auto role2 = last->extract<TestElement>(2);
  ASSERT_EQ(role2.size(), 2u);
  EXPECT_EQ(role2[0], sub);
  EXPECT_EQ(role2[1], last);
  EXPECT_EQ(head->extract<TestSubElement>(ANY_ROLE).size(), 1u);
  EXPECT_EQ(head->seek<TestElement>(2), sub);
  EXPECT_EQ(head->seek<OtherElement>(ANY_ROLE), other);
  EXPECT_EQ(head->seek<OtherElement>(2), nullptr);
  EXPECT_TRUE(head->has<TestSubElement>(2));
  EXPECT_FALSE(head->has<TestSubElement>(1));
  EXPECT_EQ(head->to_role(1), head);
  EXPECT_EQ(head->to_role(2), sub);
  EXPECT_EQ(head->to_role(7), nullptr);
}

TEST(ModelElement, RoleDirectionsAndEndRoles)
{
  // One type at roles 1, 2, 3 and 0, with a subclass and another type
  // holding roles further out.
  auto cells = test::TestCells::create();
  const auto r0 = TestElement::create("0", 0);
  const auto r1 = TestElement::create("1", 1);
  const auto r2 = TestElement::create("2", 2);
  const auto r3 = TestElement::create("3", 3);
  for (const auto& e : {r0, r1, r2, r3})
    test::store(*cells, e, 1, 1);
  test::store(*cells, OtherElement::create(4), 1, 1);

  EXPECT_EQ(r0->to_endrole<TestElement>(5), r3);
  EXPECT_EQ(r0->to_endrole<TestElement>(0), r3);
  EXPECT_EQ(r0->endrole<TestElement>(1), 3);
  EXPECT_EQ(r0->to_endrole<TestElement>(-1), nullptr);
  EXPECT_EQ(r0->endrole<TestElement>(-1), 0);
  EXPECT_TRUE(r3->get_is_endrole());
  EXPECT_FALSE(r2->get_is_endrole());
  EXPECT_FALSE(r0->get_is_endrole());  // role 1 is present

  // Roles 1 and 3 only: the walk stops at the missing role 2.
  const auto gap1 = TestElement::create("a", 1);
  const auto gap3 = TestElement::create("c", 3);
  gap1->add(gap3);
  EXPECT_EQ(gap1->to_endrole<TestElement>(1), gap1);
  EXPECT_TRUE(gap1->get_is_endrole());
  EXPECT_FALSE(gap3->get_is_endrole());

  // Role 0 ends its direction when neither 1 nor -1 is there; an element of
  // a subclass counts as the element's own type, one of another type does
  // not.
  const auto lone = TestElement::create("z", 0);
  lone->add(OtherElement::create(-1));
  EXPECT_TRUE(lone->get_is_endrole());
  lone->add(TestSubElement::create("s", 1));
  EXPECT_FALSE(lone->get_is_endrole());
  EXPECT_EQ(lone->to_endrole<TestElement>(1)->get_role(), 1);

  // A subclass element continues its base's direction, but the base's
  // elements are not of the subclass's type.
  const auto base1 = TestElement::create("b", 1);
  const auto sub2 = TestSubElement::create("s", 2);
  base1->add(sub2);
  EXPECT_FALSE(base1->get_is_endrole());
  EXPECT_FALSE(sub2->get_is_endrole());  // its own type has no role 1 here
  const auto sub1 = TestSubElement::create("t", 1);
  sub2->add(sub1);
  EXPECT_TRUE(sub2->get_is_endrole());
}

TEST(ModelElement, ExtensionValues)
{
  const auto e = TestElement::create();
  e->pos = {5, 7};
  e->dh = -2;
  EXPECT_EQ(e->get_mwidth(), 3);
  EXPECT_EQ(e->get_mheight(), 1);
  EXPECT_EQ(e->get_exthdir(), -1);
  EXPECT_EQ(e->get_extvdir(), 1);
  EXPECT_TRUE(e->get_is_multi());
  EXPECT_EQ(e->get_deltapos(), (CellPos{-2, 0}));
  EXPECT_EQ(e->get_endpos(), (CellPos{3, 7}));
  const auto range = e->get_range();
  EXPECT_EQ(range->start, (CellPos{5, 7}));
  EXPECT_EQ(range->end, (CellPos{3, 7}));
  e->dh = 0;
  EXPECT_FALSE(e->get_is_multi());
  EXPECT_EQ(e->get_exthdir(), 1);
  e->dv = INT32_MIN;
  EXPECT_EQ(e->get_mheight(), INT32_MAX);
}

TEST(ModelElement, InsertedTakesThePositionGivenOrTheMapsAndJoinsTheParentOnce)
{
  auto cells = test::TestCells::create();
  const auto parent = TestElement::create("P");
  const auto child = TestElement::create("c");
  child->set_parent(parent);
  cells->set(4, 2, child);
  child->inserted(*cells, {-1, -1});
  EXPECT_EQ(child->pos, (CellPos{4, 2}));
  EXPECT_TRUE(child->stored);
  EXPECT_EQ(child->get_cells(), cells);
  EXPECT_EQ(names(parent->get_children()), "c");

  // A valid position is taken as given, without asking the map.
  child->inserted(*cells, {9, 9});
  EXPECT_EQ(child->pos, (CellPos{9, 9}));
  EXPECT_EQ(names(parent->get_children()), "c");

  // Not in the map and no valid position: pos stays.
  const auto loose = TestElement::create();
  loose->pos = {1, 1};
  loose->inserted(*cells, {-1, -1});
  EXPECT_EQ(loose->pos, (CellPos{1, 1}));
}

TEST(ModelElement, ARemovedChildKeepsItsParentAndComesBackLast)
{
  auto cells = test::TestCells::create();
  const auto parent = TestElement::create("P");
  Elements kids;
  for (const char* n : {"a", "b", "c"}) {
    auto k = TestElement::create(n);
    k->set_parent(parent);
    test::store(*cells, k, 1, 1);
    kids.push_back(k);
  }
  EXPECT_EQ(names(parent->get_children()), "abc");
  EXPECT_TRUE(parent->get_is_parent());
  EXPECT_EQ(parent->get_a_child(), kids[0]);

  // Removing the head, then re-storing it at the end of the chain.
  const auto rest = kids[0]->remove(*cells);
  cells->set(1, 1, rest);
  EXPECT_FALSE(kids[0]->stored);
  EXPECT_FALSE(kids[0]->in_process);
  EXPECT_EQ(kids[0]->get_parent(), parent);
  EXPECT_EQ(names(parent->get_children()), "bc");
  EXPECT_EQ(names(rest), "bc");
  test::store(*cells, kids[0], 1, 1);
  EXPECT_EQ(names(parent->get_children()), "bca");
  EXPECT_EQ(names(cells->get(1, 1)), "bca");
}

// A parent's list keeps each child once, in the order they joined, however
// they come and go: joined twice, left and joined again, listed by a
// duplicate of the parent, or one of thousands.
TEST(ModelElement, ChildrenListsStayExactForManyChildren)
{
  auto cells = test::TestCells::create();
  const auto parent = TestElement::create("P");
  Elements kids;
  for (int i = 0; i < 5000; ++i) {
    auto k = TestElement::create(i == 0 ? "a" : (i == 1 ? "b" : "x"));
    k->set_parent(parent);
    test::store(*cells, k, 1, i);
    kids.push_back(k);
  }
  ASSERT_EQ(parent->get_children().size(), kids.size());
  EXPECT_EQ(parent->get_children(), kids);
  // Joined again without leaving: still once.
  kids[0]->inserted(*cells, {1, 0});
  EXPECT_EQ(parent->get_children().size(), kids.size());
  // Left and joined again: last.
  const auto rest = kids[1]->remove(*cells);
  cells->set(1, 1, rest);
  EXPECT_EQ(parent->get_children().size(), kids.size() - 1);
  test::store(*cells, kids[1], 1, 1);
  EXPECT_EQ(parent->get_children().back(), kids[1]);
  EXPECT_EQ(parent->get_children().size(), kids.size());
  // Dead children drop out of the list as more join.
  for (int i = 2; i < 5000; ++i) {
    const auto gone = kids[static_cast<size_t>(i)]->remove(*cells);
    cells->set(1, i, gone);
  }
  kids.resize(2);
  for (int i = 0; i < 100; ++i) {
    auto k = TestElement::create("y");
    k->set_parent(parent);
    test::store(*cells, k, 2, i);
    kids.push_back(k);
  }
  EXPECT_EQ(parent->get_children().size(), kids.size());
  // A duplicate lists the same children; one of them joining it again is
  // not listed twice.
  const auto d = parent->dup();
  kids[0]->set_parent(d);
  kids[0]->inserted(*cells, {1, 0});
  EXPECT_EQ(d->get_children().size(), kids.size());
}

TEST(ModelElement, ChildrenAreNotOwned)
{
  auto cells = test::TestCells::create();
  const auto parent = TestElement::create("P");
  auto child = TestElement::create("c");
  child->set_parent(parent);
  child->inserted(*cells, {0, 0});
  EXPECT_TRUE(parent->get_is_parent());
  child.reset();
  EXPECT_FALSE(parent->get_is_parent());
  EXPECT_TRUE(parent->get_children().empty());
  EXPECT_EQ(parent->get_a_child(), nullptr);
}

TEST(ModelElement, ChildLookupsNeedTheExactTypeAndContainsSearchesAllDepths)
{
  auto cells = test::TestCells::create();
  const auto p = TestElement::create("P");
  const auto sub = TestSubElement::create("s", 1);
  const auto t1 = TestElement::create("t", 1);
  const auto t2 = TestElement::create("u", 1);
  const auto t3 = TestElement::create("v", 2);
  const auto grandchild = TestElement::create("g");
  for (const auto& e : {std::shared_ptr<TestElement>(sub), t1, t2, t3}) {
    e->set_parent(p);
    test::store(*cells, e, 0, 0);
  }
  grandchild->set_parent(t3);
  test::store(*cells, grandchild, 0, 1);

  EXPECT_EQ(p->a_child_of<TestElement>(ANY_ROLE), t1);
  EXPECT_EQ(p->a_child_of<TestElement>(2), t3);
  EXPECT_EQ(p->a_child_of<TestSubElement>(1), sub);
  EXPECT_EQ(p->a_child_of<OtherElement>(ANY_ROLE), nullptr);

  Elements siblings;
  t1->each_siblings([&](const std::shared_ptr<ModelElement>& e) { siblings.push_back(e); });
  EXPECT_EQ(names(siblings), "u");  // not itself, not the subclass, not role 2
  siblings.clear();
  p->each_siblings([&](const std::shared_ptr<ModelElement>& e) { siblings.push_back(e); });
  EXPECT_TRUE(siblings.empty());

  EXPECT_TRUE(p->contains(*grandchild));
  EXPECT_TRUE(p->contains(*t2));
  EXPECT_FALSE(t1->contains(*grandchild));
  EXPECT_FALSE(p->contains(*p));
}

TEST(ModelElement, InProcessCountsTheAncestors)
{
  const auto top = TestElement::create();
  const auto mid = TestElement::create();
  const auto low = TestElement::create();
  mid->set_parent(top);
  low->set_parent(mid);
  top->set_in_process(false);
  mid->set_in_process(false);
  low->set_in_process(false);
  EXPECT_FALSE(low->get_is_in_process());
  top->set_in_process(true);
  EXPECT_TRUE(low->get_is_in_process());
  top->set_in_process(false);
  mid->set_in_process(true);
  EXPECT_TRUE(low->get_is_in_process());
  EXPECT_FALSE(top->get_is_in_process());
}

TEST(ModelElement, DupIsShallowAndListsTheSameChildren)
{
  auto cells = test::TestCells::create();
  const auto parent = TestElement::create("P");
  const auto e = TestElement::create("e", 3);
  e->set_parent(parent);
  e->dh = 2;
  e->focus = true;
  e->mono = true;
  test::store(*cells, e, 2, 5);
  const auto child = TestElement::create("c");
  child->set_parent(e);
  test::store(*cells, child, 2, 6);
  e->add(TestElement::create("n"));

  const auto d = std::dynamic_pointer_cast<TestElement>(e->dup());
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->dh, 0);
  EXPECT_EQ(d->get_parent(), parent);
  EXPECT_EQ(d->pos, (CellPos{2, 5}));
  EXPECT_EQ(d->get_role(), 3);
  EXPECT_TRUE(d->stored);
  EXPECT_TRUE(d->focus);
  EXPECT_FALSE(d->mono);
  EXPECT_TRUE(d->in_process);
  EXPECT_EQ(d->get_cells(), cells);
  EXPECT_TRUE(d->get_is_single());
  // The same children, shared, in a list of its own: the child still names
  // e, and a later child of e is not listed by the duplicate.
  EXPECT_TRUE(d->get_is_parent());
  EXPECT_EQ(d->get_children(), e->get_children());
  EXPECT_EQ(names(e->get_children()), "c");
  EXPECT_EQ(child->get_parent(), e);
  const auto later = TestElement::create("l");
  later->set_parent(e);
  test::store(*cells, later, 2, 7);
  EXPECT_EQ(names(e->get_children()), "cl");
  EXPECT_EQ(names(d->get_children()), "c");
}

TEST(ModelElement, RoleAndIsTopNotify)
{
  const auto e = TestElement::create();
  std::vector<std::string> notes;
  e->signal_notify().connect([&](const char* what) { notes.emplace_back(what); });
  e->set_role(4);
  EXPECT_EQ(e->get_role(), 4);
  const bool top = e->get_is_top();
  e->set_is_top(!top);
  EXPECT_EQ(e->get_is_top(), top);
  EXPECT_EQ(notes, (std::vector<std::string>{"role", "is-top"}));
}

TEST(ModelElement, ObstaclesWalkEveryCellRowByRowInTheExtensionsDirections)
{
  const auto e = TestElement::create();
  e->dh = 2;
  e->dv = -1;
  e->wpos = {5, 5};
  EXPECT_TRUE(e->can_store());
  EXPECT_EQ(e->tested, (std::vector<CellPos>{{5, 5}, {6, 5}, {7, 5}, {5, 4}, {6, 4}, {7, 4}}));
}

// --- order among siblings ----------------------------------------------------

TEST(ModelElement, ElementOrder)
{
  auto cells = test::TestCells::create();
  const auto at = [&](std::shared_ptr<ModelElement> e, int32_t x, int32_t y) {
    test::store(*cells, e, x, y);
    return e;
  };
  const auto a = at(TestElement::create(), 2, 3);
  const auto below = at(TestElement::create(), 2, 5);
  const auto right = at(TestElement::create(), 4, 3);
  const auto up_right = at(TestElement::create(), 4, 1);
  struct Case {
    std::shared_ptr<ModelElement> e1, e2;
    int expected;
  };
  for (const Case& c : {Case{a, below, -1}, Case{below, a, 1}, Case{a, right, -1}, Case{right, a, 1},
                        Case{a, up_right, 1}, Case{up_right, a, 1}, Case{a, a, 0}})
    EXPECT_EQ(ModelElement::elmcmp(*c.e1, *c.e2), c.expected)
        << c.e1->pos.to_string() << " " << c.e2->pos.to_string();

  // Same cell: the class names byte by byte, then the roles.
  const auto t = at(TestElement::create("", 1), 7, 7);
  const auto s = at(TestSubElement::create("", 0), 7, 7);
  const auto t_low = at(TestElement::create("", -1), 7, 7);
  EXPECT_LT(ModelElement::elmcmp(*t, *s), 0);  // "TestElement" < "TestSubElement"
  EXPECT_GT(ModelElement::elmcmp(*s, *t), 0);
  EXPECT_EQ(ModelElement::elmcmp(*t, *t_low), 1);
  EXPECT_EQ(ModelElement::elmcmp(*t_low, *t), -1);
}

TEST(ModelElement, UpperLowerTopAndBottomAmongSiblings)
{
  auto cells = test::TestCells::create();
  const auto p = OtherElement::create();
  test::store(*cells, p, 0, 0);
  std::vector<std::shared_ptr<TestElement>> rows;
  // Listed out of order: the order comes from the positions.
  for (int32_t y : {5, 1, 3}) {
    auto e = TestElement::create(std::to_string(y), 1);
    e->set_parent(p);
    test::store(*cells, e, 2, y);
    rows.push_back(e);
  }
  const auto& r5 = rows[0];
  const auto& r1 = rows[1];
  const auto& r3 = rows[2];
  // Another type and another role in between are never neighbours.
  auto other_role = TestElement::create("x", 2);
  other_role->set_parent(p);
  test::store(*cells, other_role, 2, 2);
  auto other_type = TestSubElement::create("y", 1);
  other_type->set_parent(p);
  test::store(*cells, other_type, 2, 4);

  EXPECT_EQ(r3->get_upper(), r1);
  EXPECT_EQ(r3->get_lower(), r5);
  EXPECT_TRUE(r1->get_is_top());
  EXPECT_FALSE(r1->get_is_bottom());
  EXPECT_TRUE(r5->get_is_bottom());
  EXPECT_EQ(r1->get_bottom(), r5);
  EXPECT_EQ(r5->get_top(), r1);
  EXPECT_EQ(r3->get_top(), r1);
  r3->flip = true;
  EXPECT_EQ(r3->get_upper(), r5);
  EXPECT_EQ(r3->get_lower(), r1);

  const auto orphan = TestElement::create();
  EXPECT_TRUE(orphan->get_is_top());
  EXPECT_TRUE(orphan->get_is_bottom());
  EXPECT_EQ(orphan->get_top(), orphan);
}

TEST(ModelElement, TopAndBottomEndForSiblingsUpRightOfEachOther)
{
  auto cells = test::TestCells::create();
  const auto p = OtherElement::create();
  test::store(*cells, p, 0, 0);
  const auto a = TestElement::create("a");
  const auto b = TestElement::create("b");
  a->set_parent(p);
  b->set_parent(p);
  test::store(*cells, a, 1, 5);
  test::store(*cells, b, 3, 2);
  // Each comes "after" the other: each is the other's upper, and neither
  // has a lower one.
  EXPECT_EQ(a->get_upper(), b);
  EXPECT_EQ(b->get_upper(), a);
  EXPECT_TRUE(a->get_is_bottom());
  EXPECT_EQ(a->get_bottom(), a);
  EXPECT_EQ(a->get_top(), b);
  EXPECT_EQ(b->get_top(), a);
}

} // namespace
} // namespace velkaro
