#include "model/text_element.h"

#include <algorithm>
#include <array>

#include <glib.h>
#include <pango/pangocairo.h>
#include <pangomm/context.h>
#include <pangomm/fontdescription.h>
#include <pangomm/layout.h>

#include "common/point.h"
#include "common/text_range.h"
#include "model/serializing_reader.h"
#include "model/serializing_writer.h"
#include "model/text_measure.h"

namespace velkaro {
namespace {

struct AlignWord {
  ModelAlign align;
  const char* word;
};

constexpr std::array<AlignWord, 5> align_words{{
    {ModelAlign::LEFT, "left"},
    {ModelAlign::CENTER, "centre"},
    {ModelAlign::RIGHT, "right"},
    {ModelAlign::TOP, "top"},
    {ModelAlign::BOTTOM, "bottom"},
}};

} // namespace

std::string model_align_to_string(ModelAlign align)
{
  for (const auto& row : align_words)
    if (row.align == align)
      return row.word;
  return "centre";
}

ModelAlign model_align_from_string(const std::optional<std::string>& word)
{
  if (word)
    for (const auto& row : align_words)
      if (*word == row.word)
        return row.align;
  return ModelAlign::CENTER;
}

std::shared_ptr<ModelTextElement> ModelTextElement::create()
{
  return std::make_shared<ModelTextElement>();
}

std::shared_ptr<ModelTextElement> ModelTextElement::create_with_parent(const ElementPtr& parent)
{
  auto e = create();
  e->set_parent(parent);
  return e;
}

ModelTextElement::ModelTextElement()
{
  mono = true;
}

Glib::RefPtr<Pango::Layout> ModelTextElement::new_pango_layout()
{
  // One context for every text: a document makes one layout per text.
  return Pango::Layout::create(ModelTextMeasure::get_context());
}

void ModelTextElement::layout(const Rectangle& box)
{
  const Rectangle r = get_pango_layout_rect();
  double x = 0.0;
  double y = 0.0;
  switch (align) {
  case ModelAlign::CENTER: x = box.get_xmid() - r.width / 2.0; break;
  case ModelAlign::LEFT: x = box.x; break;
  case ModelAlign::RIGHT: x = box.get_right() - r.width; break;
  default: break;
  }
  switch (valign) {
  case ModelAlign::TOP: y = box.y; break;
  case ModelAlign::BOTTOM: y = box.get_bottom() - r.height; break;
  case ModelAlign::CENTER: y = box.get_ymid() - r.height / 2.0; break;
  default: break;
  }
  set_pango_layout_offset(Point(x, y));
}

void ModelTextElement::write_text_content()
{
  SerializingWriter* writer = get_writer();
  if (!writer)
    return;
  (void)writer->write_attribute("align", model_align_to_string(align));
  (void)writer->write_attribute("valign", model_align_to_string(valign));
  (void)writer->write_text(get_text());
}

void ModelTextElement::vwrite()
{
  write_base(text_tag, [this] { write_text_content(); });
}

namespace {

// Pango shapes a character and the marks that follow it as one cluster, in
// time that grows with the square of the marks; format characters between
// them (a soft hyphen, a joiner) keep the cluster together.
bool extends_cluster(gunichar c)
{
  switch (g_unichar_type(c)) {
  case G_UNICODE_NON_SPACING_MARK:
  case G_UNICODE_SPACING_MARK:
  case G_UNICODE_ENCLOSING_MARK:
  case G_UNICODE_FORMAT: return true;
  default: return false;
  }
}

// The longest run of marks and format characters in text.
int64_t longest_marks(std::string_view text)
{
  int64_t longest = 0;
  int64_t run = 0;
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end) {
    const gunichar c = g_utf8_get_char_validated(p, end - p);
    if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2)) {
      run = 0; // a broken byte shows as a character of its own
      ++p;
      continue;
    }
    run = extends_cluster(c) ? run + 1 : 0;
    longest = std::max(longest, run);
    p = g_utf8_next_char(p);
  }
  return longest;
}

} // namespace

std::optional<std::string> ModelTextElement::too_large(std::string_view text)
{
  int64_t lines = 1;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\n' || (c == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) ||
        (c == '\xE2' && text.substr(i, 3) == "\xE2\x80\xA9"))
      ++lines;
  }
  if (lines > MAX_LINES)
    return "more than " + std::to_string(MAX_LINES) + " lines";
  if (static_cast<int64_t>(text.size()) > MAX_BYTES)
    return "more than " + std::to_string(MAX_BYTES) + " bytes";
  if (longest_marks(text) > MAX_MARKS)
    return "more than " + std::to_string(MAX_MARKS) + " combining marks on one character";
  return std::nullopt;
}

void ModelTextElement::read_in_top()
{
  SerializingReader* reader = get_reader();
  if (!reader)
    return;
  align = model_align_from_string(reader->get_attribute("align"));
  valign = model_align_from_string(reader->get_attribute("valign"));
  read_text(*reader);
}

void ModelTextElement::read_text(SerializingReader& reader)
{
  std::string text = reader.get_text();
  // Checked before Pango sees it: laying out a huge text is what the limit
  // prevents.
  if (!reader.get_for_copy())
    if (const auto why = too_large(text)) {
      reader.fail_here("a text holds " + *why);
      return;
    }
  set_text(text);
}

ModelElement::ElementPtr ModelTextElement::dup() const
{
  const ElementPtr e = ModelElement::dup();
  if (auto* text = dynamic_cast<ModelTextElement*>(e.get())) {
    text->text_tag = text_tag;
    text->m_data = m_data->copy();
    text->align = align;
    text->valign = valign;
  }
  return e;
}

void ModelTextElement::set_role(int32_t role)
{
  (void)role;
  signal_notify().emit("role");
}

void ModelTextElement::foreach(const std::function<bool(ModelTextElement& text)>& fn)
{
  for (ElementPtr e = get_first(); e;) {
    ElementPtr next = e->get_next();
    if (auto* text = dynamic_cast<ModelTextElement*>(e.get()); text && !fn(*text))
      return;
    e = std::move(next);
  }
}

void ModelTextElement::del_selection()
{
  const auto range = get_selected_range();
  std::string text = get_text();
  const auto length = static_cast<int32_t>(text.size());
  const int32_t start = std::clamp(range->start, 0, length);
  const int32_t size = std::clamp(range->get_size(), 0, length - start);
  // Taken before set_text(), which would first pull a cursor near the end
  // back into the shorter text.
  const int32_t cursor = get_cursor_index();
  text.erase(static_cast<size_t>(start), static_cast<size_t>(size));
  set_text(text);
  set_cursor_index(cursor - size);
}

} // namespace velkaro
