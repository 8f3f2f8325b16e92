#pragma once
// ClsClassElement: the class box of a class diagram, anchored in one cell.
// A name compartment, always shown, and two further compartments ("block1"
// and "block2", shown or hidden), each holding one text element. Index
// numbers name the compartments: 0 the name, 1 block1, 2 block2.
//
// Geometry, in the frame of the element's anchor cell: get_rect() sizes the
// box from the texts of the shown compartments (10 wider than the widest,
// each compartment 10 higher than its text) and keeps the size; layout()
// centres the box in the cell's box and lays each shown text out in its
// division, shrunk by 5 on every side. The divisions stack name, block1,
// block2, and block2's always lies below block1's height, also when block1
// is hidden (only a document written elsewhere gives such a class).
//
// Ownership: the class owns its three texts; they have no parent, are not
// stored in any cell map and are never shared with another class (a
// duplicate gets copies). active_text_elem is always one of the three.
//
// Document form: "class" (no attributes of its own; the in-memory copy form
// adds the cell's "h" and "v") with the children "name", then "block1" and
// "block2" only when shown, each a text element in its own form. Reading
// starts from a new class, so a compartment not written reads back hidden
// and holding "no name". Since nothing else is written, a class read with
// an extension (a "width" or "height" other than 0), a role other than 0
// or a parent reference is refused, naming the line: the next save would
// lose what it said.

#include <functional>
#include <memory>
#include <string>

#include "common/rectangle.h"
#include "model/element.h"

namespace velkaro {

class ModelTextElement;

class ClsClassElement : public ModelElement {
public:
  using TextPtr = std::shared_ptr<ModelTextElement>;
  // fn(text, its division rectangle) -> go on.
  using ShownTextFunc = std::function<bool(const TextPtr& text, const Rectangle& div)>;

  // The text every compartment starts with.
  static constexpr const char* INITIAL_TEXT = "no name";

  // Three texts "no name" named "name", "block1", "block2"; the name
  // centred, the blocks left aligned; both blocks hidden; the name active.
  static std::shared_ptr<ClsClassElement> create();
  ClsClassElement();

  const char* get_type_name() const override { return "ClsClassElement"; }
  ElementPtr new_instance() const override { return create(); }

  // --- Fields.

  TextPtr name_elem;
  TextPtr block1_elem;
  TextPtr block2_elem;
  bool block1_shown = false;
  bool block2_shown = false;
  // The text that text editing addresses.
  TextPtr active_text_elem;

  // --- The three texts.

  // 0 for the name, 1 for block1, 2 for block2, 0 for any other element.
  int get_text_elem_index(const ModelElement& text_elem) const;
  // True for the name, the shown flag for a block, false otherwise.
  bool check_shown(const ModelElement& text_elem) const;
  // The text of index 0, 1 or 2, shown or not; null for another index.
  TextPtr get_text_elem_at(int index) const;
  bool has_text_elem(const ModelElement& text_elem) const;
  // The shown compartment above (below) the active one, or null.
  TextPtr get_upper_text_elem() const;
  TextPtr get_lower_text_elem() const;
  // fn for the name, then block1 when shown, then block2 when shown, as long
  // as fn returns true; the last result (true when fn held throughout).
  bool foreach_shown_text_elem(const ShownTextFunc& fn) const;

  // --- Divisions: the stored rectangle's x, y and width, and the text's
  // height + 10, stacked name, block1, block2.
  Rectangle get_name_div_rect() const;
  Rectangle get_block1_div_rect() const;
  Rectangle get_block2_div_rect() const;

  // --- Compartments.

  // Shows compartment 1 or 2 empty and makes it active; showing 1 while
  // block1 is shown moves block1's text down into block2. False, with
  // nothing changed, for another index or when both are shown.
  bool insert_block(int index);
  // Hides compartment 1 or 2, emptied; hiding 1 while block2 is shown moves
  // block2's text up into block1 and hides block2. An active text no longer
  // shown gives way to the last shown compartment. False, with nothing
  // changed, for another index or when neither is shown.
  bool rm_block(int index);

  // --- Element operations.

  void layout(const Rectangle& box) override;
  // Computes and keeps the size; the whole kept rectangle.
  Rectangle get_rect() override;
  void vwrite() override;
  // Refuses what a class cannot keep (see the document form).
  void read_in_top() override;
  void read_val(const std::string& name) override;
  // The base duplicate with copies of the three texts, the shown flags and
  // the rectangle; its own name is active.
  ElementPtr dup() const override;

private:
  // The rectangle of text's laid-out text.
  static Rectangle text_rect(const TextPtr& text);
  // Division height of a compartment: its text's height + 10.
  static double div_height(const TextPtr& text);

  Rectangle m_rect;
};

} // namespace velkaro
