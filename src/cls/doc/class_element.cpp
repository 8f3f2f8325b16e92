#include "cls/doc/class_element.h"

#include <algorithm>
#include <string>

#include "common/check.h"
#include "common/text_join.h"
#include "model/serializing_reader.h"
#include "model/serializing_writer.h"
#include "model/text_element.h"

namespace velkaro {
namespace {

std::shared_ptr<ModelTextElement> new_compartment_text(const char* tag, ModelAlign align)
{
  auto text = ModelTextElement::create();
  text->text_tag = tag;
  text->align = align;
  text->set_text(ClsClassElement::INITIAL_TEXT);
  return text;
}

// The rectangle shrunk by d on every side.
Rectangle shrunk(const Rectangle& r, double d)
{
  return {r.x + d, r.y + d, r.width - 2 * d, r.height - 2 * d};
}

} // namespace

std::shared_ptr<ClsClassElement> ClsClassElement::create()
{
  return std::make_shared<ClsClassElement>();
}

ClsClassElement::ClsClassElement()
    : name_elem(new_compartment_text("name", ModelAlign::CENTER)),
      block1_elem(new_compartment_text("block1", ModelAlign::LEFT)),
      block2_elem(new_compartment_text("block2", ModelAlign::LEFT)),
      active_text_elem(name_elem)
{
  tag = "class";
}

// --- the three texts ---------------------------------------------------------

int ClsClassElement::get_text_elem_index(const ModelElement& text_elem) const
{
  if (&text_elem == block1_elem.get())
    return 1;
  if (&text_elem == block2_elem.get())
    return 2;
  return 0;
}

bool ClsClassElement::check_shown(const ModelElement& text_elem) const
{
  if (&text_elem == name_elem.get())
    return true;
  if (&text_elem == block1_elem.get())
    return block1_shown;
  if (&text_elem == block2_elem.get())
    return block2_shown;
  return false;
}

ClsClassElement::TextPtr ClsClassElement::get_text_elem_at(int index) const
{
  switch (index) {
  case 0: return name_elem;
  case 1: return block1_elem;
  case 2: return block2_elem;
  default: return nullptr;
  }
}

bool ClsClassElement::has_text_elem(const ModelElement& text_elem) const
{
  return &text_elem == name_elem.get() || &text_elem == block1_elem.get() ||
         &text_elem == block2_elem.get();
}

ClsClassElement::TextPtr ClsClassElement::get_upper_text_elem() const
{
  if (active_text_elem == block1_elem)
    return name_elem;
  if (active_text_elem == block2_elem)
    return block1_shown ? block1_elem : name_elem;
  return nullptr;
}

ClsClassElement::TextPtr ClsClassElement::get_lower_text_elem() const
{
  if (active_text_elem == name_elem) {
    if (block1_shown)
      return block1_elem;
    return block2_shown ? block2_elem : nullptr;
  }
  if (active_text_elem == block1_elem)
    return block2_shown ? block2_elem : nullptr;
  return nullptr;
}

bool ClsClassElement::foreach_shown_text_elem(const ShownTextFunc& fn) const
{
  bool go_on = fn(name_elem, get_name_div_rect());
  if (go_on && block1_shown)
    go_on = fn(block1_elem, get_block1_div_rect());
  if (go_on && block2_shown)
    go_on = fn(block2_elem, get_block2_div_rect());
  return go_on;
}

// --- geometry ----------------------------------------------------------------

Rectangle ClsClassElement::text_rect(const TextPtr& text)
{
  return text->get_rect();
}

double ClsClassElement::div_height(const TextPtr& text)
{
  return text_rect(text).height + 10;
}

Rectangle ClsClassElement::get_name_div_rect() const
{
  return {m_rect.x, m_rect.y, m_rect.width, div_height(name_elem)};
}

Rectangle ClsClassElement::get_block1_div_rect() const
{
  return {m_rect.x, m_rect.y + div_height(name_elem), m_rect.width, div_height(block1_elem)};
}

Rectangle ClsClassElement::get_block2_div_rect() const
{
  // Below block1's height even while block1 is hidden.
  return {m_rect.x, m_rect.y + div_height(name_elem) + div_height(block1_elem), m_rect.width,
          div_height(block2_elem)};
}

Rectangle ClsClassElement::get_rect()
{
  double width = 0;
  double height = 0;
  foreach_shown_text_elem([&](const TextPtr& text, const Rectangle&) {
    const Rectangle t = text_rect(text);
    width = std::max(width, t.width + 10);
    height += t.height + 10;
    return true;
  });
  m_rect.width = width;
  m_rect.height = height;
  return m_rect;
}

void ClsClassElement::layout(const Rectangle& box)
{
  m_rect.x = box.x + (box.width - m_rect.width) / 2;
  m_rect.y = box.y + (box.height - m_rect.height) / 2;
  foreach_shown_text_elem([](const TextPtr& text, const Rectangle& div) {
    text->layout(shrunk(div, 5));
    return true;
  });
}

// --- compartments --------------------------------------------------------------

bool ClsClassElement::insert_block(int index)
{
  if ((block1_shown && block2_shown) || (index != 1 && index != 2))
    return false;
  if (index == 1) {
    if (block1_shown) {
      block2_elem->set_text(block1_elem->get_text());
      block2_shown = true;
    }
    block1_elem->set_text("");
    block1_shown = true;
    active_text_elem = block1_elem;
  } else {
    block2_elem->set_text("");
    block2_shown = true;
    active_text_elem = block2_elem;
  }
  return true;
}

bool ClsClassElement::rm_block(int index)
{
  if ((!block1_shown && !block2_shown) || (index != 1 && index != 2))
    return false;
  if (index == 1 && block2_shown) {
    // The lower compartment moves up.
    block1_elem->set_text(block2_elem->get_text());
    block2_elem->set_text("");
    block2_shown = false;
  } else if (index == 1) {
    block1_elem->set_text("");
    block1_shown = false;
  } else {
    block2_elem->set_text("");
    block2_shown = false;
  }
  if (!check_shown(*active_text_elem))
    active_text_elem = block2_shown ? block2_elem : block1_shown ? block1_elem : name_elem;
  return true;
}

// --- document form -------------------------------------------------------------

void ClsClassElement::vwrite()
{
  SerializingWriter* writer = get_writer();
  VK_CHECK(writer != nullptr);
  write_element("class", [&] {
    (void)name_elem->write(*writer);
    if (block1_shown)
      (void)block1_elem->write(*writer);
    if (block2_shown)
      (void)block2_elem->write(*writer);
  });
}

void ClsClassElement::read_in_top()
{
  SerializingReader* reader = get_reader();
  if (!reader)
    return;
  if (get_is_multi())
    reader->fail_here(text_join({"<", reader->get_name(), "> covers ", std::to_string(get_mwidth()), " by ",
                                 std::to_string(get_mheight()), " cells; a class covers one cell"}));
  else if (get_role() != 0)
    reader->fail_here(text_join({"<", reader->get_name(), "> has the role ", std::to_string(get_role()),
                                 "; a class has the role 0"}));
  else if (reader->get_attribute("pi"))
    reader->fail_here(text_join({"<", reader->get_name(), "> names a parent; a class has none"}));
}

void ClsClassElement::read_val(const std::string& name)
{
  SerializingReader* reader = get_reader();
  VK_CHECK(reader != nullptr);
  // A failed text read stops the reader; the read of the class then fails.
  if (name == name_elem->text_tag) {
    (void)name_elem->read(*reader);
  } else if (name == block1_elem->text_tag) {
    (void)block1_elem->read(*reader);
    block1_shown = true;
  } else if (name == block2_elem->text_tag) {
    (void)block2_elem->read(*reader);
    block2_shown = true;
  }
}

ModelElement::ElementPtr ClsClassElement::dup() const
{
  const ElementPtr e = ModelElement::dup();
  auto* copy = dynamic_cast<ClsClassElement*>(e.get());
  VK_CHECK_VAL(copy != nullptr, e);
  const auto text_dup = [](const TextPtr& text) {
    return std::static_pointer_cast<ModelTextElement>(text->dup());
  };
  copy->name_elem = text_dup(name_elem);
  copy->block1_elem = text_dup(block1_elem);
  copy->block2_elem = text_dup(block2_elem);
  copy->block1_shown = block1_shown;
  copy->block2_shown = block2_shown;
  copy->active_text_elem = copy->name_elem;
  copy->m_rect = m_rect;
  return e;
}

} // namespace velkaro
