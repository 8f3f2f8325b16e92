#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/element_kinds_for_test.h"

namespace velkaro {
namespace {

using test::TestCells;
using test::TestElement;

std::shared_ptr<ModelTextElement> text(const std::string& s, const std::shared_ptr<ModelElement>& parent = nullptr)
{
  auto t = parent ? ModelTextElement::create_with_parent(parent) : ModelTextElement::create();
  t->set_text(s);
  return t;
}

// Texts in chains with a parent in the same chain, one a row below and one
// a column right, and test elements carrying every common attribute.
std::shared_ptr<TestCells> fixture()
{
  auto cells = TestCells::create();
  const auto p = text("parent");
  p->align = ModelAlign::CENTER;
  test::store(*cells, p, 2, 3);
  test::store(*cells, text("same chain", p), 2, 3);
  test::store(*cells, text("below", p), 2, 4);
  auto right = text("right", p);
  right->dh = 2;
  test::store(*cells, right, 3, 3);
  auto wide = TestElement::create("w", -1);
  wide->dh = -3;
  wide->dv = 2;
  test::store(*cells, wide, 5, 1);
  auto far = TestElement::create("f", 2);
  far->dh = 1;
  far->set_parent(p);
  test::store(*cells, far, 6, 6);
  return cells;
}

const char* const kFixtureDocument = R"(<?xml version="1.0" encoding="UTF-8"?>
<element_cells>
 <cell h="5" v="1">
  <test role="-1" width="-3" height="2"/>
 </cell>
 <cell h="2" v="3">
  <text role="1" align="centre" valign="centre">parent</text>
  <text pi="0" align="left" valign="centre">same chain</text>
 </cell>
 <cell h="3" v="3">
  <text width="2" pi="0" ph="2" align="left" valign="centre">right</text>
 </cell>
 <cell h="2" v="4">
  <text pi="0" pv="3" align="left" valign="centre">below</text>
 </cell>
 <cell h="6" v="6">
  <test role="2" width="1" pi="0" ph="2" pv="3"/>
 </cell>
</element_cells>
)";

std::string text_of(const std::shared_ptr<ModelElement>& e)
{
  const auto t = std::dynamic_pointer_cast<ModelTextElement>(e);
  return t ? t->get_text() : "?";
}

TEST(ElementXml, DocumentRoundTripIsByteForByteStable)
{
  const auto cells = fixture();
  const std::string first = test::document_of(*cells);
  EXPECT_EQ(first, kFixtureDocument);

  const auto fresh = TestCells::create();
  bool ok = false;
  const auto reader = test::read_document(*fresh, first, &ok);
  ASSERT_TRUE(ok) << reader->get_error();
  EXPECT_EQ(test::document_of(*fresh), first);

  // The references were resolved against the whole map.
  const auto p = fresh->get(2, 3);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(text_of(p), "parent");
  EXPECT_EQ(p->get_parent(), nullptr);
  for (const auto& [x, y, index] : std::vector<ModelElementElmPos>{{2, 3, 1}, {3, 3, 0}, {2, 4, 0}, {6, 6, 0}}) {
    const auto child = fresh->get(x, y)->nth(index);
    EXPECT_EQ(child->get_parent(), p) << x << "," << y;
    EXPECT_EQ(child->pos, (CellPos{x, y}));
    EXPECT_TRUE(child->stored);
    EXPECT_FALSE(child->in_process);
  }
  std::string children;
  for (const auto& c : p->get_children())
    children += text_of(c) + ";";
  EXPECT_EQ(children, "same chain;right;below;?;");
  const auto wide = fresh->get(5, 1);
  EXPECT_EQ(wide->get_role(), -1);
  EXPECT_EQ(wide->dh, -3);
  EXPECT_EQ(wide->dv, 2);
  EXPECT_EQ(wide->origpos, (CellPos{0, 0}));  // documents carry no "h" and "v"
}

TEST(ElementXml, AnElementWithNothingToSayWritesNoCommonAttribute)
{
  const auto cells = TestCells::create();
  test::store(*cells, TestElement::create(), 0, 0);
  const std::string doc = test::document_of(*cells);
  EXPECT_NE(doc.find("<test/>"), std::string::npos) << doc;
  const auto fresh = TestCells::create();
  ASSERT_FALSE(test::read_document(*fresh, doc)->has_error());
  const auto e = fresh->get(0, 0);
  EXPECT_EQ(e->get_role(), 0);
  EXPECT_EQ(e->dh, 0);
  EXPECT_EQ(e->dv, 0);
  EXPECT_EQ(e->get_parent(), nullptr);
}

TEST(ElementXml, CopyFormCarriesTheOwnCellFirst)
{
  const auto cells = TestCells::create();
  const auto parent = TestElement::create("p");
  test::store(*cells, parent, 4, 6);
  const auto e = TestElement::create("e", 3);
  e->set_parent(parent);
  e->dv = -2;
  test::store(*cells, e, 4, 7);

  const auto writer = SerializingWriter::create_memory_for_copy();
  ASSERT_TRUE(e->write(*writer));
  ASSERT_TRUE(writer->finish());
  EXPECT_NE(writer->get_text().find(R"(<test h="4" v="7" role="3" height="-2" pi="0" pv="6"/>)"),
            std::string::npos)
      << writer->get_text();

  const auto copy = e->copy_();
  ASSERT_NE(std::dynamic_pointer_cast<TestElement>(copy), nullptr);
  EXPECT_EQ(copy->origpos, (CellPos{4, 7}));
  EXPECT_EQ(copy->pos, (CellPos{4, 7}));
  EXPECT_EQ(copy->get_role(), 3);
  EXPECT_EQ(copy->dv, -2);
  EXPECT_TRUE(copy->stored);
  EXPECT_TRUE(copy->in_process);
  EXPECT_EQ(copy->get_parent(), nullptr);  // the reference is not resolved yet

  const auto resolved = e->copy(*cells);
  EXPECT_EQ(resolved->get_parent(), parent);
  EXPECT_FALSE(resolved->in_process);
  // Inserted at its own cell, though no chain there holds it.
  EXPECT_EQ(resolved->pos, (CellPos{4, 7}));
}

TEST(ElementXml, CopyAllCopiesTheFamilyAndLaterReferencesStayInTheDocument)
{
  const auto cells = TestCells::create();
  const auto grand = TestElement::create("g");
  test::store(*cells, grand, 0, 0);
  const auto p = TestElement::create("P");
  p->set_parent(grand);
  test::store(*cells, p, 1, 1);
  const auto a = TestElement::create("A");
  const auto b = TestElement::create("B", 1);
  a->set_parent(p);
  b->set_parent(p);
  test::store(*cells, a, 1, 2);
  test::store(*cells, b, 1, 3);

  const auto pc = p->copy_all(*cells, false);
  ASSERT_EQ(pc->subs.size(), 2u);
  const auto& ac = pc->subs[0];
  const auto& bc = pc->subs[1];
  EXPECT_EQ(ac->get_parent(), pc);
  EXPECT_EQ(bc->get_parent(), pc);
  EXPECT_EQ(bc->get_role(), 1);
  EXPECT_EQ(pc->get_children(), (std::vector<std::shared_ptr<ModelElement>>{ac, bc}));
  EXPECT_EQ(pc->get_parent(), nullptr);
  EXPECT_EQ(pc->origpos, (CellPos{1, 1}));
  EXPECT_EQ(ac->origpos, (CellPos{1, 2}));
  EXPECT_FALSE(pc->in_process);
  EXPECT_EQ(p->get_latest_copy(), pc);
  EXPECT_EQ(a->get_latest_copy(), ac);
  EXPECT_EQ(b->get_latest_copy(), bc);
  // The sources are untouched.
  EXPECT_EQ(p->get_children(), (std::vector<std::shared_ptr<ModelElement>>{a, b}));
  EXPECT_EQ(p->get_parent(), grand);

  // A later copy of an element whose parent is P resolves to P itself: P's
  // copy (held by the clipboard, say) is no part of the document, and a
  // parent taken from there would be saved as a reference to nothing.
  const auto children_of_copy = pc->get_children();
  for (const auto& source : {a, b}) {
    const auto again = source->copy(*cells);
    EXPECT_EQ(again->get_parent(), p);
    EXPECT_EQ(p->get_children().back(), again);
  }
  const auto d = TestElement::create("D");
  d->set_parent(p);
  test::store(*cells, d, 5, 5);
  const auto dc = d->copy(*cells);
  EXPECT_EQ(dc->get_parent(), p);
  EXPECT_EQ(pc->get_children(), children_of_copy) << "the copy gained no child";
}

TEST(ElementXml, IntegersAreDecimalPrefixesThatMustFitIn32Bits)
{
  struct Case {
    const char* text;
    std::optional<int32_t> value;
  };
  for (const Case& c : {Case{"", 0}, Case{"abc", 0}, Case{"  -12x", -12}, Case{"+7", 7},
                        Case{"2147483647", INT32_MAX}, Case{"-2147483648", INT32_MIN},
                        Case{"2147483648", std::nullopt}, Case{"-2147483649", std::nullopt},
                        Case{"000000000000000000042", 42},
                        Case{"99999999999999999999999999", std::nullopt}})
    EXPECT_EQ(parse_int_prefix_checked(c.text), c.value) << c.text;
}

// --- hostile documents ---------------------------------------------------------

// A document whose body lines start at line 4.
std::string doc(const std::vector<std::string>& body)
{
  std::string s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<workspace>\n <element_cells>\n";
  for (const auto& line : body)
    s += line + "\n";
  return s + " </element_cells>\n</workspace>\n";
}

// Walks every element's ancestors; false when a line of parents does not end.
bool parents_end(ModelElementCells& cells, size_t& count)
{
  std::vector<std::shared_ptr<ModelElement>> all;
  cells.foreach([&](int32_t, int32_t, const std::shared_ptr<ModelElement>& head) {
    head->foreach([&](const std::shared_ptr<ModelElement>& e) { all.push_back(e); });
    return true;
  });
  count = all.size();
  for (const auto& e : all) {
    size_t steps = 0;
    for (auto up = e->get_parent(); up; up = up->get_parent())
      if (++steps > all.size())
        return false;
  }
  return true;
}

TEST(ElementXml, HostileDocumentsNeitherCrashNorHangNorGrow)
{
  struct Case {
    const char* what;
    std::vector<std::string> body;
    bool ok;
    // The line named by the read's error ("" when it succeeds), or the
    // words of the warning about a dropped parent ("" for none).
    std::string expected;
    size_t elements;
  };
  const std::vector<Case> cases = {
      {"parent index past the end of the chain",
       {R"(<cell h="1" v="1">)", "<text>a</text>", R"(<text pi="5">b</text>)", "</cell>"},
       true, "names no element of that chain", 2},
      {"negative parent index",
       {R"(<cell h="1" v="1">)", "<text>a</text>", R"(<text pi="-1">b</text>)", "</cell>"},
       true, "names no element of that chain", 2},
      {"parent index naming the element itself",
       {R"(<cell h="1" v="1">)", "<text>a</text>", R"(<text pi="1">b</text>)", "</cell>"},
       true, "names the element itself", 2},
      {"two elements each other's parent",
       {R"(<cell h="1" v="1"><text pi="0" pv="2">a</text></cell>)",
        R"(<cell h="1" v="2"><text pi="0" pv="1">b</text></cell>)"},
       true, "would make a cycle of parents", 2},
      {"three elements in a ring of parents",
       {R"(<cell h="1" v="1"><text pi="0" pv="2">a</text></cell>)",
        R"(<cell h="1" v="2"><text pi="0" pv="3">b</text></cell>)",
        R"(<cell h="1" v="3"><text pi="0" pv="1">c</text></cell>)"},
       true, "would make a cycle of parents", 3},
      {"parent cell far off the map (no parent, no warning)",
       {R"(<cell h="1" v="1"><text pi="0" ph="-70000" pv="2147483647">a</text></cell>)"},
       true, "", 1},
      {"parent index beyond 32 bits",
       {R"(<cell h="1" v="1">)", R"(<text pi="99999999999">a</text>)", "</cell>"},
       false, "line 5:", 0},
      {"width wider than the grid",
       {R"(<cell h="1" v="1">)", R"(<text width="70000">a</text>)", "</cell>"},
       false, "line 5:", 0},
      {"width past the right edge",
       {R"(<cell h="65530" v="1">)", R"(<text width="10"/>)", "</cell>"},
       false, "line 5:", 0},
      {"width at the right edge fits",
       {R"(<cell h="65530" v="1">)", R"(<text width="5"/>)", "</cell>"},
       true, "", 1},
      {"width left of column 0",
       {R"(<cell h="1" v="1">)", "<text/>", R"(<text width="-2"/>)", "</cell>"},
       false, "line 6:", 1},
      {"height below the last row",
       {R"(<cell h="0" v="65535">)", R"(<text height="1"/>)", "</cell>"},
       false, "line 5:", 0},
      {"height above row 0",
       {R"(<cell h="0" v="0">)", R"(<text height="-1"/>)", "</cell>"},
       false, "line 5:", 0},
      {"one element as large as the grid",
       {R"(<cell h="0" v="0">)", R"(<text width="65535" height="65535"/>)", "</cell>"},
       false, "line 5:", 0},
      {"elements that together cover too many cells",
       {R"(<cell h="0" v="0">)", R"(<text width="1" height="1"/>)", R"(<text width="2047" height="2047"/>)",
        "</cell>"},
       false, "line 6:", 1},
      {"width beyond 32 bits",
       {R"(<cell h="1" v="1">)", R"(<text width="-2147483649"/>)", "</cell>"},
       false, "line 5:", 0},
      {"role beyond 32 bits",
       {R"(<cell h="1" v="1">)", R"(<text role="2147483648"/>)", "</cell>"},
       false, "line 5:", 0},
      {"smallest role",
       {R"(<cell h="1" v="1">)", R"(<test role="-2147483648"/>)", "</cell>"},
       true, "", 1},
      {"cell right of the grid",
       {"<cell h=\"1\" v=\"1\"><text/></cell>", R"(<cell h="65536" v="1">)", "<text/>", "</cell>"},
       false, "line 5:", 1},
      {"cell above the grid",
       {R"(<cell h="1" v="-1">)", "<text/>", "</cell>"}, false, "line 4:", 0},
      {"cell column beyond 32 bits",
       {R"(<cell h="4294967296" v="1">)", "<text/>", "</cell>"}, false, "line 4:", 0},
      {"digits followed by other text",
       {R"(<cell h="2x" v=" 3 ">)", R"(<text width="2abc"/>)", "</cell>"}, true, "", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto cells = TestCells::create();
    test::LogCapture log;
    bool ok = !c.ok;
    const auto reader = test::read_document(*cells, doc(c.body), &ok);
    EXPECT_EQ(ok, c.ok);
    EXPECT_EQ(reader->has_error(), !c.ok);
    if (!c.ok) {
      EXPECT_EQ(reader->get_error().rfind(c.expected, 0), 0u) << reader->get_error();
      EXPECT_TRUE(log.messages.empty());
    } else if (c.expected.empty()) {
      EXPECT_TRUE(log.messages.empty()) << log.messages.front();
    } else {
      ASSERT_EQ(log.messages.size(), 1u);
      EXPECT_NE(log.messages[0].find(c.expected), std::string::npos) << log.messages[0];
      // The warning names the element by its place.
      EXPECT_NE(log.messages[0].find("ModelTextElement"), std::string::npos) << log.messages[0];
      EXPECT_NE(log.messages[0].find("of the cell (1, "), std::string::npos) << log.messages[0];
    }
    size_t count = 0;
    EXPECT_TRUE(parents_end(*cells, count));
    EXPECT_EQ(count, c.elements);
    // Whatever was read is stored, placed, and covers only cells of the grid.
    const auto expanded = cells->get_expanded();
    expanded->foreach(
        [&](int32_t x, int32_t y, const std::shared_ptr<ModelElement>& e) {
          EXPECT_TRUE((CellPos{x, y}).get_is_valid());
          EXPECT_TRUE(e->stored);
          EXPECT_FALSE(e->in_process);
        },
        false);
  }
}

TEST(ElementXml, TheReferenceThatClosesARingIsTheOneDropped)
{
  // d -> a -> b -> c -> a, met in the order d, a, b, c: c's reference
  // closes the ring.
  const auto cells = TestCells::create();
  test::LogCapture log;
  const auto reader = test::read_document(
      *cells, doc({R"(<cell h="1" v="0"><text pi="0" pv="1">d</text></cell>)",
                   R"(<cell h="1" v="1"><text pi="0" pv="2">a</text></cell>)",
                   R"(<cell h="1" v="2"><text pi="0" pv="3">b</text></cell>)",
                   R"(<cell h="1" v="3"><text pi="0" pv="1">c</text></cell>)"}));
  ASSERT_FALSE(reader->has_error()) << reader->get_error();
  const auto at = [&](int32_t y) { return cells->get(1, y); };
  EXPECT_EQ(at(0)->get_parent(), at(1));
  EXPECT_EQ(at(1)->get_parent(), at(2));
  EXPECT_EQ(at(2)->get_parent(), at(3));
  EXPECT_EQ(at(3)->get_parent(), nullptr);
  EXPECT_EQ(at(3)->get_children(), (std::vector<std::shared_ptr<ModelElement>>{at(2)}));
  ASSERT_EQ(log.messages.size(), 1u);
  EXPECT_NE(log.messages[0].find("of the cell (1, 3)"), std::string::npos) << log.messages[0];
  EXPECT_NE(log.messages[0].find("would make a cycle of parents"), std::string::npos);
}

TEST(ElementXml, ALongLineOfParentsIsReadCopiedAndReleased)
{
  // Each element's parent is the one a row above: the order in which the
  // references are resolved makes every ancestor known before its
  // descendants are met. Looking at every element's ancestors, searching
  // the map for every copy or copying by recursion would not end in time
  // or would overflow the stack.
  constexpr int32_t n = 30000;
  std::string body;
  body.reserve(n * 64);
  body += R"(<cell h="0" v="0"><text>top</text></cell>)";
  for (int32_t y = 1; y < n; ++y)
    body += "<cell h=\"0\" v=\"" + std::to_string(y) + "\"><text pi=\"0\" pv=\"" +
            std::to_string(y - 1) + "\"/></cell>\n";
  const auto cells = TestCells::create();
  test::LogCapture log;
  const auto reader = test::read_document(*cells, doc({body}));
  ASSERT_FALSE(reader->has_error()) << reader->get_error();
  EXPECT_TRUE(log.messages.empty());
  int32_t depth = 0;
  for (auto up = cells->get(0, n - 1)->get_parent(); up; up = up->get_parent())
    ++depth;
  EXPECT_EQ(depth, n - 1);

  const auto top = cells->get(0, 0);
  {
    const auto copy = top->copy_all(*cells, false);
    std::shared_ptr<ModelElement> e = copy;
    int32_t carried = 0;
    while (!e->subs.empty()) {
      ASSERT_EQ(e->subs.size(), 1u);
      EXPECT_EQ(e->subs[0]->get_parent(), e);
      e = e->subs[0];
      ++carried;
    }
    EXPECT_EQ(carried, n - 1);
    EXPECT_EQ(e->origpos, (CellPos{0, n - 1}));
    EXPECT_EQ(cells->get(0, n - 1)->get_latest_copy(), e);
  }
  // The copies are released by their holders: the top copy by its source.
  cells->clear();
}

TEST(ElementXml, ABrokenReferenceDropsOnlyThatParent)
{
  const auto cells = TestCells::create();
  test::LogCapture log;
  const auto reader = test::read_document(
      *cells, doc({R"(<cell h="1" v="1"><text>p</text><text pi="0">a</text><text pi="9">b</text></cell>)"}));
  ASSERT_FALSE(reader->has_error());
  const auto head = cells->get(1, 1);
  EXPECT_EQ(head->nth(1)->get_parent(), head);
  EXPECT_EQ(head->nth(2)->get_parent(), nullptr);
  EXPECT_EQ(head->get_children().size(), 1u);
  EXPECT_EQ(log.messages.size(), 1u);
}

} // namespace
} // namespace velkaro
