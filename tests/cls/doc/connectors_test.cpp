// The connector set: its order, the queries by cell and line, line edits,
// links to the cells, and the "connector_set" form; then a whole class
// document of classes and connectors of every kind written and read back.

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/class_element.h"
#include "cls/doc/cls_doc_for_test.h"
#include "cls/doc/connectors.h"
#include "cls/doc/element_cells.h"
#include "model/text_element.h"
#include "support/log_capture.h"

namespace velkaro {
namespace {

using ConnectorPtr = ClsConnectors::ConnectorPtr;

ConnectorPtr set_member(const char* type, CellPos start, CellPos end, const char* label = "")
{
  auto c = ClsAbstractConnectorElement::make(type);
  c->start = start;
  c->end = end;
  c->start_multiplicity->set_text(label);
  return c;
}

// "type start-end" of each member, in order.
std::vector<std::string> set_lines(const ClsConnectors& set)
{
  std::vector<std::string> lines;
  for (const ConnectorPtr& c : set)
    lines.push_back(std::string(c->get_serializing_type_name()) + " " + c->start.to_string() + "-" +
                    c->end.to_string());
  return lines;
}

std::vector<std::string> found_lines(const ClsConnectors::Members& found)
{
  const auto set = ClsConnectors::create();
  set->assign(found);
  return set_lines(*set);
}

TEST(ClsConnectors, KeepsTheOrderOfAdding)
{
  const auto set = ClsConnectors::create();
  const auto a = set_member("association", {1, 1}, {5, 1});
  const auto b = set_member("dependency", {2, 2}, {2, 6});
  set->add(a);
  set->add(b);
  set->add(a);
  EXPECT_EQ(set->size(), 3u);
  EXPECT_TRUE(set->remove(*a));
  EXPECT_EQ(set->get_members(), (ClsConnectors::Members{b, a}));
  const auto copy = set->duplicate();
  EXPECT_EQ(copy->get_members(), set->get_members());
  copy->remove(*b);
  EXPECT_EQ(set->size(), 2u);
  EXPECT_TRUE(set->contains(*b));
  EXPECT_FALSE(copy->contains(*b));
  EXPECT_FALSE(copy->remove(*b));
}

TEST(ClsConnectors, QueriesByCellListEachMemberOnce)
{
  const auto set = ClsConnectors::create();
  set->add(set_member("association", {3, 3}, {3, 3}));
  set->add(set_member("dependency", {3, 3}, {7, 1}));
  set->add(set_member("aggregation", {7, 1}, {3, 3}));
  set->add(set_member("composition", {0, 0}, {7, 1}));
  EXPECT_EQ(found_lines(set->enum_connectors_has_term_at({3, 3})),
            (std::vector<std::string>{"association (3, 3)-(3, 3)", "dependency (3, 3)-(7, 1)",
                                      "aggregation (7, 1)-(3, 3)"}));
  EXPECT_EQ(found_lines(set->enum_connectors_has_start_at({7, 1})),
            (std::vector<std::string>{"aggregation (7, 1)-(3, 3)"}));
  EXPECT_EQ(found_lines(set->enum_term_on_line(CellDir::h, 7)),
            (std::vector<std::string>{"dependency (3, 3)-(7, 1)", "aggregation (7, 1)-(3, 3)",
                                      "composition (0, 0)-(7, 1)"}));
  EXPECT_EQ(found_lines(set->enum_term_on_line(CellDir::v, 0)),
            (std::vector<std::string>{"composition (0, 0)-(7, 1)"}));

  set->get_members()[1]->focus = true;
  set->get_members()[3]->focus = true;
  EXPECT_EQ(found_lines(set->enum_connectors_has_focus()),
            (std::vector<std::string>{"dependency (3, 3)-(7, 1)", "composition (0, 0)-(7, 1)"}));
  set->clear_focus();
  EXPECT_TRUE(set->enum_connectors_has_focus().empty());
}

TEST(ClsConnectors, LinesMoveAndRemoveEnds)
{
  const auto set = ClsConnectors::create();
  set->add(set_member("association", {1, 2}, {4, 3}));
  set->add(set_member("dependency", {5, 0}, {6, 9}));
  set->add(set_member("aggregation", {2, 5}, {8, 1}));
  set->insert_line(CellDir::v, 3);
  EXPECT_EQ(set_lines(*set),
            (std::vector<std::string>{"association (1, 2)-(4, 4)", "dependency (5, 0)-(6, 10)",
                                      "aggregation (2, 6)-(8, 1)"}));

  std::vector<std::string> told;
  set->remove_line(CellDir::h, 5, [&told](const ConnectorPtr& c) {
    told.push_back(c->get_serializing_type_name());
  });
  EXPECT_EQ(told, (std::vector<std::string>{"dependency"}));
  EXPECT_EQ(set_lines(*set),
            (std::vector<std::string>{"association (1, 2)-(4, 4)", "aggregation (2, 6)-(7, 1)"}));
  set->remove_line(CellDir::v, 0);
  EXPECT_EQ(set_lines(*set),
            (std::vector<std::string>{"association (1, 1)-(4, 3)", "aggregation (2, 5)-(7, 0)"}));
}

TEST(ClsConnectors, LinkedToTheChainHeadsAtTheirEnds)
{
  const auto cells = ClsElementCells::create();
  const auto k = ClsClassElement::create();
  const auto t = ModelTextElement::create();
  cells->set(1, 1, k);
  cells->set(4, 1, t);
  const auto set = ClsConnectors::create();
  set->add(set_member("association", {1, 1}, {4, 1}));
  set->add(set_member("dependency", {4, 1}, {-1, -1}));
  set->update_linked_elem(*cells);
  EXPECT_EQ(set->get_members()[0]->start_elem, k);
  EXPECT_EQ(set->get_members()[0]->end_elem, t);
  EXPECT_EQ(set->get_members()[1]->start_elem, t);
  EXPECT_EQ(set->get_members()[1]->end_elem, nullptr);
}

ClsConnectors::Members set_read_from(const std::string& text, std::string* error = nullptr)
{
  test::ClsFileReaderForTest file(text);
  const auto set = ClsConnectors::create();
  EXPECT_TRUE(set->read(*file.reader)) << file.reader->get_error();
  if (error)
    *error = file.reader->get_error();
  return set->get_members();
}

TEST(ClsConnectors, ReadingSkipsUnknownTypesAndFindsNestedConnectors)
{
  test::LogCapture log;
  const auto found = set_read_from(
      "<w><connector_set>"
      "<connector type=\"dependency\"><start h=\"1\" v=\"1\"/><end h=\"2\" v=\"1\"/></connector>"
      "<connector type=\"realization\"><start h=\"9\" v=\"9\"/>"
      "<connector type=\"association\"><start h=\"8\" v=\"8\"/></connector></connector>"
      "<connector><start h=\"7\" v=\"7\"/></connector>"
      "<group><connector type=\"composition\"><end h=\"3\" v=\"4\"/></connector></group>"
      "<connector type=\"generalization\"/>"
      "</connector_set></w>");
  EXPECT_EQ(found_lines(found),
            (std::vector<std::string>{"dependency (1, 1)-(2, 1)", "composition (-1, -1)-(3, 4)",
                                      "generalization (-1, -1)-(-1, -1)"}));
  EXPECT_EQ(log.warnings,
            (test::LogCapture::Lines{"connectors: a connector of the type \"realization\" is skipped",
                                     "connectors: a connector of the type \"(none)\" is skipped"}));

  // A document without a set reads nothing.
  EXPECT_TRUE(set_read_from("<w><connector type=\"association\"/></w>").empty());
}

// --- a whole document ------------------------------------------------------------------

// "workspace" holding the cells and the set, as the class workspace writes it.
std::string class_document_text(ClsElementCells& cells, ClsConnectors& set)
{
  return test::cls_written_file_text([&](SerializingWriter& w) {
    w.write_element("workspace", [&] {
      (void)cells.write(w);
      (void)set.write(w);
    });
  });
}

void class_document_read(const std::string& text, ClsElementCells& cells, ClsConnectors& set)
{
  test::ClsFileReaderForTest file(text);
  SerializingReader& r = *file.reader;
  ASSERT_TRUE(r.skip_to_element("workspace"));
  (void)r.foreach_subtree([&] {
    if (r.get_is_start_element() && r.get_name() == "element_cells")
      return cells.read(r);
    if (r.get_is_start_element() && r.get_name() == "connector_set")
      return set.read(r);
    return true;
  });
  EXPECT_FALSE(r.has_error()) << r.get_error();
}

TEST(ClsConnectors, ClassDocumentReadBackByteForByte)
{
  const auto cells = ClsElementCells::create();
  const auto full = ClsClassElement::create();
  full->name_elem->set_text("Order");
  full->insert_block(1);
  full->block1_elem->set_text("id: int");
  full->insert_block(2);
  full->block2_elem->set_text("total(): money");
  const auto bare = ClsClassElement::create();
  bare->name_elem->set_text("Customer");
  const auto note = ModelTextElement::create();
  note->set_text("a note");
  note->align = ModelAlign::CENTER;
  cells->set(1, 1, full);
  cells->set(6, 1, bare);
  cells->set(3, 4, note);

  const auto set = ClsConnectors::create();
  set->add(set_member("generalization", {6, 1}, {1, 1}));
  set->add(set_member("association", {1, 1}, {6, 1}, "1"));
  set->add(set_member("composition", {1, 1}, {3, 4}, "0..1"));
  set->add(set_member("dependency", {3, 4}, {6, 1}));
  set->add(set_member("aggregation", {6, 1}, {3, 4}, "*"));
  set->get_members()[2]->end_multiplicity->set_text("many");

  const std::string text = class_document_text(*cells, *set);
  EXPECT_NE(text.find("<block1 role=\"1\" align=\"left\" valign=\"centre\">id: int</block1>"),
            std::string::npos)
      << text;
  const auto cells2 = ClsElementCells::create();
  const auto set2 = ClsConnectors::create();
  class_document_read(text, *cells2, *set2);
  EXPECT_EQ(set_lines(*set2), set_lines(*set));
  EXPECT_EQ(set2->get_members()[2]->end_multiplicity->get_text(), "many");
  const auto full2 = std::dynamic_pointer_cast<ClsClassElement>(cells2->get(1, 1));
  ASSERT_NE(full2, nullptr);
  EXPECT_TRUE(full2->block1_shown && full2->block2_shown);
  const auto bare2 = std::dynamic_pointer_cast<ClsClassElement>(cells2->get(6, 1));
  ASSERT_NE(bare2, nullptr);
  EXPECT_FALSE(bare2->block1_shown || bare2->block2_shown);
  EXPECT_EQ(class_document_text(*cells2, *set2), text);

  // An unknown type in the file is dropped; the rest keep their order.
  std::string edited = text;
  const std::string dep = "type=\"dependency\"";
  edited.replace(edited.find(dep), dep.size(), "type=\"realization\"");
  const auto cells3 = ClsElementCells::create();
  const auto set3 = ClsConnectors::create();
  test::LogCapture log;
  class_document_read(edited, *cells3, *set3);
  EXPECT_EQ(set_lines(*set3),
            (std::vector<std::string>{"generalization (6, 1)-(1, 1)", "association (1, 1)-(6, 1)",
                                      "composition (1, 1)-(3, 4)", "aggregation (6, 1)-(3, 4)"}));
  EXPECT_EQ(log.warnings.size(), 1u);
}

} // namespace
} // namespace velkaro
