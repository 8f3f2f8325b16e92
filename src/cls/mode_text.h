#pragma once
// The text modes of a class diagram: the compartment texts of a class box
// (the name, "block1", "block2") and free texts are edited in place.
//
//   ClsNormalModeInClass  "NORMAL MODE (CLASS)"   normal  <Esc>: cell mode
//   ClsVisualModeInClass  "VISUAL MODE (CLASS)"   visual  <Esc>: normal mode
//   ClsInsertModeNormal   "INSERT MODE (NORMAL)"  insert  <Esc>: normal mode
//   ClsInsertModeDirect   "INSERT MODE (DIRECT)"  typing entered from the
//                                                  cell mode; <Esc>: cell mode
//
// The edited text is the context's "now-text-elm": the active compartment
// of the class at the cursor, or the free text there. The family's roles are
// ClsNormalModeInClass, ClsInsertModeNormal and ClsVisualModeInClass; the
// modes are found by exact class, so ClsInsertModeDirect is entered only
// from the cell mode.
//
// entry_pt: a pointer position the cell mode hands over before a double
// click enters ClsInsertModeDirect; the next entry uses it and clears it.
//
// Made by each class's create(), as every text mode (CtrlATextModeRoot).

#include <memory>
#include <optional>
#include <string>
#include <typeindex>

#include "common/point.h"
#include "ctrl/text/mode_text.h"

namespace velkaro {

class ClsClassElement;
class ClsContext;

class ClsAInClassMode : public CtrlATextMode {
public:
  std::optional<Point> entry_pt;

  std::type_index get_visual_mode() const override;
  std::type_index get_normal_mode() const override;
  std::type_index get_insert_mode() const override;

  // The class at the cursor, or null (a free text is edited).
  std::shared_ptr<ClsClassElement> get_editing_klass() const;
  // The cursor cell.
  CellPos get_editing_cell_pos() const;

  void on_enter() override;

protected:
  explicit ClsAInClassMode(CtrlContext& ctrl);
};

class ClsNormalModeInClass : public ClsAInClassMode {
public:
  static std::shared_ptr<ClsNormalModeInClass> create(ClsContext& ctrl);
  ClsNormalModeInClass(Key key, CtrlContext& ctrl);

  std::string get_name() const override { return "NORMAL MODE (CLASS)"; }
  std::shared_ptr<CtrlTextEditorWithAction> new_text_editor() override;
  // Into ClsInsertModeNormal. False.
  bool on_double_press_left_button(const Point& pt) override;
};

class ClsVisualModeInClass : public ClsAInClassMode {
public:
  static std::shared_ptr<ClsVisualModeInClass> create(ClsContext& ctrl);
  ClsVisualModeInClass(Key key, CtrlContext& ctrl);

  std::string get_name() const override { return "VISUAL MODE (CLASS)"; }
  std::shared_ptr<CtrlTextEditorWithAction> new_text_editor() override;
  void on_enter() override;
  void on_exit() override;
};

class ClsInsertModeNormal : public ClsAInClassMode {
public:
  static std::shared_ptr<ClsInsertModeNormal> create(ClsContext& ctrl);
  ClsInsertModeNormal(Key key, CtrlContext& ctrl);

  std::string get_name() const override { return "INSERT MODE (NORMAL)"; }
};

class ClsInsertModeDirect : public ClsInsertModeNormal {
public:
  static std::shared_ptr<ClsInsertModeDirect> create(ClsContext& ctrl);
  ClsInsertModeDirect(Key key, CtrlContext& ctrl);

  std::string get_name() const override { return "INSERT MODE (DIRECT)"; }
};

} // namespace velkaro
