#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <pango/pangocairo.h>
#include <pangomm/context.h>
#include <pangomm/fontdescription.h>
#include <pangomm/layout.h>

#include "common/point.h"
#include "common/text_range.h"
#include "model/element_kinds_for_test.h"
#include "model/text_element.h"
#include "model/text_measure.h"

namespace velkaro {
namespace {

// A text element whose text measures a fixed rectangle, so that alignment
// can be checked without depending on the machine's fonts.
class FixedText : public ModelTextElement {
public:
  Rectangle get_pango_layout_rect() override { return {0, 0, 30, 10}; }
};

// A kind's text element with a role of its own.
class RoleText : public ModelTextElement {
public:
  explicit RoleText(int32_t r) : role(r) {}
  const char* get_type_name() const override { return "RoleText"; }
  ElementPtr new_instance() const override { return std::make_shared<RoleText>(role); }
  int32_t get_role() const override { return role; }

  int32_t role;
};

TEST(ModelAlign, XmlWords)
{
  struct Row {
    ModelAlign align;
    const char* word;
  };
  for (const Row& r : {Row{ModelAlign::LEFT, "left"}, Row{ModelAlign::CENTER, "centre"},
                       Row{ModelAlign::RIGHT, "right"}, Row{ModelAlign::TOP, "top"},
                       Row{ModelAlign::BOTTOM, "bottom"}}) {
    EXPECT_EQ(model_align_to_string(r.align), r.word);
    EXPECT_EQ(model_align_from_string(std::string(r.word)), r.align);
  }
  for (const char* word : {"center", "Left", "", "middle"})
    EXPECT_EQ(model_align_from_string(std::string(word)), ModelAlign::CENTER) << word;
  EXPECT_EQ(model_align_from_string(std::nullopt), ModelAlign::CENTER);
}

TEST(ModelTextElement, NewTextElement)
{
  const auto t = ModelTextElement::create();
  EXPECT_STREQ(t->get_type_name(), "ModelTextElement");
  EXPECT_EQ(t->align, ModelAlign::LEFT);
  EXPECT_EQ(t->valign, ModelAlign::CENTER);
  EXPECT_EQ(t->get_role(), 1);
  EXPECT_EQ(t->get_text(), "");
  EXPECT_TRUE(t->mono);
  EXPECT_EQ(t->text_tag, "text");

  auto cells = test::TestCells::create();
  test::store(*cells, t, 0, 0);
  const std::string doc = test::document_of(*cells);
  EXPECT_NE(doc.find("<text role=\"1\" align=\"left\" valign=\"centre\""), std::string::npos) << doc;
  EXPECT_EQ(doc.find("center"), std::string::npos);
}

TEST(ModelTextElement, RoleFollowsTheParentLink)
{
  const auto parent = ModelTextElement::create();
  const auto t = ModelTextElement::create_with_parent(parent);
  EXPECT_EQ(t->get_role(), 0);
  EXPECT_TRUE(parent->get_children().empty());  // joins only when inserted
  std::vector<std::string> notes;
  t->signal_notify().connect([&](const char* what) { notes.emplace_back(what); });
  t->set_role(5);
  EXPECT_EQ(t->get_role(), 0);
  EXPECT_EQ(notes, std::vector<std::string>{"role"});
  t->set_parent(nullptr);
  EXPECT_EQ(t->get_role(), 1);

  // With a parent no "role" is written.
  auto cells = test::TestCells::create();
  test::store(*cells, parent, 1, 1);
  const auto child = ModelTextElement::create_with_parent(parent);
  test::store(*cells, child, 1, 1);
  const std::string doc = test::document_of(*cells);
  EXPECT_NE(doc.find("<text pi=\"0\" align="), std::string::npos) << doc;
}

TEST(ModelTextElement, TextsOfDerivedKindsCountAsTextsForEndRoles)
{
  const auto t = ModelTextElement::create();  // role 1
  EXPECT_TRUE(t->get_is_endrole());
  const auto kind2 = std::make_shared<RoleText>(2);
  t->add(kind2);
  EXPECT_FALSE(t->get_is_endrole());
  EXPECT_EQ(t->to_endrole<ModelTextElement>(1), kind2);
  // The plain text is not of the kind's type: the kind's direction has no
  // role 1.
  EXPECT_FALSE(kind2->get_is_endrole());
}

TEST(ModelTextElement, LayoutAlignsTheTextRectangleInTheBox)
{
  struct Case {
    ModelAlign align, valign;
    Rectangle box;
    double x, y;
  };
  const Rectangle box{0, 0, 100, 40};
  for (const Case& c : {
           Case{ModelAlign::CENTER, ModelAlign::CENTER, box, 35, 15},
           Case{ModelAlign::RIGHT, ModelAlign::BOTTOM, box, 70, 30},
           Case{ModelAlign::LEFT, ModelAlign::TOP, box, 0, 0},
           Case{ModelAlign::LEFT, ModelAlign::TOP, {5, 6, 100, 40}, 5, 6},
           // A vertical word horizontally (and the reverse) leaves that axis at 0.
           Case{ModelAlign::TOP, ModelAlign::CENTER, {50, 0, 100, 40}, 0, 15},
           Case{ModelAlign::RIGHT, ModelAlign::LEFT, box, 70, 0},
           // A box of negative width, as an element extending left gets.
           Case{ModelAlign::CENTER, ModelAlign::TOP, {0, 0, -60, 20}, -45, 0},
       }) {
    auto t = std::make_shared<FixedText>();
    t->align = c.align;
    t->valign = c.valign;
    t->layout(c.box);
    const Point offset = t->get_pango_layout_offset();
    EXPECT_DOUBLE_EQ(offset.get_x(), c.x) << model_align_to_string(c.align);
    EXPECT_DOUBLE_EQ(offset.get_y(), c.y) << model_align_to_string(c.valign);
  }
}

TEST(ModelTextElement, RectIsTheMeasuredTextAtTheLayoutOffset)
{
  const auto t = ModelTextElement::create();
  EXPECT_DOUBLE_EQ(t->get_rect().width, 0);
  t->set_text("Hello");
  const Rectangle hello = t->get_rect();
  EXPECT_GT(hello.width, 0);
  EXPECT_GT(hello.height, 0);
  t->set_text("Hello, world");
  EXPECT_GT(t->get_rect().width, hello.width);
  // Laid out centred in a box: the rectangle starts where layout put it.
  t->align = ModelAlign::CENTER;
  t->layout({0, 0, 400, 100});
  const Rectangle placed = t->get_rect();
  EXPECT_DOUBLE_EQ(placed.x, 200 - placed.width / 2);
  EXPECT_DOUBLE_EQ(placed.y, 50 - placed.height / 2);
}

// Texts are measured once per string on a layout of their shared context:
// the very rectangle a layout of their own gives, whatever the string; a
// layout with settings of its own is measured as it is.
TEST(ModelTextElement, AMeasuredStringGivesWhatItsOwnLayoutGives)
{
  const auto own_measure = [](const std::string& text, PangoAttrList* attrs) {
    auto context = Glib::wrap(pango_font_map_create_context(pango_cairo_font_map_get_default()));
    context->set_font_description(Pango::FontDescription("Sans 16px"));
    auto layout = Pango::Layout::create(context);
    layout->set_text(text);
    if (attrs)
      pango_layout_set_attributes(layout->gobj(), attrs);
    return layout->get_pixel_ink_extents();
  };
  for (const bool again : {false, true}) {
    if (!again)
      ModelTextMeasure::forget();
    for (const std::string text : {"", "a", "Hello, world", "two\nlines", "\u00fcn\u00efc\u00f6d\u00e9 \u65e5\u672c",
                                   "tab\tand  spaces", "\u05e9\u05dc\u05d5\u05dd", "result 42"}) {
      SCOPED_TRACE(text);
      const auto t = ModelTextElement::create();
      t->set_text(text);
      const Pango::Rectangle ink = own_measure(text, nullptr);
      const Rectangle r = t->get_rect();
      EXPECT_EQ(r.width, ink.get_x() + ink.get_width());
      EXPECT_EQ(r.height, ink.get_y() + ink.get_height());
    }
  }
  // Attributes on a text's layout (as the input method sets them) count.
  const auto t = ModelTextElement::create();
  t->set_text("Hello, world");
  PangoAttrList* big = pango_attr_list_new();
  pango_attr_list_insert(big, pango_attr_scale_new(2.0));
  pango_layout_set_attributes(t->get_pango_layout()->gobj(), big);
  const Pango::Rectangle ink = own_measure("Hello, world", big);
  pango_attr_list_unref(big);
  EXPECT_EQ(t->get_rect().width, ink.get_x() + ink.get_width());
  const auto plain = ModelTextElement::create();
  plain->set_text("Hello, world");
  EXPECT_GT(t->get_rect().width, plain->get_rect().width * 1.5);
}

TEST(ModelTextElement, CursorStepsOverMultiByteCharacters)
{
  const auto t = ModelTextElement::create();
  t->set_text("a\xC3\xA9");  // a, e-acute
  struct Case {
    int32_t cursor, next, prev;
  };
  for (const Case& c : {Case{0, 1, -1}, Case{1, 3, 0}, Case{3, 3, 1}}) {
    t->set_cursor_index(c.cursor);
    EXPECT_EQ(t->get_next_char(), c.next) << c.cursor;
    EXPECT_EQ(t->get_prev_char(), c.prev) << c.cursor;
  }
  // A four-byte character (G clef) between two letters.
  t->set_text("x\xF0\x9D\x84\x9Ey");
  t->set_cursor_index(1);
  EXPECT_EQ(t->get_next_char(), 5);
  t->set_cursor_index(5);
  EXPECT_EQ(t->get_prev_char(), 1);
}

TEST(ModelTextElement, SetTextClampsTheCursor)
{
  struct Case {
    int32_t cursor;
    std::string text;
    int32_t expected;
  };
  for (const Case& c : {Case{4, "", 0}, Case{5, "ab", 2}, Case{2, "abcdef", 2},
                        Case{6, "h\xC3\xA9", 3}}) {
    const auto t = ModelTextElement::create();
    t->set_text("abcdefghij");
    t->set_cursor_index(c.cursor);
    t->set_text(c.text);
    EXPECT_EQ(t->get_cursor_index(), c.expected) << c.text;
  }
}

TEST(ModelTextElement, DupCopiesTextAndAlignmentIntoALayoutOfItsOwn)
{
  auto cells = test::TestCells::create();
  const auto t = ModelTextElement::create();
  t->set_text("hello");
  t->align = ModelAlign::RIGHT;
  t->valign = ModelAlign::TOP;
  t->text_tag = "label";
  t->get_text_range()->set_range(1, 3);
  test::store(*cells, t, 3, 4);

  const auto d = std::dynamic_pointer_cast<ModelTextElement>(t->dup());
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->get_text(), "hello");
  EXPECT_EQ(d->align, ModelAlign::RIGHT);
  EXPECT_EQ(d->valign, ModelAlign::TOP);
  EXPECT_EQ(d->text_tag, "label");
  EXPECT_FALSE(d->mono);
  EXPECT_EQ(d->pos, (CellPos{3, 4}));
  EXPECT_EQ(d->get_selected_text(), "el");
  d->set_text("bye");
  d->get_text_range()->set_range(0, 1);
  EXPECT_EQ(t->get_text(), "hello");
  EXPECT_EQ(t->get_selected_text(), "el");
  EXPECT_NE(d->get_pango_layout(), t->get_pango_layout());
}

TEST(ModelTextElement, ForeachVisitsTheTextElementsOfTheChain)
{
  const auto first = ModelTextElement::create();
  first->set_text("1");
  const auto second = ModelTextElement::create();
  second->set_text("2");
  first->add(test::TestElement::create());
  first->add(second);
  std::string seen;
  second->foreach([&](ModelTextElement& t) {
    seen += t.get_text();
    return true;
  });
  EXPECT_EQ(seen, "12");
  seen.clear();
  first->foreach([&](ModelTextElement& t) {
    seen += t.get_text();
    return false;
  });
  EXPECT_EQ(seen, "1");
}

TEST(ModelTextElement, DelSelectionRemovesTheSelectedBytes)
{
  struct Case {
    int32_t start, end, cursor;
    const char* text;
    int32_t expected_cursor;
  };
  for (const Case& c : {Case{1, 3, 5, "adef", 3}, Case{0, 6, 6, "", 0}, Case{4, 99, 1, "abcd", 0}}) {
    const auto t = ModelTextElement::create();
    t->set_text("abcdef");
    t->set_cursor_index(c.cursor);
    t->get_selected_range()->set_range(c.start, c.end);
    t->del_selection();
    EXPECT_EQ(t->get_text(), c.text);
    EXPECT_EQ(t->get_cursor_index(), c.expected_cursor);
  }
}

TEST(ModelTextElement, ReadsAlignmentsAndText)
{
  auto cells = test::TestCells::create();
  bool ok = false;
  const auto reader = test::read_document(*cells, R"(<?xml version="1.0" encoding="UTF-8"?>
<workspace>
 <element_cells>
  <cell h="1" v="2">
   <text role="1" align="right" valign="bottom">a &amp; b</text>
   <text>plain</text>
   <text align="center" valign="top"/>
  </cell>
 </element_cells>
</workspace>
)",
                                          &ok);
  ASSERT_TRUE(ok) << reader->get_error();
  const auto head = std::dynamic_pointer_cast<ModelTextElement>(cells->get(1, 2));
  ASSERT_NE(head, nullptr);
  EXPECT_EQ(head->get_text(), "a & b");
  EXPECT_EQ(head->align, ModelAlign::RIGHT);
  EXPECT_EQ(head->valign, ModelAlign::BOTTOM);
  EXPECT_TRUE(head->mono);
  EXPECT_FALSE(head->in_process);
  const auto plain = std::dynamic_pointer_cast<ModelTextElement>(head->nth(1));
  EXPECT_EQ(plain->get_text(), "plain");
  EXPECT_EQ(plain->align, ModelAlign::CENTER);
  EXPECT_EQ(plain->valign, ModelAlign::CENTER);
  const auto empty = std::dynamic_pointer_cast<ModelTextElement>(head->nth(2));
  EXPECT_EQ(empty->get_text(), "");
  EXPECT_EQ(empty->align, ModelAlign::CENTER);
  EXPECT_EQ(empty->valign, ModelAlign::TOP);
}

} // namespace
} // namespace velkaro
