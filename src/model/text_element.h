#pragma once
// ModelTextElement: a diagram element holding a piece of editable text,
// aligned horizontally and vertically in the box it is laid out in. The
// text lives in the Pango layout of its text-holder record, laid out with
// "Sans 16px" on PangoCairo's font map (no display needed); until something
// draws or edits the text, the record keeps it as a string and it is only
// measured.
//
// Its role follows its parent link: 1 without a parent, 0 with one; the role
// given to set_role() is never stored.
//
// Size. Pango lays a text out in time that grows with its lines and, for
// every line, with the bytes before it, so one text holds at most MAX_LINES
// lines and MAX_BYTES bytes: any text within both lays out in a few
// milliseconds (about 20 µs a line plus a character count from the text's
// start: some 5 ms at worst, well under 1 ms for a label, where 20,000
// lines took seconds). A document holding a larger text is refused when read
// (copies are not checked: they hold only what was accepted), and the text
// editor refuses a change that would make a text larger.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <pangomm/layout.h>

#include "model/element.h"
#include "model/itext_editable.h"

namespace velkaro {

// One enumeration serves both axes: left and right are horizontal, top and
// bottom vertical, center both.
enum class ModelAlign { LEFT = 0, CENTER = 1, RIGHT = 2, TOP = 3, BOTTOM = 4 };

// The XML word: "left", "centre", "right", "top", "bottom".
std::string model_align_to_string(ModelAlign align);
// LEFT, RIGHT, TOP, BOTTOM for their words; every other word ("centre" and
// "center" among them) and a missing word give CENTER.
ModelAlign model_align_from_string(const std::optional<std::string>& word);

class ModelTextElement : public ModelElement, public CtrlITextEditable {
public:
  // A text element with its mono flag set.
  static std::shared_ptr<ModelTextElement> create();
  // The same with parent set; it joins the parent's children when inserted.
  static std::shared_ptr<ModelTextElement> create_with_parent(const ElementPtr& parent);

  // Sets mono: the cursor treats every cell the text covers as one unit.
  ModelTextElement();

  const char* get_type_name() const override { return "ModelTextElement"; }
  ElementPtr new_instance() const override { return std::make_shared<ModelTextElement>(); }

  // The most one text may hold. Lines are counted as Pango counts
  // paragraphs: "\n", "\r", "\r\n" and U+2029 each end one.
  static constexpr int64_t MAX_LINES = 256;
  static constexpr int64_t MAX_BYTES = 8192;
  // Why text is more than one text may hold ("more than 256 lines"), or
  // nothing when it fits.
  static std::optional<std::string> too_large(std::string_view text);

  // The XML element name that vwrite() writes.
  std::string text_tag = "text";
  ModelAlign align = ModelAlign::LEFT;
  ModelAlign valign = ModelAlign::CENTER;

  // Places the layout offset so that the text's rectangle is aligned in box.
  void layout(const Rectangle& box) override;
  // text_tag with the common attributes, "align", "valign" and the text.
  void vwrite() override;
  // "align", "valign" and the text content. A text that is too large fails
  // the reader (naming the line of its element) and is not taken.
  void read_in_top() override;
  // A text within MAX_LINES and MAX_BYTES.
  bool get_accepts_text(const std::string& text) override { return !too_large(text); }
  // The base duplicate with the same tag, alignments and an independent copy
  // of the text-holder record; mono stays clear.
  ElementPtr dup() const override;
  // The layout rectangle of the text.
  Rectangle get_rect() override { return get_pango_layout_rect(); }
  int32_t get_role() const override { return get_parent() ? 0 : 1; }
  // Stores nothing; only notifies "role".
  void set_role(int32_t role) override;

  // A new plain layout of ModelTextMeasure's shared context ("Sans 16px" on
  // PangoCairo's font map). Final: the layout is deferred on that promise.
  Glib::RefPtr<Pango::Layout> new_pango_layout() final;
  // True: a text's layout is made when something draws or edits it; read
  // and laid out, a text is only measured.
  bool get_defers_layout() final { return true; }
  CtrlDataForITextEditable& get_data_ite() override { return *m_data; }
  Rectangle get_pango_layout_rect() override { return get_default_pango_layout_rect(); }

  using ModelElement::foreach;
  // Calls fn for every text element of the chain, from the head, until fn
  // returns false.
  void foreach(const std::function<bool(ModelTextElement& text)>& fn);

  // The selected byte range.
  std::shared_ptr<TextRange> get_selected_range() { return get_text_range(); }
  // Removes the selected bytes from the text and moves the cursor back by
  // as many bytes.
  void del_selection();

protected:
  // Text elements of the kinds derive from this class and count as its type.
  bool is_own_type(const ModelElement& other) const override
  {
    return is_own_type_of<ModelTextElement>(other);
  }
  // Writes "align", "valign" and the text: the content of vwrite(), for
  // kinds that write their own name.
  void write_text_content();

private:
  std::shared_ptr<CtrlDataForITextEditable> m_data = CtrlDataForITextEditable::create();
};

} // namespace velkaro
