#pragma once
// Element kinds and helpers shared by the element tests: a plain kind with a
// settable rectangle, a subclass of it, an unrelated kind, cells whose
// factory knows them, a mini store, and a capture of GLib log messages.

#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <glib.h>

#include "model/element.h"
#include "model/element_cells.h"
#include "model/serializing_reader.h"
#include "model/serializing_writer.h"
#include "model/text_element.h"
#include "support/log_capture.h"
#include "support/test_env.h"

namespace velkaro::test {

class TestElement : public ModelElement {
public:
  static std::shared_ptr<TestElement> create(std::string name = "", int32_t role = 0)
  {
    auto e = std::make_shared<TestElement>();
    e->name = std::move(name);
    e->set_role(role);
    return e;
  }
  TestElement() { tag = "test"; }

  const char* get_type_name() const override { return "TestElement"; }
  ElementPtr new_instance() const override { return std::make_shared<TestElement>(); }
  Rectangle get_rect() override { return rect; }
  bool get_resizable() const override { return resizable; }
  bool get_flip() const override { return flip; }
  void each_pos_obstacles(std::vector<ElementPtr>& obstacles, const CellPos& pos) override
  {
    (void)obstacles;
    tested.push_back(pos);
  }

  std::string name;
  Rectangle rect;
  bool resizable = false;
  bool flip = false;
  std::vector<CellPos> tested;

protected:
  bool is_own_type(const ModelElement& other) const override
  {
    return is_own_type_of<TestElement>(other);
  }
};

class TestSubElement : public TestElement {
public:
  static std::shared_ptr<TestSubElement> create(std::string name = "", int32_t role = 0)
  {
    auto e = std::make_shared<TestSubElement>();
    e->name = std::move(name);
    e->set_role(role);
    return e;
  }
  TestSubElement() { tag = "sub"; }

  const char* get_type_name() const override { return "TestSubElement"; }
  ElementPtr new_instance() const override { return std::make_shared<TestSubElement>(); }
};

class OtherElement : public ModelElement {
public:
  static std::shared_ptr<OtherElement> create(int32_t role = 0)
  {
    auto e = std::make_shared<OtherElement>();
    e->set_role(role);
    return e;
  }
  OtherElement() { tag = "other"; }

  const char* get_type_name() const override { return "OtherElement"; }
  ElementPtr new_instance() const override { return std::make_shared<OtherElement>(); }
};

// Element cells whose factory makes the test kinds from their names and a
// text element from any other name.
class TestCells : public ModelElementCells {
public:
  static std::shared_ptr<TestCells> create() { return std::make_shared<TestCells>(); }

  ElementPtr bear(const std::string& name) override
  {
    if (name == "test")
      return std::make_shared<TestElement>();
    if (name == "sub")
      return std::make_shared<TestSubElement>();
    if (name == "other")
      return std::make_shared<OtherElement>();
    return ModelElementCells::bear(name);
  }
};

// Stores elm at the end of the chain at (x, y), as the workspace does.
inline void store(ModelElementCells& cells, const std::shared_ptr<ModelElement>& elm, int32_t x,
                  int32_t y)
{
  if (const auto head = cells.get(x, y)) {
    head->add(elm);
    cells.set(x, y, head);
  } else {
    cells.set(x, y, elm);
  }
  elm->inserted(cells, {x, y});
}

// The document form of cells, as a file would hold it.
inline std::string document_of(ModelElementCells& cells)
{
  TempDir dir;
  const std::string path = dir.file("doc.xml");
  {
    const auto writer = SerializingWriter::create(path);
    (void)cells.write(*writer);
    EXPECT_TRUE(writer->finish()) << writer->get_error();
  }
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Reads a document given as text into cells through a file reader; returns
// the reader for its error state.
inline std::shared_ptr<SerializingReader> read_document(ModelElementCells& cells,
                                                        const std::string& text, bool* ok = nullptr)
{
  TempDir dir;
  const std::string path = dir.file("doc.xml");
  {
    std::ofstream out(path, std::ios::binary);
    out << text;
  }
  auto reader = SerializingReader::create(path);
  const bool result = cells.read(*reader);
  if (ok)
    *ok = result;
  return reader;
}


} // namespace velkaro::test
