// The class box: compartments, geometry, duplication and its document form.

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cls/doc/class_element.h"
#include "cls/doc/cls_doc_for_test.h"
#include "cls/doc/element_cells.h"
#include "common/point.h"
#include "model/serializing_reader.h"
#include "model/serializing_writer.h"
#include "model/text_element.h"

namespace velkaro {
namespace {

// Texts of name, block1, block2 and which blocks show, as one line.
std::string class_state_line(const ClsClassElement& c)
{
  return c.name_elem->get_text() + "|" + c.block1_elem->get_text() + (c.block1_shown ? "+" : "-") +
         "|" + c.block2_elem->get_text() + (c.block2_shown ? "+" : "-") + "|active " +
         std::to_string(c.get_text_elem_index(*c.active_text_elem));
}

Rectangle class_text_rect(const std::shared_ptr<ModelTextElement>& t)
{
  return t->get_rect();
}

TEST(ClsClassElement, NewClassShowsOnlyItsName)
{
  const auto c = ClsClassElement::create();
  EXPECT_EQ(class_state_line(*c), "no name|no name-|no name-|active 0");
  EXPECT_EQ(c->name_elem->text_tag, "name");
  EXPECT_EQ(c->block1_elem->text_tag, "block1");
  EXPECT_EQ(c->block2_elem->text_tag, "block2");
  EXPECT_EQ(c->name_elem->align, ModelAlign::CENTER);
  EXPECT_EQ(c->block1_elem->align, ModelAlign::LEFT);
  EXPECT_EQ(c->block2_elem->align, ModelAlign::LEFT);
  EXPECT_EQ(c->block1_elem->valign, ModelAlign::CENTER);
  EXPECT_EQ(c->get_upper_text_elem(), nullptr);
  EXPECT_EQ(c->get_lower_text_elem(), nullptr);
  EXPECT_EQ(c->get_name_div_rect().width, 0.0);

  const Rectangle t = class_text_rect(c->name_elem);
  ASSERT_GT(t.width, 0.0);
  EXPECT_EQ(c->get_rect(), (Rectangle{0, 0, t.width + 10, t.height + 10}));
}

TEST(ClsClassElement, SizeCountsTheShownCompartmentsOnly)
{
  const auto c = ClsClassElement::create();
  c->name_elem->set_text("Customer");
  c->block2_elem->set_text("a much longer operation list()");
  c->block2_shown = true;
  const Rectangle n = class_text_rect(c->name_elem);
  const Rectangle b1 = class_text_rect(c->block1_elem);
  const Rectangle b2 = class_text_rect(c->block2_elem);
  ASSERT_GT(b2.width, n.width);

  const Rectangle r = c->get_rect();
  EXPECT_EQ(r.width, b2.width + 10);
  EXPECT_EQ(r.height, n.height + 10 + b2.height + 10);
  // The hidden block1 still takes its height before block2's division.
  EXPECT_EQ(c->get_name_div_rect(), (Rectangle{0, 0, r.width, n.height + 10}));
  EXPECT_EQ(c->get_block1_div_rect(), (Rectangle{0, n.height + 10, r.width, b1.height + 10}));
  EXPECT_EQ(c->get_block2_div_rect(),
            (Rectangle{0, n.height + 10 + b1.height + 10, r.width, b2.height + 10}));
}

TEST(ClsClassElement, LayoutCentresTheBoxAndItsTexts)
{
  const auto c = ClsClassElement::create();
  c->block1_shown = true;
  const Rectangle r = c->get_rect();
  c->layout({0, 0, 200, 100});
  const Rectangle laid = c->get_rect();
  EXPECT_DOUBLE_EQ(laid.x, (200 - r.width) / 2);
  EXPECT_DOUBLE_EQ(laid.y, (100 - r.height) / 2);

  // Each shown text in its division shrunk by 5: the name centred, block1
  // at the left edge.
  const Rectangle name_div = c->get_name_div_rect();
  const Rectangle name_text = c->name_elem->get_pango_layout_rect();
  const auto name_off = c->name_elem->get_pango_layout_offset();
  EXPECT_DOUBLE_EQ(name_off.get_x(), name_div.get_xmid() - name_text.width / 2);
  EXPECT_DOUBLE_EQ(name_off.get_y(), name_div.get_ymid() - name_text.height / 2);
  EXPECT_DOUBLE_EQ(c->block1_elem->get_pango_layout_offset().get_x(),
                   c->get_block1_div_rect().x + 5);
}

TEST(ClsClassElement, ShowingAndHidingCompartments)
{
  struct Step {
    const char* what;
    // 's' shows (insert_block), 'h' hides (rm_block); 't' sets the text of
    // the active compartment to text; 'a' makes index active.
    char op;
    int index;
    const char* text;
    bool result;
    const char* after;
  };
  const Step steps[] = {
      {"hide with neither shown", 'h', 1, "", false, "no name|no name-|no name-|active 0"},
      {"show 0 is refused", 's', 0, "", false, "no name|no name-|no name-|active 0"},
      {"show 3 is refused", 's', 3, "", false, "no name|no name-|no name-|active 0"},
      {"show 1", 's', 1, "", true, "no name|+|no name-|active 1"},
      {"type in block1", 't', 0, "attrs", true, "no name|attrs+|no name-|active 1"},
      {"show 1 again moves block1 down", 's', 1, "", true, "no name|+|attrs+|active 1"},
      {"both shown: 1 refused", 's', 1, "", false, "no name|+|attrs+|active 1"},
      {"both shown: 2 refused", 's', 2, "", false, "no name|+|attrs+|active 1"},
      {"type in block1 again", 't', 0, "x", true, "no name|x+|attrs+|active 1"},
      {"hide 1 moves block2 up", 'h', 1, "", true, "no name|attrs+|-|active 1"},
      {"show 2", 's', 2, "", true, "no name|attrs+|+|active 2"},
      {"hide 2 while active gives block1", 'h', 2, "", true, "no name|attrs+|-|active 1"},
      {"show 2 once more", 's', 2, "", true, "no name|attrs+|+|active 2"},
      {"hide 1 leaves block2's text in block1", 'h', 1, "", true, "no name|+|-|active 1"},
      {"hide 1 again", 'h', 1, "", true, "no name|-|-|active 0"},
      {"show 2 alone", 's', 2, "", true, "no name|-|+|active 2"},
      {"hide 2 gives the name", 'h', 2, "", true, "no name|-|-|active 0"},
  };
  const auto c = ClsClassElement::create();
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    bool r = true;
    switch (s.op) {
    case 's': r = c->insert_block(s.index); break;
    case 'h': r = c->rm_block(s.index); break;
    default: c->active_text_elem->set_text(s.text); break;
    }
    EXPECT_EQ(r, s.result);
    EXPECT_EQ(class_state_line(*c), s.after);
  }
}

TEST(ClsClassElement, UpperAndLowerCompartments)
{
  const auto c = ClsClassElement::create();
  c->block2_shown = true;
  EXPECT_EQ(c->get_lower_text_elem(), c->block2_elem);
  c->active_text_elem = c->block2_elem;
  EXPECT_EQ(c->get_upper_text_elem(), c->name_elem);
  EXPECT_EQ(c->get_lower_text_elem(), nullptr);
  c->block1_shown = true;
  EXPECT_EQ(c->get_upper_text_elem(), c->block1_elem);
  c->active_text_elem = c->block1_elem;
  EXPECT_EQ(c->get_upper_text_elem(), c->name_elem);
  EXPECT_EQ(c->get_lower_text_elem(), c->block2_elem);
  c->active_text_elem = c->name_elem;
  EXPECT_EQ(c->get_lower_text_elem(), c->block1_elem);

  // Lookups of the three texts, and of a text that is none of them.
  const auto stranger = ModelTextElement::create();
  EXPECT_EQ(c->get_text_elem_index(*c->block2_elem), 2);
  EXPECT_EQ(c->get_text_elem_index(*stranger), 0);
  EXPECT_FALSE(c->check_shown(*stranger));
  EXPECT_FALSE(c->has_text_elem(*stranger));
  EXPECT_TRUE(c->has_text_elem(*c->block1_elem));
  EXPECT_EQ(c->get_text_elem_at(1), c->block1_elem);
  EXPECT_EQ(c->get_text_elem_at(3), nullptr);
  c->active_text_elem = stranger;
  EXPECT_EQ(c->get_upper_text_elem(), nullptr);
}

TEST(ClsClassElement, ShownTextsAreVisitedUntilTheWalkStops)
{
  const auto c = ClsClassElement::create();
  c->block2_shown = true;
  std::vector<int> seen;
  const bool all = c->foreach_shown_text_elem([&](const auto& t, const Rectangle&) {
    seen.push_back(c->get_text_elem_index(*t));
    return true;
  });
  EXPECT_TRUE(all);
  EXPECT_EQ(seen, (std::vector<int>{0, 2}));
  seen.clear();
  EXPECT_FALSE(c->foreach_shown_text_elem([&](const auto& t, const Rectangle&) {
    seen.push_back(c->get_text_elem_index(*t));
    return false;
  }));
  EXPECT_EQ(seen, (std::vector<int>{0}));
}

TEST(ClsClassElement, DuplicateHasTextsOfItsOwn)
{
  const auto c = ClsClassElement::create();
  c->insert_block(1);
  c->block1_elem->set_text("attrs");
  c->get_rect();
  c->layout({0, 0, 300, 80});
  const auto d = std::dynamic_pointer_cast<ClsClassElement>(c->dup());
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(class_state_line(*d), "no name|attrs+|no name-|active 0");
  EXPECT_EQ(d->get_rect(), c->get_rect());
  d->block1_elem->set_text("changed");
  d->name_elem->set_text("Other");
  EXPECT_EQ(c->block1_elem->get_text(), "attrs");
  EXPECT_EQ(c->name_elem->get_text(), "no name");
  EXPECT_NE(d->name_elem, c->name_elem);
}

// --- document form -----------------------------------------------------------------

std::string class_file_text(ClsClassElement& c)
{
  return test::cls_written_file_text([&](SerializingWriter& w) { (void)c.write(w); });
}

std::shared_ptr<ClsClassElement> class_read_from(const std::string& text)
{
  test::ClsFileReaderForTest file(text);
  SerializingReader& reader = *file.reader;
  EXPECT_TRUE(reader.skip_to_element("class"));
  const auto cells = ClsElementCells::create();
  const auto elm = std::dynamic_pointer_cast<ClsClassElement>(cells->bear(reader.get_name()));
  EXPECT_NE(elm, nullptr);
  if (elm) {
    EXPECT_TRUE(elm->read(reader)) << reader.get_error();
  }
  return elm;
}

TEST(ClsClassElement, WrittenWithItsShownCompartmentsOnly)
{
  const auto c = ClsClassElement::create();
  c->name_elem->set_text("Order & Co");
  c->block1_elem->set_text("never written");
  EXPECT_EQ(class_file_text(*c),
            test::cls_xml_head() +
                "<class>\n <name role=\"1\" align=\"centre\" valign=\"centre\">Order &amp; Co</name>\n"
                "</class>\n");

  c->insert_block(2);
  c->block2_elem->set_text("total()");
  EXPECT_EQ(class_file_text(*c),
            test::cls_xml_head() +
                "<class>\n <name role=\"1\" align=\"centre\" valign=\"centre\">Order &amp; Co</name>\n"
                " <block2 role=\"1\" align=\"left\" valign=\"centre\">total()</block2>\n"
                "</class>\n");
}

TEST(ClsClassElement, ReadBack)
{
  const auto c = ClsClassElement::create();
  c->name_elem->set_text("Order");
  c->insert_block(1);
  c->block1_elem->set_text("id\ndate");
  c->insert_block(2);
  c->block2_elem->set_text("total()");
  const std::string text = class_file_text(*c);
  const auto r = class_read_from(text);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(class_state_line(*r), "Order|id\ndate+|total()+|active 0");
  EXPECT_EQ(r->get_role(), 0);
  EXPECT_EQ(class_file_text(*r), text);

  // Both blocks hidden: only the name is stored; the blocks come back as new.
  const auto plain = ClsClassElement::create();
  plain->block1_elem->set_text("lost");
  const auto p = class_read_from(class_file_text(*plain));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(class_state_line(*p), "no name|no name-|no name-|active 0");
}

TEST(ClsClassElement, Block2WithoutBlock1StaysBelowTheHiddenBlock1)
{
  const auto r = class_read_from(
      "<class><name>N</name><block2 align=\"left\">ops</block2><other>x</other></class>");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(class_state_line(*r), "N|no name-|ops+|active 0");
  const Rectangle n = class_text_rect(r->name_elem);
  const Rectangle b1 = class_text_rect(r->block1_elem);
  const Rectangle b2 = class_text_rect(r->block2_elem);
  const Rectangle box = r->get_rect();
  EXPECT_EQ(box.height, n.height + 10 + b2.height + 10);
  EXPECT_EQ(r->get_block2_div_rect().y, n.height + 10 + b1.height + 10);

  // A class without a name child keeps its first name.
  const auto unnamed = class_read_from("<class/>");
  ASSERT_NE(unnamed, nullptr);
  EXPECT_EQ(unnamed->name_elem->get_text(), "no name");
}

TEST(ClsClassElement, CellsMakeClassesAndTexts)
{
  const auto cells = ClsElementCells::create();
  EXPECT_NE(std::dynamic_pointer_cast<ClsClassElement>(cells->bear("class")), nullptr);
  const auto other = cells->bear("klass");
  EXPECT_EQ(std::dynamic_pointer_cast<ClsClassElement>(other), nullptr);
  EXPECT_NE(std::dynamic_pointer_cast<ModelTextElement>(other), nullptr);
}

} // namespace
} // namespace velkaro
