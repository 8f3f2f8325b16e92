#include "model/element_cells.h"

#include "model/serializing_reader.h"
#include "model/serializing_writer.h"
#include "model/text_element.h"

namespace velkaro {

std::shared_ptr<ModelExpandedCells> ModelElementCells::expand() const
{
  auto expanded = ModelExpandedCells::create();
  const auto add_at = [&expanded](int32_t x, int32_t y, const ElementPtr& e) {
    auto stack = expanded->get(x, y);
    if (!stack) {
      stack = ModelExpStack::create();
      expanded->set(x, y, stack);
    }
    stack->add(e);
  };
  foreach([&](int32_t x, int32_t y, const ElementPtr& head) {
    head->foreach([&](const ElementPtr& e) {
      if (!e->get_is_multi()) {
        add_at(x, y, e);
        return;
      }
      const int32_t width = e->get_mwidth();
      const int32_t height = e->get_mheight();
      for (int32_t i = 0; i < width; ++i)
        for (int32_t j = 0; j < height; ++j)
          add_at(static_cast<int32_t>(x + int64_t{i} * e->get_exthdir()),
                 static_cast<int32_t>(y + int64_t{j} * e->get_extvdir()), e);
    });
    return true;
  });
  return expanded;
}

std::shared_ptr<ModelExpandedCells> ModelElementCells::get_expanded()
{
  if (!m_expanded)
    m_expanded = expand();
  return m_expanded;
}

ModelElementCells::ElementPtr ModelElementCells::bear(const std::string& name)
{
  (void)name;
  return ModelTextElement::create();
}

void ModelElementCells::update_pos()
{
  // The cell being visited is where the map reports every element of its
  // chain; asking the map element by element would search the whole map
  // for each one that moved.
  foreach([](int32_t x, int32_t y, const ElementPtr& head) {
    head->foreach([x, y](const ElementPtr& e) { e->pos = {x, y}; });
    return true;
  });
  m_moved.clear();
  m_moved_all = false;
}

bool ModelElementCells::copy(ModelElementCells& from)
{
  // Written before the clear, so that copying a map onto itself keeps it.
  const auto writer = SerializingWriter::create_memory_for_copy();
  (void)from.write(*writer);
  (void)writer->finish();
  clear();
  const auto reader = SerializingReader::create_memory_for_copy(writer->get_text());
  return read(*reader);
}

} // namespace velkaro
