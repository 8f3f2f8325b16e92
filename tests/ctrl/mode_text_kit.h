#pragma once
// The text modes in the test diagram kind: a stand-in for a kind's cell mode
// that enters them as a real one does, and a kit whose context registers it
// with the four in-cell text modes.

#include <memory>
#include <string>
#include <vector>

#include "ctrl/text/mode_text.h"
#include "ctrl/test_kind.h"
#include "ctrl/text_editor_test_support.h"
#include "model/text_element.h"

namespace velkaro::test {

// The names of the text modes and of the kind's cell mode.
const char* const NORMAL = "NORMAL MODE (TEXT)";
const char* const INSERT_NORMAL = "INSERT MODE (NORMAL)";
const char* const INSERT_CELL = "INSERT MODE (CELL)";
const char* const VISUAL = "VISUAL MODE (TEXT)";
const char* const CELL = "KIND CELL MODE";

// "KIND CELL MODE", the default mode, as far as the text modes need one:
// - "tt" (undoable): a new empty text at the cursor cell, refused on an
//   occupied cell; the running step is made mergeable, so that the typing
//   that follows joins it, and "INSERT MODE (CELL)" is entered.
// - "i", "a", "I", "A": on a cell holding a text, "INSERT MODE (CELL)" with
//   the cursor request none, (1, false), (-1, true), (1, true).
// - "c": on a text, "NORMAL MODE (TEXT)" (a kind's change operation).
// - "m" (undoable): a mark "m" at the cursor cell, refused on an occupied
//   cell: an edit that has nothing to do with texts.
// It includes a KindBaseMode ("h", "j", "k", "l", "u", "<Esc>") and sets the
// context's in_cell_mode while current.
class TextCellMode : public KindMode {
public:
  explicit TextCellMode(CtrlContext& ctrl);
  void on_enter() override;
  void on_exit() override;
};

struct TextKit : KindKit {
  // The context registers TextCellMode, CtrlNormalModeInCell,
  // CtrlInsertModeNormal, CtrlInsertModeDirect and CtrlVisualModeInCell;
  // every text mode's editor uses `clipboard`.
  TextKit();

  // The registered mode of exactly class T.
  template <class T>
  std::shared_ptr<T> mode() const
  {
    return std::dynamic_pointer_cast<T>(ctx->get_mode(typeid(T)));
  }
  std::vector<std::shared_ptr<CtrlATextModeRoot>> text_modes() const;
  // The current mode's name.
  std::string mode_name() const;
  // The current mode, which must be a text mode.
  CtrlATextModeRoot& text_mode() const;

  // A new text holding text, stored at (x, y) after what is there; the
  // document is laid out again.
  std::shared_ptr<ModelTextElement> put_text(int32_t x, int32_t y, const std::string& text);
  // Moves the cursor cell.
  void go(int32_t x, int32_t y) { ctx->set_pos({x, y}); }
  // Types str into the current text mode's editor, as its input method's
  // commit does.
  void type(const std::string& str) const;
  size_t undo_depth() const;

  std::shared_ptr<TestClipboard> clipboard = std::make_shared<TestClipboard>();
};

// Runs the GLib main loop until it has nothing left to do at or above idle
// priority (timers still waiting are left alone).
void run_main_loop();

} // namespace velkaro::test
